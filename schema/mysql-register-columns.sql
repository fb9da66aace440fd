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
