-- Schema step 10 for SQLite: the folded keys of the texts searched by prefix,
-- so that a search ignores script, case and diacritics ("Чачак", "cacak" and
-- "ČAČAK" find "Čačak") and stays a range over an index.
-- Loaded like the base file: one statement per semicolon at a line's end.
-- Each key is an index over SERBIANFOLD(text), the function every connection
-- of the program registers (SerbianFold in host/text): SQLite keeps it on
-- every write and builds it for the rows already there; a search names the
-- same expression. A client without the function cannot write these tables,
-- as with the Serbian collation.
CREATE INDEX IF NOT EXISTS ix_partner_namefold ON partner (SERBIANFOLD(name));
CREATE INDEX IF NOT EXISTS ix_ledgeritem_ledgernumberfold ON ledgeritem (SERBIANFOLD(ledgernumber));
CREATE INDEX IF NOT EXISTS ix_ledgeritem_itemnumberfold ON ledgeritem (SERBIANFOLD(itemnumber));
CREATE INDEX IF NOT EXISTS ix_ledgeritem_itemtypefold ON ledgeritem (SERBIANFOLD(itemtype));
