-- Docket book tables for MariaDB 10.11 (InnoDB, utf8mb4).
-- Loaded one statement at a time: every statement ends with a semicolon at the
-- end of a line, and comments stand on lines of their own.
-- Text sorts and compares like Croatian, which is also how Serbian Latin
-- sorts (c, č, ć, d, dž, đ ... l, lj, n, nj ... s, š ... z, ž).
-- There are no foreign keys on purpose: an item keeps naming a partner or a
-- user after that row is gone, and the screens read them with LEFT JOINs.

-- direction: -1 outgoing, 0 internal, 1 incoming.
-- accepted, archived: 'y' or 'n'.
-- numberkey repeats ledgernumber for items that were not passed on and is NULL
-- for the others, so the unique key below only binds the former: two desks
-- that counted the same next number cannot both write it.
CREATE TABLE IF NOT EXISTS ledgeritem (
  ledgeritemid BIGINT NOT NULL AUTO_INCREMENT,
  direction SMALLINT NOT NULL,
  ledgerdatetime DATETIME NOT NULL,
  ledgernumber VARCHAR(30) NOT NULL,
  partnerid BIGINT NULL,
  documentid BIGINT NULL,
  itemtype VARCHAR(100) NOT NULL,
  itemnumber VARCHAR(30) NULL,
  itemdate DATE NULL,
  parentid BIGINT NULL,
  inmailtype SMALLINT NULL,
  inmailnumber VARCHAR(50) NULL,
  outmailtype SMALLINT NULL,
  outmailnumber VARCHAR(50) NULL,
  inuserid BIGINT NULL,
  userid BIGINT NOT NULL,
  outuserid BIGINT NULL,
  accepted CHAR(1) NOT NULL DEFAULT 'n',
  archived CHAR(1) NOT NULL DEFAULT 'n',
  archivednumber VARCHAR(50) NULL,
  passonparentid BIGINT NULL,
  numberkey VARCHAR(30) AS (IF(passonparentid IS NULL, ledgernumber, NULL)) VIRTUAL,
  PRIMARY KEY (ledgeritemid),
  UNIQUE KEY ux_ledgeritem_number (direction, numberkey),
  KEY ix_ledgeritem_passonparentid (passonparentid),
  KEY ix_ledgeritem_parentid (parentid),
  -- Covers the next-number count, which then never reads the rows.
  KEY ix_ledgeritem_direction_datetime (direction, ledgerdatetime, passonparentid, ledgernumber),
  KEY ix_ledgeritem_datetime_id (ledgerdatetime, ledgeritemid),
  KEY ix_ledgeritem_outuserid_accepted (outuserid, accepted),
  KEY ix_ledgeritem_ledgernumber (ledgernumber),
  KEY ix_ledgeritem_itemnumber (itemnumber),
  CONSTRAINT ck_ledgeritem_direction CHECK (direction IN (-1, 0, 1)),
  CONSTRAINT ck_ledgeritem_accepted CHECK (accepted COLLATE utf8mb4_bin IN ('y', 'n')),
  CONSTRAINT ck_ledgeritem_archived CHECK (archived COLLATE utf8mb4_bin IN ('y', 'n'))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;

CREATE TABLE IF NOT EXISTS partner (
  partnerid BIGINT NOT NULL AUTO_INCREMENT,
  name VARCHAR(100) NOT NULL,
  address VARCHAR(100) NULL,
  city VARCHAR(50) NULL,
  PRIMARY KEY (partnerid),
  KEY ix_partner_name (name)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;

CREATE TABLE IF NOT EXISTS document (
  documentid BIGINT NOT NULL AUTO_INCREMENT,
  number VARCHAR(30) NOT NULL,
  description VARCHAR(200) NULL,
  PRIMARY KEY (documentid)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;

-- passwordhash holds a salted slow hash, never the password itself.
-- Logins compare without regard to case, as on SQLite.
CREATE TABLE IF NOT EXISTS `user` (
  userid BIGINT NOT NULL AUTO_INCREMENT,
  firstname VARCHAR(50) NOT NULL,
  lastname VARCHAR(50) NOT NULL,
  login VARCHAR(50) NOT NULL,
  passwordhash VARCHAR(255) NOT NULL,
  PRIMARY KEY (userid),
  UNIQUE KEY ux_user_login (login)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;

-- The host's settings kept in the database. Section and key names match
-- exactly (binary), as they do on SQLite.
CREATE TABLE IF NOT EXISTS settings (
  section VARCHAR(100) COLLATE utf8mb4_bin NOT NULL,
  keyname VARCHAR(100) COLLATE utf8mb4_bin NOT NULL,
  value TEXT NULL,
  PRIMARY KEY (section, keyname)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;

-- The schema steps applied to this database (see SchemaInstaller); this file
-- is step 1.
CREATE TABLE IF NOT EXISTS schemaversion (
  version INT NOT NULL,
  appliedat DATETIME NOT NULL,
  PRIMARY KEY (version)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
