-- Schema step 2 for MariaDB: the ledger items' history.
-- One row per insert, update or delete of an item, written in the same
-- transaction as the change. The program only ever inserts here.
-- changekind: 'i' insert, 'u' update, 'd' delete.
-- ledgeritemid names the item even after it is deleted (no foreign key).
CREATE TABLE IF NOT EXISTS ledgerhistory (
  ledgerhistoryid BIGINT NOT NULL AUTO_INCREMENT,
  ledgeritemid BIGINT NOT NULL,
  changedat DATETIME NOT NULL,
  changekind CHAR(1) NOT NULL,
  userid BIGINT NULL,
  username VARCHAR(101) NOT NULL,
  hostname VARCHAR(255) NOT NULL,
  ledgernumber VARCHAR(30) NULL,
  PRIMARY KEY (ledgerhistoryid),
  KEY ix_ledgerhistory_item (ledgeritemid, ledgerhistoryid),
  KEY ix_ledgerhistory_kind (changekind, ledgerhistoryid),
  CONSTRAINT ck_ledgerhistory_kind CHECK (changekind COLLATE utf8mb4_bin IN ('i', 'u', 'd'))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;

-- The columns of one change: for an update the changed ones, for an insert
-- the values written, for a delete the last stored values. Values as stored
-- (text), and the words a clerk reads for coded and linked columns.
CREATE TABLE IF NOT EXISTS ledgerhistoryvalue (
  ledgerhistoryid BIGINT NOT NULL,
  columnname VARCHAR(64) NOT NULL,
  oldvalue TEXT NULL,
  newvalue TEXT NULL,
  oldtext TEXT NULL,
  newtext TEXT NULL,
  PRIMARY KEY (ledgerhistoryid, columnname)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
