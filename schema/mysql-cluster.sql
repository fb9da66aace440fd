-- Schema step 3 for MariaDB: row claims for a Galera cluster.
-- A node's row locks hold only on that node. A transaction that holds a row
-- (TZTransaction::LockRow) also counts a claim on it here, so two nodes that
-- hold the same row at once write the same claim, and the cluster lets only
-- the first commit. One row per row ever held; nothing reads it.
CREATE TABLE IF NOT EXISTS rowclaim (
  tablename VARCHAR(64) NOT NULL,
  rowkey VARCHAR(64) NOT NULL,
  claims BIGINT NOT NULL DEFAULT 0,
  PRIMARY KEY (tablename, rowkey)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;
