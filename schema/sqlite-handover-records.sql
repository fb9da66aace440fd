-- Schema step 8 for SQLite: the kept handover records
-- (the delivery book). The desks only insert here and read; a record's rows
-- tell what was accepted and withdrawn, with everything the paper prints,
-- so a reprint reads as the first print whatever became of the items.
-- The last record number given per year; the row is held while a new
-- record takes the next number.
CREATE TABLE IF NOT EXISTS handovercounter (
  year INTEGER PRIMARY KEY,
  lastnumber INTEGER NOT NULL
);
-- createdat: the database's time when the record was made.
CREATE TABLE IF NOT EXISTS handoverrecord (
  handoverrecordid INTEGER PRIMARY KEY AUTOINCREMENT,
  year INTEGER NOT NULL,
  number INTEGER NOT NULL,
  createdat TEXT NOT NULL,
  recipientid INTEGER NULL,
  recipientname TEXT NOT NULL,
  hostname TEXT NOT NULL,
  organization TEXT NOT NULL
);
CREATE UNIQUE INDEX IF NOT EXISTS ux_handoverrecord_number ON handoverrecord (year, number);
CREATE INDEX IF NOT EXISTS ix_handoverrecord_recipient ON handoverrecord (recipientid, year);
-- action: 'a' accepted, 'w' withdrawn (un-accepted in the same dialog).
-- The rest is the item as printed at that moment, and the history's chain
-- head right after the row's own entry: the record's last row gives the head
-- its paper prints.
CREATE TABLE IF NOT EXISTS handoverrow (
  handoverrowid INTEGER PRIMARY KEY AUTOINCREMENT,
  handoverrecordid INTEGER NOT NULL REFERENCES handoverrecord (handoverrecordid),
  ledgeritemid INTEGER NOT NULL,
  action CHAR(1) NOT NULL CHECK (action IN ('a', 'w')),
  actedat TEXT NOT NULL,
  ledgernumber TEXT NOT NULL,
  direction INTEGER NOT NULL,
  inuserid INTEGER NULL,
  inusername TEXT NOT NULL,
  itemtype TEXT NOT NULL,
  itemdate TEXT NULL,
  itemnumber TEXT NULL,
  chaindigits TEXT NOT NULL,
  chainentries INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS ix_handoverrow_record ON handoverrow (handoverrecordid, handoverrowid);
CREATE INDEX IF NOT EXISTS ix_handoverrow_inuser ON handoverrow (inuserid, handoverrecordid);
