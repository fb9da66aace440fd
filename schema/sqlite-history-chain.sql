-- Schema step 7 for SQLite: the items' history as a hash chain.
-- Loaded like the base file: one statement per semicolon at a line's end.
-- chainseq: the entry's place in the chain (1, 2, ...); entryhash: SHA-256
-- (hex) over the entry's content and the previous entry's hash
-- (HistoryChainHash.h). Entries of a book from before the chain get theirs
-- when the upgrade chains them, in the order they were written.
ALTER TABLE ledgerhistory ADD COLUMN chainseq INTEGER NULL;
ALTER TABLE ledgerhistory ADD COLUMN entryhash TEXT NULL;
CREATE UNIQUE INDEX IF NOT EXISTS ux_ledgerhistory_chain ON ledgerhistory (chainseq);
-- The chain's head: how many entries it holds and the last one's hash. One
-- row; a desk writing history holds it, so entries join the chain one by one.
CREATE TABLE IF NOT EXISTS historychain (
  chainid INTEGER PRIMARY KEY CHECK (chainid = 1),
  entries INTEGER NOT NULL DEFAULT 0,
  headhash TEXT NOT NULL DEFAULT ''
);
INSERT OR IGNORE INTO historychain (chainid, entries, headhash) VALUES (1, 0, '');
-- History is written once: whatever program sends the statement, an entry
-- and its values are neither changed nor deleted. The one change let
-- through gives an entry written before the chain its place in it.
CREATE TRIGGER IF NOT EXISTS tr_ledgerhistory_update BEFORE UPDATE ON ledgerhistory
FOR EACH ROW WHEN NOT (OLD.chainseq IS NULL AND OLD.entryhash IS NULL
  AND NEW.ledgerhistoryid IS OLD.ledgerhistoryid AND NEW.ledgeritemid IS OLD.ledgeritemid
  AND NEW.changedat IS OLD.changedat AND NEW.changekind IS OLD.changekind AND NEW.userid IS OLD.userid
  AND NEW.username IS OLD.username AND NEW.hostname IS OLD.hostname AND NEW.ledgernumber IS OLD.ledgernumber)
BEGIN
  SELECT RAISE(ABORT, 'Istorija izmena se ne može menjati ni brisati.');
END;
CREATE TRIGGER IF NOT EXISTS tr_ledgerhistory_delete BEFORE DELETE ON ledgerhistory
BEGIN
  SELECT RAISE(ABORT, 'Istorija izmena se ne može menjati ni brisati.');
END;
CREATE TRIGGER IF NOT EXISTS tr_ledgerhistoryvalue_update BEFORE UPDATE ON ledgerhistoryvalue
BEGIN
  SELECT RAISE(ABORT, 'Istorija izmena se ne može menjati ni brisati.');
END;
CREATE TRIGGER IF NOT EXISTS tr_ledgerhistoryvalue_delete BEFORE DELETE ON ledgerhistoryvalue
BEGIN
  SELECT RAISE(ABORT, 'Istorija izmena se ne može menjati ni brisati.');
END;
CREATE TRIGGER IF NOT EXISTS tr_historychain_delete BEFORE DELETE ON historychain
BEGIN
  SELECT RAISE(ABORT, 'Istorija izmena se ne može menjati ni brisati.');
END;
