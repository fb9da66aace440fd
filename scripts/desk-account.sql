-- The desks' MariaDB account for one book: what the program needs and no
-- more. Run by the database's administrator on the book's database, after
-- the schema is made or upgraded (the account may not change tables):
--
--   mariadb -u root -p delovodnik
--   > SET @desk_user = 'pisarnica', @desk_host = '%', @desk_password = '...';
--   > SOURCE /usr/share/delovodnik/desk-account.sql
--
-- @desk_user and @desk_host default to 'pisarnica' and '%'. With
-- @desk_password the account is made when missing (an existing account keeps
-- its password). Run it again after every upgrade: the grants follow the
-- tables the book has now, and whatever the account held on this book before
-- is taken back first. Nothing outside this database is touched.
--
-- The history and the kept handover records only grow: the desks may read
-- and add to them, never change or delete them. The history's chain head is
-- only read and moved on. The schema's version is read only. A user's
-- settings are written, never deleted (the program keeps a desk to its own
-- user's rows). Every other table gets SELECT, INSERT, UPDATE and DELETE; no DDL,
-- no GRANT OPTION, no global privileges.

SET @desk_user = IFNULL(@desk_user, 'pisarnica');
SET @desk_host = IFNULL(@desk_host, '%');

DELIMITER //
BEGIN NOT ATOMIC
  DECLARE book VARCHAR(64) DEFAULT DATABASE();
  DECLARE account TEXT DEFAULT CONCAT(QUOTE(@desk_user), '@', QUOTE(@desk_host));
  DECLARE target TEXT;
  IF book IS NULL THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Baza nije izabrana: skripta se pokreće nad bazom delovodnika (mariadb ... BAZA).';
  END IF;
  SET target = CONCAT('`', REPLACE(book, '`', '``'), '`.');
  IF @desk_password IS NOT NULL THEN
    EXECUTE IMMEDIATE CONCAT('CREATE USER IF NOT EXISTS ', account, ' IDENTIFIED BY ', QUOTE(@desk_password));
  END IF;

  IF EXISTS (SELECT 1 FROM information_schema.schema_privileges
             WHERE grantee = account AND table_schema = book) THEN
    EXECUTE IMMEDIATE CONCAT('REVOKE ALL PRIVILEGES ON ', target, '* FROM ', account);
  END IF;
  FOR held IN (SELECT DISTINCT table_name AS name FROM information_schema.table_privileges
               WHERE grantee = account AND table_schema = book) DO
    EXECUTE IMMEDIATE CONCAT('REVOKE ALL PRIVILEGES ON ', target, '`', REPLACE(held.name, '`', '``'), '` FROM ',
                             account);
  END FOR;

  FOR t IN (SELECT table_name AS name FROM information_schema.tables
            WHERE table_schema = book AND table_type = 'BASE TABLE') DO
    EXECUTE IMMEDIATE CONCAT('GRANT ',
      CASE
        WHEN t.name IN ('ledgerhistory', 'ledgerhistoryvalue', 'handoverrecord', 'handoverrow')
          THEN 'SELECT, INSERT'
        WHEN t.name IN ('historychain') THEN 'SELECT, UPDATE'
        WHEN t.name IN ('schemaversion') THEN 'SELECT'
        WHEN t.name IN ('usersetting') THEN 'SELECT, INSERT, UPDATE'
        ELSE 'SELECT, INSERT, UPDATE, DELETE'
      END,
      ' ON ', target, '`', REPLACE(t.name, '`', '``'), '` TO ', account);
  END FOR;
END
//
DELIMITER ;
