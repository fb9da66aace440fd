-- Schema step 8 for MariaDB: the kept handover records
-- (the delivery book). The desks only insert here and read; a record's rows
-- tell what was accepted and withdrawn, with everything the paper prints,
-- so a reprint reads as the first print whatever became of the items.
-- The last record number given per year; the row is held while a new
-- record takes the next number.
CREATE TABLE IF NOT EXISTS handovercounter (
  year INT NOT NULL,
  lastnumber INT NOT NULL,
  PRIMARY KEY (year)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
-- createdat: the database server's time when the record was made.
CREATE TABLE IF NOT EXISTS handoverrecord (
  handoverrecordid BIGINT NOT NULL AUTO_INCREMENT,
  year INT NOT NULL,
  number INT NOT NULL,
  createdat DATETIME NOT NULL,
  recipientid BIGINT NULL,
  recipientname VARCHAR(101) NOT NULL,
  hostname VARCHAR(255) NOT NULL,
  organization VARCHAR(200) NOT NULL,
  PRIMARY KEY (handoverrecordid),
  UNIQUE KEY ux_handoverrecord_number (year, number),
  KEY ix_handoverrecord_recipient (recipientid, year)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
-- action: 'a' accepted, 'w' withdrawn (un-accepted in the same dialog).
-- The rest is the item as printed at that moment, and the history's chain
-- head right after the row's own entry: the record's last row gives the head
-- its paper prints.
CREATE TABLE IF NOT EXISTS handoverrow (
  handoverrowid BIGINT NOT NULL AUTO_INCREMENT,
  handoverrecordid BIGINT NOT NULL,
  ledgeritemid BIGINT NOT NULL,
  action CHAR(1) NOT NULL,
  actedat DATETIME NOT NULL,
  ledgernumber VARCHAR(30) NOT NULL,
  direction SMALLINT NOT NULL,
  inuserid BIGINT NULL,
  inusername VARCHAR(101) NOT NULL,
  itemtype VARCHAR(100) NOT NULL,
  itemdate DATE NULL,
  itemnumber VARCHAR(30) NULL,
  chaindigits CHAR(16) NOT NULL,
  chainentries BIGINT NOT NULL,
  PRIMARY KEY (handoverrowid),
  KEY ix_handoverrow_record (handoverrecordid, handoverrowid),
  KEY ix_handoverrow_inuser (inuserid, handoverrecordid),
  CONSTRAINT fk_handoverrow_record FOREIGN KEY (handoverrecordid) REFERENCES handoverrecord (handoverrecordid),
  CONSTRAINT ck_handoverrow_action CHECK (action COLLATE utf8mb4_bin IN ('a', 'w'))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
