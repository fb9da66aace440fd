-- Schema step 6 for SQLite: the columns an office register must carry.
-- Loaded like the base file: one statement per semicolon at a line's end.
-- subject: what the item is about (predmet), up to 500 characters.
-- classification: the mark from the office's classification plan, as given
-- (the item keeps its text, as with the document type).
-- orgunit: the organisational unit the item belongs to, as given.
ALTER TABLE ledgeritem ADD COLUMN subject TEXT NULL;
ALTER TABLE ledgeritem ADD COLUMN classification TEXT NULL;
ALTER TABLE ledgeritem ADD COLUMN orgunit TEXT NULL;
-- A cancelled (storno) item keeps its number and stays in the book.
ALTER TABLE ledgeritem ADD COLUMN cancelled CHAR(1) NOT NULL DEFAULT 'n' CHECK (cancelled IN ('y', 'n'));
ALTER TABLE ledgeritem ADD COLUMN cancelreason TEXT NULL;
ALTER TABLE ledgeritem ADD COLUMN cancelledby INTEGER NULL;
ALTER TABLE ledgeritem ADD COLUMN cancelledat TEXT NULL;
-- The office's classification plan: groups 0-9 and their decimal subgroups
-- ("0", "01", "011"), each with its name and how long its documents are
-- kept: retentionyears, or NULL for "trajno" (for ever).
CREATE TABLE IF NOT EXISTS classification (
  classificationid INTEGER PRIMARY KEY AUTOINCREMENT,
  mark TEXT NOT NULL,
  name TEXT NOT NULL,
  retentionyears INTEGER NULL CHECK (retentionyears IS NULL OR retentionyears > 0),
  active CHAR(1) NOT NULL DEFAULT 'y' CHECK (active IN ('y', 'n'))
);
CREATE UNIQUE INDEX IF NOT EXISTS ux_classification_mark ON classification (mark);
-- The office's organisational units; an item keeps the unit's name as given.
CREATE TABLE IF NOT EXISTS orgunit (
  orgunitid INTEGER PRIMARY KEY AUTOINCREMENT,
  code TEXT NULL,
  name TEXT NOT NULL COLLATE NOCASE,
  active CHAR(1) NOT NULL DEFAULT 'y' CHECK (active IN ('y', 'n'))
);
CREATE UNIQUE INDEX IF NOT EXISTS ux_orgunit_name ON orgunit (name);
-- Closing the year: a row here means the year's items are closed (its
-- register book is final); the key refuses a second desk closing the same
-- year. figures: the closing note's figures as the closing read them (JSON).
CREATE TABLE IF NOT EXISTS closedyear (
  year INTEGER PRIMARY KEY,
  closedat TEXT NOT NULL,
  userid INTEGER NULL,
  username TEXT NOT NULL,
  hostname TEXT NOT NULL,
  figures TEXT NOT NULL
);
-- Every closing ('c') and reopening ('r') of a year, kept for good.
CREATE TABLE IF NOT EXISTS yearclosing (
  yearclosingid INTEGER PRIMARY KEY AUTOINCREMENT,
  year INTEGER NOT NULL,
  kind CHAR(1) NOT NULL CHECK (kind IN ('c', 'r')),
  eventat TEXT NOT NULL,
  userid INTEGER NULL,
  username TEXT NOT NULL,
  hostname TEXT NOT NULL,
  reason TEXT NULL,
  figures TEXT NULL
);
CREATE INDEX IF NOT EXISTS ix_yearclosing_year ON yearclosing (year, yearclosingid);
-- A closed year's items are refused any write, whatever writes them. The
-- message is a marker the program turns into words naming the year.
CREATE TRIGGER IF NOT EXISTS tr_ledgeritem_closedyear_insert BEFORE INSERT ON ledgeritem
FOR EACH ROW WHEN EXISTS (SELECT 1 FROM closedyear WHERE year = CAST(substr(NEW.ledgerdatetime, 1, 4) AS INTEGER))
BEGIN
  SELECT RAISE(ABORT, 'ledger-closed-year');
END;
CREATE TRIGGER IF NOT EXISTS tr_ledgeritem_closedyear_update BEFORE UPDATE ON ledgeritem
FOR EACH ROW WHEN EXISTS (SELECT 1 FROM closedyear WHERE year IN (CAST(substr(OLD.ledgerdatetime, 1, 4) AS INTEGER),
                                                                  CAST(substr(NEW.ledgerdatetime, 1, 4) AS INTEGER)))
BEGIN
  SELECT RAISE(ABORT, 'ledger-closed-year');
END;
CREATE TRIGGER IF NOT EXISTS tr_ledgeritem_closedyear_delete BEFORE DELETE ON ledgeritem
FOR EACH ROW WHEN EXISTS (SELECT 1 FROM closedyear WHERE year = CAST(substr(OLD.ledgerdatetime, 1, 4) AS INTEGER))
BEGIN
  SELECT RAISE(ABORT, 'ledger-closed-year');
END;
-- Storno is final: a cancelled item is neither changed nor deleted, whatever
-- program sends the statement. The data layer knows these words.
CREATE TRIGGER IF NOT EXISTS tr_ledgeritem_cancelled_update BEFORE UPDATE ON ledgeritem
FOR EACH ROW WHEN OLD.cancelled = 'y'
BEGIN
  SELECT RAISE(ABORT, 'Stavka je stornirana: ne menja se i ne briše.');
END;
CREATE TRIGGER IF NOT EXISTS tr_ledgeritem_cancelled_delete BEFORE DELETE ON ledgeritem
FOR EACH ROW WHEN OLD.cancelled = 'y'
BEGIN
  SELECT RAISE(ABORT, 'Stavka je stornirana: ne menja se i ne briše.');
END;
-- The words of each item's subject, folded (no case, diacritics or script),
-- for the subject search: a typed word is a range on word. Written by the
-- program in the transaction of each write of the item; an item's words go
-- with it.
CREATE TABLE IF NOT EXISTS subjectword (
  word TEXT NOT NULL,
  ledgeritemid INTEGER NOT NULL REFERENCES ledgeritem (ledgeritemid) ON DELETE CASCADE,
  PRIMARY KEY (word, ledgeritemid)
) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS ix_subjectword_ledgeritemid ON subjectword (ledgeritemid);
