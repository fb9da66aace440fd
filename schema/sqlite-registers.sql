-- Schema step 5 for SQLite: the registers an office keeps itself.
-- Loaded like the base file: one statement per semicolon at a line's end.
-- SQLite has no ADD COLUMN IF NOT EXISTS: the installer skips a column that
-- is there, and runs the step in one transaction.
-- role: 'a' administrator, 'c' clerk. active: 'y' or 'n'; an inactive user
-- cannot log in but stays on items and in the history.
ALTER TABLE user ADD COLUMN role CHAR(1) NOT NULL DEFAULT 'c' CHECK (role IN ('a', 'c'));
ALTER TABLE user ADD COLUMN active CHAR(1) NOT NULL DEFAULT 'y' CHECK (active IN ('y', 'n'));
-- On a book from before roles the first user administers it.
UPDATE user SET role = 'a' WHERE userid = (SELECT MIN(userid) FROM user) AND NOT EXISTS (SELECT 1 FROM user WHERE role = 'a');
-- A partner's tax number (PIB, 9 digits) and registration number (matični
-- broj, 8 digits) as typed, digits only. An inactive partner is hidden from
-- the pickers and stays on its items.
ALTER TABLE partner ADD COLUMN pib TEXT NULL;
ALTER TABLE partner ADD COLUMN mb TEXT NULL;
ALTER TABLE partner ADD COLUMN email TEXT NULL;
ALTER TABLE partner ADD COLUMN phone TEXT NULL;
ALTER TABLE partner ADD COLUMN active CHAR(1) NOT NULL DEFAULT 'y' CHECK (active IN ('y', 'n'));
CREATE INDEX IF NOT EXISTS ix_partner_pib ON partner (pib);
-- The document types offered for an item's "Vrsta dokumenta"; an item
-- keeps its own text, so a type renamed or removed here changes no item.
CREATE TABLE IF NOT EXISTS itemtype (
  itemtypeid INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL COLLATE NOCASE,
  active CHAR(1) NOT NULL DEFAULT 'y' CHECK (active IN ('y', 'n'))
);
CREATE UNIQUE INDEX IF NOT EXISTS ux_itemtype_name ON itemtype (name);
-- Changes to the registers (partner, document, user, itemtype), kept like
-- the items' history: one row per change, written in the same transaction.
-- changekind: 'i' insert, 'u' update, 'd' delete, 'm' merged into another
-- row. recordid names the row even after it is gone.
CREATE TABLE IF NOT EXISTS registerhistory (
  registerhistoryid INTEGER PRIMARY KEY AUTOINCREMENT,
  tablename TEXT NOT NULL,
  recordid INTEGER NOT NULL,
  changedat TEXT NOT NULL,
  changekind CHAR(1) NOT NULL CHECK (changekind IN ('i', 'u', 'd', 'm')),
  userid INTEGER NULL,
  username TEXT NOT NULL,
  hostname TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS ix_registerhistory_record ON registerhistory (tablename, recordid, registerhistoryid);
CREATE TABLE IF NOT EXISTS registerhistoryvalue (
  registerhistoryid INTEGER NOT NULL,
  columnname TEXT NOT NULL,
  oldvalue TEXT NULL,
  newvalue TEXT NULL,
  PRIMARY KEY (registerhistoryid, columnname)
);
