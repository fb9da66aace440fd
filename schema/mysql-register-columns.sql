-- Schema step 6 for MariaDB: the columns an office register must carry.
-- Loaded like the base file: one statement per semicolon at a line's end.
-- subject: what the item is about (predmet), up to 500 characters.
-- classification: the mark from the office's classification plan, as given
-- (the item keeps its text, as with the document type).
-- orgunit: the organisational unit the item belongs to, as given.
-- A cancelled (storno) item keeps its number and stays in the book.
ALTER TABLE ledgeritem ADD COLUMN IF NOT EXISTS subject VARCHAR(500) NULL, ADD COLUMN IF NOT EXISTS classification VARCHAR(30) NULL, ADD COLUMN IF NOT EXISTS orgunit VARCHAR(100) NULL, ADD COLUMN IF NOT EXISTS cancelled CHAR(1) NOT NULL DEFAULT 'n', ADD COLUMN IF NOT EXISTS cancelreason VARCHAR(500) NULL, ADD COLUMN IF NOT EXISTS cancelledby BIGINT NULL, ADD COLUMN IF NOT EXISTS cancelledat DATETIME NULL;
ALTER TABLE ledgeritem ADD CONSTRAINT IF NOT EXISTS ck_ledgeritem_cancelled CHECK (cancelled COLLATE utf8mb4_bin IN ('y', 'n'));
-- The office's classification plan: groups 0-9 and their decimal subgroups
-- ("0", "01", "011"), each with its name and how long its documents are
-- kept: retentionyears, or NULL for "trajno" (for ever).
CREATE TABLE IF NOT EXISTS classification (
  classificationid BIGINT NOT NULL AUTO_INCREMENT,
  mark VARCHAR(30) NOT NULL,
  name VARCHAR(200) NOT NULL,
  retentionyears INT NULL,
  active CHAR(1) NOT NULL DEFAULT 'y',
  PRIMARY KEY (classificationid),
  UNIQUE KEY ux_classification_mark (mark),
  CONSTRAINT ck_classification_retention CHECK (retentionyears IS NULL OR retentionyears > 0),
  CONSTRAINT ck_classification_active CHECK (active COLLATE utf8mb4_bin IN ('y', 'n'))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
-- The office's organisational units; an item keeps the unit's name as given.
CREATE TABLE IF NOT EXISTS orgunit (
  orgunitid BIGINT NOT NULL AUTO_INCREMENT,
  code VARCHAR(20) NULL,
  name VARCHAR(100) NOT NULL,
  active CHAR(1) NOT NULL DEFAULT 'y',
  PRIMARY KEY (orgunitid),
  UNIQUE KEY ux_orgunit_name (name),
  CONSTRAINT ck_orgunit_active CHECK (active COLLATE utf8mb4_bin IN ('y', 'n'))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
-- Closing the year: a row here means the year's items are closed (its
-- register book is final); the key refuses a second desk closing the same
-- year. figures: the closing note's figures as the closing read them (JSON).
CREATE TABLE IF NOT EXISTS closedyear (
  year INT NOT NULL,
  closedat DATETIME NOT NULL,
  userid BIGINT NULL,
  username VARCHAR(101) NOT NULL,
  hostname VARCHAR(255) NOT NULL,
  figures MEDIUMTEXT NOT NULL,
  PRIMARY KEY (year)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
-- Every closing ('c') and reopening ('r') of a year, kept for good.
CREATE TABLE IF NOT EXISTS yearclosing (
  yearclosingid BIGINT NOT NULL AUTO_INCREMENT,
  year INT NOT NULL,
  kind CHAR(1) NOT NULL,
  eventat DATETIME NOT NULL,
  userid BIGINT NULL,
  username VARCHAR(101) NOT NULL,
  hostname VARCHAR(255) NOT NULL,
  reason VARCHAR(500) NULL,
  figures MEDIUMTEXT NULL,
  PRIMARY KEY (yearclosingid),
  KEY ix_yearclosing_year (year, yearclosingid),
  CONSTRAINT ck_yearclosing_kind CHECK (kind COLLATE utf8mb4_bin IN ('c', 'r'))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
-- A closed year's items are refused any write, whatever writes them. The
-- read of closedyear is a locking one: a post in flight and a closing take
-- turns, so no item slips into a year while it is being closed. The message
-- is a marker and the year, which the program turns into words.
CREATE TRIGGER IF NOT EXISTS tr_ledgeritem_closedyear_insert BEFORE INSERT ON ledgeritem
FOR EACH ROW
BEGIN
  DECLARE closed INT DEFAULT NULL;
  DECLARE marker VARCHAR(64);
  DECLARE CONTINUE HANDLER FOR NOT FOUND SET closed = NULL;
  SELECT year INTO closed FROM closedyear WHERE year = YEAR(NEW.ledgerdatetime) LOCK IN SHARE MODE;
  IF closed IS NOT NULL THEN
    SET marker = CONCAT('ledger-closed-year ', closed);
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = marker;
  END IF;
END;
CREATE TRIGGER IF NOT EXISTS tr_ledgeritem_closedyear_update BEFORE UPDATE ON ledgeritem
FOR EACH ROW
BEGIN
  DECLARE closed INT DEFAULT NULL;
  DECLARE marker VARCHAR(64);
  DECLARE CONTINUE HANDLER FOR NOT FOUND SET closed = NULL;
  SELECT year INTO closed FROM closedyear
    WHERE year IN (YEAR(OLD.ledgerdatetime), YEAR(NEW.ledgerdatetime)) ORDER BY year LIMIT 1 LOCK IN SHARE MODE;
  IF closed IS NOT NULL THEN
    SET marker = CONCAT('ledger-closed-year ', closed);
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = marker;
  END IF;
END;
CREATE TRIGGER IF NOT EXISTS tr_ledgeritem_closedyear_delete BEFORE DELETE ON ledgeritem
FOR EACH ROW
BEGIN
  DECLARE closed INT DEFAULT NULL;
  DECLARE marker VARCHAR(64);
  DECLARE CONTINUE HANDLER FOR NOT FOUND SET closed = NULL;
  SELECT year INTO closed FROM closedyear WHERE year = YEAR(OLD.ledgerdatetime) LOCK IN SHARE MODE;
  IF closed IS NOT NULL THEN
    SET marker = CONCAT('ledger-closed-year ', closed);
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = marker;
  END IF;
END;
-- Storno is final: a cancelled item is neither changed nor deleted, whatever
-- program sends the statement. The data layer knows these words.
CREATE TRIGGER IF NOT EXISTS tr_ledgeritem_cancelled_update BEFORE UPDATE ON ledgeritem
FOR EACH ROW
BEGIN
  IF OLD.cancelled = 'y' THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Stavka je stornirana: ne menja se i ne briše.';
  END IF;
END;
CREATE TRIGGER IF NOT EXISTS tr_ledgeritem_cancelled_delete BEFORE DELETE ON ledgeritem
FOR EACH ROW
BEGIN
  IF OLD.cancelled = 'y' THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Stavka je stornirana: ne menja se i ne briše.';
  END IF;
END;
-- The words of each item's subject, folded (no case, diacritics or script),
-- for the subject search: a typed word is a range on word, compared byte by
-- byte (a collation's contractions such as "nj" would break the range).
-- Written by the program in the transaction of each write of the item; an
-- item's words go with it.
CREATE TABLE IF NOT EXISTS subjectword (
  word VARCHAR(100) CHARACTER SET utf8mb4 COLLATE utf8mb4_bin NOT NULL,
  ledgeritemid BIGINT NOT NULL,
  PRIMARY KEY (word, ledgeritemid),
  KEY ix_subjectword_ledgeritemid (ledgeritemid),
  CONSTRAINT fk_subjectword_ledgeritem FOREIGN KEY (ledgeritemid) REFERENCES ledgeritem (ledgeritemid) ON DELETE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;
