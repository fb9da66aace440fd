-- Schema step 9 for MariaDB: the text read from each item's scan or e-mail.
-- Loaded like the base file: one statement per semicolon at a line's end.
-- One row per item: the text as read, the SHA-256 of the file that became
-- the scan (lower-case hex; a file brought again is found by it) and when it
-- was stored. An item's text and words go with it; a closed year keeps them
-- searchable like the items themselves.
CREATE TABLE IF NOT EXISTS itemdocument (
  ledgeritemid BIGINT NOT NULL,
  filesha256 CHAR(64) CHARACTER SET ascii COLLATE ascii_bin NULL,
  documenttext MEDIUMTEXT NOT NULL,
  storedat DATETIME NOT NULL,
  PRIMARY KEY (ledgeritemid),
  KEY ix_itemdocument_filesha256 (filesha256),
  CONSTRAINT fk_itemdocument_ledgeritem FOREIGN KEY (ledgeritemid) REFERENCES ledgeritem (ledgeritemid) ON DELETE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_croatian_ci;
-- The folded words of the text, as subjectword holds the subject's: a typed
-- word is a range on word, compared byte by byte.
CREATE TABLE IF NOT EXISTS documentword (
  word VARCHAR(100) CHARACTER SET utf8mb4 COLLATE utf8mb4_bin NOT NULL,
  ledgeritemid BIGINT NOT NULL,
  PRIMARY KEY (word, ledgeritemid),
  KEY ix_documentword_ledgeritemid (ledgeritemid),
  CONSTRAINT fk_documentword_ledgeritem FOREIGN KEY (ledgeritemid) REFERENCES ledgeritem (ledgeritemid) ON DELETE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;
-- The text search finds an item's type through the few type names that hold
-- the typed word, then their items here.
CREATE INDEX IF NOT EXISTS ix_ledgeritem_itemtype ON ledgeritem (itemtype);
