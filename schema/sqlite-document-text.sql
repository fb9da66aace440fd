-- Schema step 9 for SQLite: the text read from each item's scan or e-mail.
-- Loaded like the base file: one statement per semicolon at a line's end.
-- One row per item: the text as read, the SHA-256 of the file that became
-- the scan (lower-case hex; a file brought again is found by it) and when it
-- was stored. An item's text and words go with it; a closed year keeps them
-- searchable like the items themselves.
CREATE TABLE IF NOT EXISTS itemdocument (
  ledgeritemid INTEGER PRIMARY KEY REFERENCES ledgeritem (ledgeritemid) ON DELETE CASCADE,
  filesha256 TEXT NULL,
  documenttext TEXT NOT NULL,
  storedat TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS ix_itemdocument_filesha256 ON itemdocument (filesha256);
-- The folded words of the text, as subjectword holds the subject's: a typed
-- word is a range on word.
CREATE TABLE IF NOT EXISTS documentword (
  word TEXT NOT NULL,
  ledgeritemid INTEGER NOT NULL REFERENCES ledgeritem (ledgeritemid) ON DELETE CASCADE,
  PRIMARY KEY (word, ledgeritemid)
) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS ix_documentword_ledgeritemid ON documentword (ledgeritemid);
-- The text search finds an item's type through the few type names that hold
-- the typed word, then their items here.
CREATE INDEX IF NOT EXISTS ix_ledgeritem_itemtype ON ledgeritem (itemtype);
