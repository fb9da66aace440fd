-- Schema step 4 for MariaDB: an index behind every criterion of the search.
-- Loaded like the base file: one statement per semicolon at a line's end.
-- A search by partner name finds the partners by their name index first and
-- then their items here, instead of reading every item.
CREATE INDEX IF NOT EXISTS ix_ledgeritem_partnerid ON ledgeritem (partnerid);
CREATE INDEX IF NOT EXISTS ix_ledgeritem_documentid ON ledgeritem (documentid);
CREATE INDEX IF NOT EXISTS ix_document_number ON document (number);
-- The three users of an item; the recipient's index is in the base file.
CREATE INDEX IF NOT EXISTS ix_ledgeritem_inuserid ON ledgeritem (inuserid);
CREATE INDEX IF NOT EXISTS ix_ledgeritem_userid ON ledgeritem (userid);
-- The flags: few values, but the rare one (not accepted, archived) is what
-- is looked for; newest first within it.
CREATE INDEX IF NOT EXISTS ix_ledgeritem_accepted_datetime ON ledgeritem (accepted, ledgerdatetime);
CREATE INDEX IF NOT EXISTS ix_ledgeritem_archived_datetime ON ledgeritem (archived, ledgerdatetime);
