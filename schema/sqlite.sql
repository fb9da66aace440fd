-- Docket book tables for SQLite 3.40, the embedded single-desk database.
-- Loaded one statement at a time: every statement ends with a semicolon at the
-- end of a line, and comments stand on lines of their own.
-- Keys use AUTOINCREMENT so that an id is never handed out twice, even after
-- the newest row was deleted.
-- Dates are TEXT 'yyyy-MM-dd HH:mm:ss' and 'yyyy-MM-dd', so they sort and
-- compare as on MariaDB.
-- Columns searched by prefix are NOCASE (it folds ASCII letters only), which
-- stored rows and the unique number index rely on. Searches and sorts use
-- the Serbian collation SRLATN that every connection of the program
-- registers; the indexes over it below serve prefix ranges and name orders.
-- Other programs (the sqlite3 shell) cannot write these tables without it.
-- There are no foreign keys on purpose: an item keeps naming a partner or a
-- user after that row is gone, and the screens read them with LEFT JOINs.

-- direction: -1 outgoing, 0 internal, 1 incoming.
-- accepted, archived: 'y' or 'n'.
CREATE TABLE IF NOT EXISTS ledgeritem (
  ledgeritemid INTEGER PRIMARY KEY AUTOINCREMENT,
  direction INTEGER NOT NULL CHECK (direction IN (-1, 0, 1)),
  ledgerdatetime TEXT NOT NULL,
  ledgernumber TEXT NOT NULL COLLATE NOCASE,
  partnerid INTEGER NULL,
  documentid INTEGER NULL,
  itemtype TEXT NOT NULL,
  itemnumber TEXT NULL COLLATE NOCASE,
  itemdate TEXT NULL,
  parentid INTEGER NULL,
  inmailtype INTEGER NULL,
  inmailnumber TEXT NULL,
  outmailtype INTEGER NULL,
  outmailnumber TEXT NULL,
  inuserid INTEGER NULL,
  userid INTEGER NOT NULL,
  outuserid INTEGER NULL,
  accepted CHAR(1) NOT NULL DEFAULT 'n' CHECK (accepted IN ('y', 'n')),
  archived CHAR(1) NOT NULL DEFAULT 'n' CHECK (archived IN ('y', 'n')),
  archivednumber TEXT NULL,
  passonparentid INTEGER NULL
);

-- Items that were not passed on may not share a number within a direction:
-- two desks that counted the same next number cannot both write it.
CREATE UNIQUE INDEX IF NOT EXISTS ux_ledgeritem_number
  ON ledgeritem (direction, ledgernumber) WHERE passonparentid IS NULL;
-- Most items have no parent, and ANALYZE would otherwise count all those NULLs as
-- distinct keys and steer "passonparentid IS NULL" onto this index instead of
-- the date ranges below. Lookups by a given id still use it.
CREATE INDEX IF NOT EXISTS ix_ledgeritem_passonparentid
  ON ledgeritem (passonparentid) WHERE passonparentid IS NOT NULL;
CREATE INDEX IF NOT EXISTS ix_ledgeritem_parentid
  ON ledgeritem (parentid) WHERE parentid IS NOT NULL;
-- Covers the next-number count, which then never reads the table.
CREATE INDEX IF NOT EXISTS ix_ledgeritem_direction_datetime
  ON ledgeritem (direction, ledgerdatetime, passonparentid, ledgernumber);
CREATE INDEX IF NOT EXISTS ix_ledgeritem_datetime_id ON ledgeritem (ledgerdatetime, ledgeritemid);
CREATE INDEX IF NOT EXISTS ix_ledgeritem_outuserid_accepted ON ledgeritem (outuserid, accepted);
CREATE INDEX IF NOT EXISTS ix_ledgeritem_ledgernumber ON ledgeritem (ledgernumber);
CREATE INDEX IF NOT EXISTS ix_ledgeritem_itemnumber ON ledgeritem (itemnumber);
CREATE INDEX IF NOT EXISTS ix_ledgeritem_ledgernumber_srlatn ON ledgeritem (ledgernumber COLLATE SRLATN);
CREATE INDEX IF NOT EXISTS ix_ledgeritem_itemnumber_srlatn ON ledgeritem (itemnumber COLLATE SRLATN);

CREATE TABLE IF NOT EXISTS partner (
  partnerid INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL COLLATE NOCASE,
  address TEXT NULL,
  city TEXT NULL
);
CREATE INDEX IF NOT EXISTS ix_partner_name ON partner (name);
CREATE INDEX IF NOT EXISTS ix_partner_name_srlatn ON partner (name COLLATE SRLATN);

CREATE TABLE IF NOT EXISTS document (
  documentid INTEGER PRIMARY KEY AUTOINCREMENT,
  number TEXT NOT NULL,
  description TEXT NULL
);

-- passwordhash holds a salted slow hash, never the password itself.
-- Logins compare without regard to case, as on MariaDB.
CREATE TABLE IF NOT EXISTS user (
  userid INTEGER PRIMARY KEY AUTOINCREMENT,
  firstname TEXT NOT NULL,
  lastname TEXT NOT NULL,
  login TEXT NOT NULL COLLATE NOCASE,
  passwordhash TEXT NOT NULL
);
CREATE UNIQUE INDEX IF NOT EXISTS ux_user_login ON user (login);

-- The host's settings kept in the database. Names match exactly.
CREATE TABLE IF NOT EXISTS settings (
  section TEXT NOT NULL,
  keyname TEXT NOT NULL,
  value TEXT NULL,
  PRIMARY KEY (section, keyname)
);

-- The schema steps applied to this database (see SchemaInstaller); this file
-- is step 1.
CREATE TABLE IF NOT EXISTS schemaversion (
  version INTEGER NOT NULL PRIMARY KEY,
  appliedat TEXT NOT NULL
);
