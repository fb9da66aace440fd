-- Schema step 7 for MariaDB: the items' history as a hash chain.
-- Loaded like the base file: one statement per semicolon at a line's end.
-- chainseq: the entry's place in the chain (1, 2, ...); entryhash: SHA-256
-- (hex) over the entry's content and the previous entry's hash
-- (HistoryChainHash.h). Entries of a book from before the chain get theirs
-- when the upgrade chains them, in the order they were written. The desks'
-- account may only insert and read history: the server refuses the rest.
ALTER TABLE ledgerhistory ADD COLUMN IF NOT EXISTS chainseq BIGINT NULL, ADD COLUMN IF NOT EXISTS entryhash CHAR(64) CHARACTER SET ascii COLLATE ascii_bin NULL;
CREATE UNIQUE INDEX IF NOT EXISTS ux_ledgerhistory_chain ON ledgerhistory (chainseq);
-- The chain's head: how many entries it holds and the last one's hash. One
-- row; a desk writing history holds it (on a cluster claims it too), so
-- entries join the chain one by one and two nodes cannot fork it.
CREATE TABLE IF NOT EXISTS historychain (
  chainid INT NOT NULL,
  entries BIGINT NOT NULL DEFAULT 0,
  headhash CHAR(64) CHARACTER SET ascii COLLATE ascii_bin NOT NULL DEFAULT '',
  PRIMARY KEY (chainid),
  CONSTRAINT ck_historychain_one CHECK (chainid = 1)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;
INSERT IGNORE INTO historychain (chainid, entries, headhash) VALUES (1, 0, '');
