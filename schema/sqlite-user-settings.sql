-- Schema step 11 for SQLite: each user's own settings, such as the script
-- the interface speaks in ("script": "latin" or "cyrillic").
-- Loaded like the base file: one statement per semicolon at a line's end.
-- One row per user and key; a desk writes only its own user's rows, and a
-- save is one upsert, so two desks of one user saving at once leave the
-- later value.
CREATE TABLE IF NOT EXISTS usersetting (
  userid INTEGER NOT NULL REFERENCES user (userid) ON DELETE CASCADE,
  settingkey TEXT NOT NULL,
  settingvalue TEXT NOT NULL,
  PRIMARY KEY (userid, settingkey)
) WITHOUT ROWID;
