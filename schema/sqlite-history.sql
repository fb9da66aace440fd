-- Schema step 2 for SQLite: the ledger items' history.
-- One row per insert, update or delete of an item, written in the same
-- transaction as the change. The program only ever inserts here.
-- changekind: 'i' insert, 'u' update, 'd' delete.
-- ledgeritemid names the item even after it is deleted (no foreign key).
CREATE TABLE IF NOT EXISTS ledgerhistory (
  ledgerhistoryid INTEGER PRIMARY KEY AUTOINCREMENT,
  ledgeritemid INTEGER NOT NULL,
  changedat TEXT NOT NULL,
  changekind CHAR(1) NOT NULL CHECK (changekind IN ('i', 'u', 'd')),
  userid INTEGER NULL,
  username TEXT NOT NULL,
  hostname TEXT NOT NULL,
  ledgernumber TEXT NULL
);
CREATE INDEX IF NOT EXISTS ix_ledgerhistory_item ON ledgerhistory (ledgeritemid, ledgerhistoryid);
CREATE INDEX IF NOT EXISTS ix_ledgerhistory_kind ON ledgerhistory (changekind, ledgerhistoryid);

-- The columns of one change: for an update the changed ones, for an insert
-- the values written, for a delete the last stored values. Values as stored
-- (text), and the words a clerk reads for coded and linked columns.
CREATE TABLE IF NOT EXISTS ledgerhistoryvalue (
  ledgerhistoryid INTEGER NOT NULL,
  columnname TEXT NOT NULL,
  oldvalue TEXT NULL,
  newvalue TEXT NULL,
  oldtext TEXT NULL,
  newtext TEXT NULL,
  PRIMARY KEY (ledgerhistoryid, columnname)
);
