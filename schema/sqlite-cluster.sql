-- Schema step 3 for SQLite: the row-claim table a cluster uses (see the
-- MariaDB step). A single file never needs it; it keeps both books alike.
CREATE TABLE IF NOT EXISTS rowclaim (
  tablename TEXT NOT NULL,
  rowkey TEXT NOT NULL,
  claims INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (tablename, rowkey)
);
