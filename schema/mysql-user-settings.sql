-- Schema step 11 for MariaDB: each user's own settings, such as the script
-- the interface speaks in ("script": "latin" or "cyrillic").
-- Loaded like the base file: one statement per semicolon at a line's end.
-- One row per user and key; a desk writes only its own user's rows, and a
-- save is one upsert, so two desks of one user saving at once leave the
-- later value. Keys match exactly (binary), as on SQLite.
CREATE TABLE IF NOT EXISTS usersetting (
  userid BIGINT NOT NULL,
  settingkey VARCHAR(50) CHARACTER SET ascii COLLATE ascii_bin NOT NULL,
  settingvalue VARCHAR(200) NOT NULL,
  PRIMARY KEY (userid, settingkey),
  CONSTRAINT fk_usersetting_user FOREIGN KEY (userid) REFERENCES `user` (userid) ON DELETE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
