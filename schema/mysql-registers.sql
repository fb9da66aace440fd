-- Schema step 5 for MariaDB: the registers an office keeps itself.
-- Loaded like the base file: one statement per semicolon at a line's end.
-- role: 'a' administrator, 'c' clerk. active: 'y' or 'n'; an inactive user
-- cannot log in but stays on items and in the history.
ALTER TABLE `user` ADD COLUMN IF NOT EXISTS role CHAR(1) NOT NULL DEFAULT 'c', ADD COLUMN IF NOT EXISTS active CHAR(1) NOT NULL DEFAULT 'y';
ALTER TABLE `user` ADD CONSTRAINT IF NOT EXISTS ck_user_role CHECK (role COLLATE utf8mb4_bin IN ('a', 'c')), ADD CONSTRAINT IF NOT EXISTS ck_user_active CHECK (active COLLATE utf8mb4_bin IN ('y', 'n'));
-- On a book from before roles the first user administers it.
UPDATE `user` SET role = 'a' WHERE userid = (SELECT MIN(userid) FROM `user`) AND NOT EXISTS (SELECT 1 FROM `user` WHERE role = 'a');
-- A partner's tax number (PIB, 9 digits) and registration number (matični
-- broj, 8 digits), digits only. An inactive partner is hidden from the
-- pickers and stays on its items.
ALTER TABLE partner ADD COLUMN IF NOT EXISTS pib VARCHAR(9) NULL, ADD COLUMN IF NOT EXISTS mb VARCHAR(8) NULL, ADD COLUMN IF NOT EXISTS email VARCHAR(100) NULL, ADD COLUMN IF NOT EXISTS phone VARCHAR(50) NULL, ADD COLUMN IF NOT EXISTS active CHAR(1) NOT NULL DEFAULT 'y';
ALTER TABLE partner ADD CONSTRAINT IF NOT EXISTS ck_partner_active CHECK (active COLLATE utf8mb4_bin IN ('y', 'n'));
CREATE INDEX IF NOT EXISTS ix_partner_pib ON partner (pib);
-- The document types offered for an item's "Vrsta dokumenta"; an item
-- keeps its own text, so a type renamed or removed here changes no item.
CREATE TABLE IF NOT EXISTS itemtype (
  itemtypeid BIGINT NOT NULL AUTO_INCREMENT,
  name VARCHAR(100) NOT NULL,
  active CHAR(1) NOT NULL DEFAULT 'y',
  PRIMARY KEY (itemtypeid),
  UNIQUE KEY ux_itemtype_name (name),
  CONSTRAINT ck_itemtype_active CHECK (active COLLATE utf8mb4_bin IN ('y', 'n'))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
-- Changes to the registers (partner, document, user, itemtype), kept like
-- the items' history: one row per change, written in the same transaction.
-- changekind: 'i' insert, 'u' update, 'd' delete, 'm' merged into another
-- row. recordid names the row even after it is gone.
CREATE TABLE IF NOT EXISTS registerhistory (
  registerhistoryid BIGINT NOT NULL AUTO_INCREMENT,
  tablename VARCHAR(64) NOT NULL,
  recordid BIGINT NOT NULL,
  changedat DATETIME NOT NULL,
  changekind CHAR(1) NOT NULL,
  userid BIGINT NULL,
  username VARCHAR(101) NOT NULL,
  hostname VARCHAR(255) NOT NULL,
  PRIMARY KEY (registerhistoryid),
  KEY ix_registerhistory_record (tablename, recordid, registerhistoryid),
  CONSTRAINT ck_registerhistory_kind CHECK (changekind COLLATE utf8mb4_bin IN ('i', 'u', 'd', 'm'))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
CREATE TABLE IF NOT EXISTS registerhistoryvalue (
  registerhistoryid BIGINT NOT NULL,
  columnname VARCHAR(64) NOT NULL,
  oldvalue TEXT NULL,
  newvalue TEXT NULL,
  PRIMARY KEY (registerhistoryid, columnname)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
