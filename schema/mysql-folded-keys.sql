-- Schema step 10 for MariaDB: the folded keys of the texts searched by
-- prefix, so that a search ignores script, case and diacritics ("Чачак",
-- "cacak" and "ČAČAK" find "Čačak") and stays a range over an index.
-- Loaded like the base file: one statement per semicolon at a line's end.
-- Each key is a column the server computes from its text on every write, by
-- any client, and fills for the rows already there when it is added: the
-- text in lower case, Serbian Cyrillic in Latin letters, č ć š ž đ as c c s z
-- dj, and other accented letters as their base letter, exactly as the
-- program's SerbianFold (host/text) folds what is typed. Both change together.
-- A key is at most twice its text (đ, љ, њ, џ give two letters) and compares
-- by code point, with no padding, as the search's bounds expect. The keys are
-- invisible: SELECT * (the list's l.*, the history's copy of a row) leaves
-- them out, and only a search names them.
ALTER TABLE partner
ADD COLUMN IF NOT EXISTS namefold VARCHAR(200) CHARACTER SET utf8mb4 COLLATE utf8mb4_nopad_bin AS (
  REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(LOWER(name)
    , 'а', 'a'), 'б', 'b'), 'в', 'v'), 'г', 'g'), 'д', 'd'), 'ђ', 'dj'), 'е', 'e'), 'ж', 'z'), 'з', 'z')
    , 'и', 'i'), 'ј', 'j'), 'к', 'k'), 'л', 'l'), 'љ', 'lj'), 'м', 'm'), 'н', 'n'), 'њ', 'nj'), 'о', 'o')
    , 'п', 'p'), 'р', 'r'), 'с', 's'), 'т', 't'), 'ћ', 'c'), 'у', 'u'), 'ф', 'f'), 'х', 'h'), 'ц', 'c')
    , 'ч', 'c'), 'џ', 'dz'), 'ш', 's'), 'č', 'c'), 'ć', 'c'), 'š', 's'), 'ž', 'z'), 'đ', 'dj'), 'ǆ', 'dz')
    , 'ǉ', 'lj'), 'ǌ', 'nj'), 'à', 'a'), 'á', 'a'), 'â', 'a'), 'ã', 'a'), 'ä', 'a'), 'å', 'a'), 'ç', 'c')
    , 'è', 'e'), 'é', 'e'), 'ê', 'e'), 'ë', 'e'), 'ì', 'i'), 'í', 'i'), 'î', 'i'), 'ï', 'i'), 'ñ', 'n')
    , 'ò', 'o'), 'ó', 'o'), 'ô', 'o'), 'õ', 'o'), 'ö', 'o'), 'ù', 'u'), 'ú', 'u'), 'û', 'u'), 'ü', 'u')
    , 'ý', 'y'), 'ÿ', 'y'), 'ā', 'a'), 'ă', 'a'), 'ą', 'a'), 'ĉ', 'c'), 'ċ', 'c'), 'ď', 'd'), 'ē', 'e')
    , 'ĕ', 'e'), 'ė', 'e'), 'ę', 'e'), 'ě', 'e'), 'ĝ', 'g'), 'ğ', 'g'), 'ġ', 'g'), 'ģ', 'g'), 'ĥ', 'h')
    , 'ĩ', 'i'), 'ī', 'i'), 'ĭ', 'i'), 'į', 'i'), 'ĵ', 'j'), 'ķ', 'k'), 'ĺ', 'l'), 'ļ', 'l'), 'ľ', 'l')
    , 'ń', 'n'), 'ņ', 'n'), 'ň', 'n'), 'ō', 'o'), 'ŏ', 'o'), 'ő', 'o'), 'ŕ', 'r'), 'ŗ', 'r'), 'ř', 'r')
    , 'ś', 's'), 'ŝ', 's'), 'ş', 's'), 'ţ', 't'), 'ť', 't'), 'ũ', 'u'), 'ū', 'u'), 'ŭ', 'u'), 'ů', 'u')
    , 'ű', 'u'), 'ų', 'u'), 'ŵ', 'w'), 'ŷ', 'y'), 'ź', 'z'), 'ż', 'z'), 'ơ', 'o'), 'ư', 'u'), 'ǎ', 'a')
    , 'ǐ', 'i'), 'ǒ', 'o'), 'ǔ', 'u'), 'ǖ', 'ü'), 'ǘ', 'ü'), 'ǚ', 'ü'), 'ǜ', 'ü'), 'ǟ', 'ä'), 'ǡ', 'ȧ')
    , 'ǣ', 'æ'), 'ǧ', 'g'), 'ǩ', 'k'), 'ǫ', 'o'), 'ǭ', 'ǫ'), 'ǯ', 'ʒ'), 'ǰ', 'j'), 'ǵ', 'g'), 'ǹ', 'n')
    , 'ǻ', 'å'), 'ǽ', 'æ'), 'ǿ', 'ø'), 'ȁ', 'a'), 'ȃ', 'a'), 'ȅ', 'e'), 'ȇ', 'e'), 'ȉ', 'i'), 'ȋ', 'i')
    , 'ȍ', 'o'), 'ȏ', 'o'), 'ȑ', 'r'), 'ȓ', 'r'), 'ȕ', 'u'), 'ȗ', 'u'), 'ș', 's'), 'ț', 't'), 'ȟ', 'h')
    , 'ȧ', 'a'), 'ȩ', 'e'), 'ȫ', 'ö'), 'ȭ', 'õ'), 'ȯ', 'o'), 'ȱ', 'ȯ'), 'ȳ', 'y'), 'й', 'и'), 'ѐ', 'е')
    , 'ё', 'е'), 'ѓ', 'г'), 'ї', 'і'), 'ќ', 'к'), 'ѝ', 'и'), 'ў', 'у')) PERSISTENT INVISIBLE;
ALTER TABLE ledgeritem
ADD COLUMN IF NOT EXISTS ledgernumberfold VARCHAR(60) CHARACTER SET utf8mb4 COLLATE utf8mb4_nopad_bin AS (
  REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(LOWER(ledgernumber)
    , 'а', 'a'), 'б', 'b'), 'в', 'v'), 'г', 'g'), 'д', 'd'), 'ђ', 'dj'), 'е', 'e'), 'ж', 'z'), 'з', 'z')
    , 'и', 'i'), 'ј', 'j'), 'к', 'k'), 'л', 'l'), 'љ', 'lj'), 'м', 'm'), 'н', 'n'), 'њ', 'nj'), 'о', 'o')
    , 'п', 'p'), 'р', 'r'), 'с', 's'), 'т', 't'), 'ћ', 'c'), 'у', 'u'), 'ф', 'f'), 'х', 'h'), 'ц', 'c')
    , 'ч', 'c'), 'џ', 'dz'), 'ш', 's'), 'č', 'c'), 'ć', 'c'), 'š', 's'), 'ž', 'z'), 'đ', 'dj'), 'ǆ', 'dz')
    , 'ǉ', 'lj'), 'ǌ', 'nj'), 'à', 'a'), 'á', 'a'), 'â', 'a'), 'ã', 'a'), 'ä', 'a'), 'å', 'a'), 'ç', 'c')
    , 'è', 'e'), 'é', 'e'), 'ê', 'e'), 'ë', 'e'), 'ì', 'i'), 'í', 'i'), 'î', 'i'), 'ï', 'i'), 'ñ', 'n')
    , 'ò', 'o'), 'ó', 'o'), 'ô', 'o'), 'õ', 'o'), 'ö', 'o'), 'ù', 'u'), 'ú', 'u'), 'û', 'u'), 'ü', 'u')
    , 'ý', 'y'), 'ÿ', 'y'), 'ā', 'a'), 'ă', 'a'), 'ą', 'a'), 'ĉ', 'c'), 'ċ', 'c'), 'ď', 'd'), 'ē', 'e')
    , 'ĕ', 'e'), 'ė', 'e'), 'ę', 'e'), 'ě', 'e'), 'ĝ', 'g'), 'ğ', 'g'), 'ġ', 'g'), 'ģ', 'g'), 'ĥ', 'h')
    , 'ĩ', 'i'), 'ī', 'i'), 'ĭ', 'i'), 'į', 'i'), 'ĵ', 'j'), 'ķ', 'k'), 'ĺ', 'l'), 'ļ', 'l'), 'ľ', 'l')
    , 'ń', 'n'), 'ņ', 'n'), 'ň', 'n'), 'ō', 'o'), 'ŏ', 'o'), 'ő', 'o'), 'ŕ', 'r'), 'ŗ', 'r'), 'ř', 'r')
    , 'ś', 's'), 'ŝ', 's'), 'ş', 's'), 'ţ', 't'), 'ť', 't'), 'ũ', 'u'), 'ū', 'u'), 'ŭ', 'u'), 'ů', 'u')
    , 'ű', 'u'), 'ų', 'u'), 'ŵ', 'w'), 'ŷ', 'y'), 'ź', 'z'), 'ż', 'z'), 'ơ', 'o'), 'ư', 'u'), 'ǎ', 'a')
    , 'ǐ', 'i'), 'ǒ', 'o'), 'ǔ', 'u'), 'ǖ', 'ü'), 'ǘ', 'ü'), 'ǚ', 'ü'), 'ǜ', 'ü'), 'ǟ', 'ä'), 'ǡ', 'ȧ')
    , 'ǣ', 'æ'), 'ǧ', 'g'), 'ǩ', 'k'), 'ǫ', 'o'), 'ǭ', 'ǫ'), 'ǯ', 'ʒ'), 'ǰ', 'j'), 'ǵ', 'g'), 'ǹ', 'n')
    , 'ǻ', 'å'), 'ǽ', 'æ'), 'ǿ', 'ø'), 'ȁ', 'a'), 'ȃ', 'a'), 'ȅ', 'e'), 'ȇ', 'e'), 'ȉ', 'i'), 'ȋ', 'i')
    , 'ȍ', 'o'), 'ȏ', 'o'), 'ȑ', 'r'), 'ȓ', 'r'), 'ȕ', 'u'), 'ȗ', 'u'), 'ș', 's'), 'ț', 't'), 'ȟ', 'h')
    , 'ȧ', 'a'), 'ȩ', 'e'), 'ȫ', 'ö'), 'ȭ', 'õ'), 'ȯ', 'o'), 'ȱ', 'ȯ'), 'ȳ', 'y'), 'й', 'и'), 'ѐ', 'е')
    , 'ё', 'е'), 'ѓ', 'г'), 'ї', 'і'), 'ќ', 'к'), 'ѝ', 'и'), 'ў', 'у')) PERSISTENT INVISIBLE,
ADD COLUMN IF NOT EXISTS itemnumberfold VARCHAR(60) CHARACTER SET utf8mb4 COLLATE utf8mb4_nopad_bin AS (
  REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(LOWER(itemnumber)
    , 'а', 'a'), 'б', 'b'), 'в', 'v'), 'г', 'g'), 'д', 'd'), 'ђ', 'dj'), 'е', 'e'), 'ж', 'z'), 'з', 'z')
    , 'и', 'i'), 'ј', 'j'), 'к', 'k'), 'л', 'l'), 'љ', 'lj'), 'м', 'm'), 'н', 'n'), 'њ', 'nj'), 'о', 'o')
    , 'п', 'p'), 'р', 'r'), 'с', 's'), 'т', 't'), 'ћ', 'c'), 'у', 'u'), 'ф', 'f'), 'х', 'h'), 'ц', 'c')
    , 'ч', 'c'), 'џ', 'dz'), 'ш', 's'), 'č', 'c'), 'ć', 'c'), 'š', 's'), 'ž', 'z'), 'đ', 'dj'), 'ǆ', 'dz')
    , 'ǉ', 'lj'), 'ǌ', 'nj'), 'à', 'a'), 'á', 'a'), 'â', 'a'), 'ã', 'a'), 'ä', 'a'), 'å', 'a'), 'ç', 'c')
    , 'è', 'e'), 'é', 'e'), 'ê', 'e'), 'ë', 'e'), 'ì', 'i'), 'í', 'i'), 'î', 'i'), 'ï', 'i'), 'ñ', 'n')
    , 'ò', 'o'), 'ó', 'o'), 'ô', 'o'), 'õ', 'o'), 'ö', 'o'), 'ù', 'u'), 'ú', 'u'), 'û', 'u'), 'ü', 'u')
    , 'ý', 'y'), 'ÿ', 'y'), 'ā', 'a'), 'ă', 'a'), 'ą', 'a'), 'ĉ', 'c'), 'ċ', 'c'), 'ď', 'd'), 'ē', 'e')
    , 'ĕ', 'e'), 'ė', 'e'), 'ę', 'e'), 'ě', 'e'), 'ĝ', 'g'), 'ğ', 'g'), 'ġ', 'g'), 'ģ', 'g'), 'ĥ', 'h')
    , 'ĩ', 'i'), 'ī', 'i'), 'ĭ', 'i'), 'į', 'i'), 'ĵ', 'j'), 'ķ', 'k'), 'ĺ', 'l'), 'ļ', 'l'), 'ľ', 'l')
    , 'ń', 'n'), 'ņ', 'n'), 'ň', 'n'), 'ō', 'o'), 'ŏ', 'o'), 'ő', 'o'), 'ŕ', 'r'), 'ŗ', 'r'), 'ř', 'r')
    , 'ś', 's'), 'ŝ', 's'), 'ş', 's'), 'ţ', 't'), 'ť', 't'), 'ũ', 'u'), 'ū', 'u'), 'ŭ', 'u'), 'ů', 'u')
    , 'ű', 'u'), 'ų', 'u'), 'ŵ', 'w'), 'ŷ', 'y'), 'ź', 'z'), 'ż', 'z'), 'ơ', 'o'), 'ư', 'u'), 'ǎ', 'a')
    , 'ǐ', 'i'), 'ǒ', 'o'), 'ǔ', 'u'), 'ǖ', 'ü'), 'ǘ', 'ü'), 'ǚ', 'ü'), 'ǜ', 'ü'), 'ǟ', 'ä'), 'ǡ', 'ȧ')
    , 'ǣ', 'æ'), 'ǧ', 'g'), 'ǩ', 'k'), 'ǫ', 'o'), 'ǭ', 'ǫ'), 'ǯ', 'ʒ'), 'ǰ', 'j'), 'ǵ', 'g'), 'ǹ', 'n')
    , 'ǻ', 'å'), 'ǽ', 'æ'), 'ǿ', 'ø'), 'ȁ', 'a'), 'ȃ', 'a'), 'ȅ', 'e'), 'ȇ', 'e'), 'ȉ', 'i'), 'ȋ', 'i')
    , 'ȍ', 'o'), 'ȏ', 'o'), 'ȑ', 'r'), 'ȓ', 'r'), 'ȕ', 'u'), 'ȗ', 'u'), 'ș', 's'), 'ț', 't'), 'ȟ', 'h')
    , 'ȧ', 'a'), 'ȩ', 'e'), 'ȫ', 'ö'), 'ȭ', 'õ'), 'ȯ', 'o'), 'ȱ', 'ȯ'), 'ȳ', 'y'), 'й', 'и'), 'ѐ', 'е')
    , 'ё', 'е'), 'ѓ', 'г'), 'ї', 'і'), 'ќ', 'к'), 'ѝ', 'и'), 'ў', 'у')) PERSISTENT INVISIBLE,
ADD COLUMN IF NOT EXISTS itemtypefold VARCHAR(200) CHARACTER SET utf8mb4 COLLATE utf8mb4_nopad_bin AS (
  REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(LOWER(itemtype)
    , 'а', 'a'), 'б', 'b'), 'в', 'v'), 'г', 'g'), 'д', 'd'), 'ђ', 'dj'), 'е', 'e'), 'ж', 'z'), 'з', 'z')
    , 'и', 'i'), 'ј', 'j'), 'к', 'k'), 'л', 'l'), 'љ', 'lj'), 'м', 'm'), 'н', 'n'), 'њ', 'nj'), 'о', 'o')
    , 'п', 'p'), 'р', 'r'), 'с', 's'), 'т', 't'), 'ћ', 'c'), 'у', 'u'), 'ф', 'f'), 'х', 'h'), 'ц', 'c')
    , 'ч', 'c'), 'џ', 'dz'), 'ш', 's'), 'č', 'c'), 'ć', 'c'), 'š', 's'), 'ž', 'z'), 'đ', 'dj'), 'ǆ', 'dz')
    , 'ǉ', 'lj'), 'ǌ', 'nj'), 'à', 'a'), 'á', 'a'), 'â', 'a'), 'ã', 'a'), 'ä', 'a'), 'å', 'a'), 'ç', 'c')
    , 'è', 'e'), 'é', 'e'), 'ê', 'e'), 'ë', 'e'), 'ì', 'i'), 'í', 'i'), 'î', 'i'), 'ï', 'i'), 'ñ', 'n')
    , 'ò', 'o'), 'ó', 'o'), 'ô', 'o'), 'õ', 'o'), 'ö', 'o'), 'ù', 'u'), 'ú', 'u'), 'û', 'u'), 'ü', 'u')
    , 'ý', 'y'), 'ÿ', 'y'), 'ā', 'a'), 'ă', 'a'), 'ą', 'a'), 'ĉ', 'c'), 'ċ', 'c'), 'ď', 'd'), 'ē', 'e')
    , 'ĕ', 'e'), 'ė', 'e'), 'ę', 'e'), 'ě', 'e'), 'ĝ', 'g'), 'ğ', 'g'), 'ġ', 'g'), 'ģ', 'g'), 'ĥ', 'h')
    , 'ĩ', 'i'), 'ī', 'i'), 'ĭ', 'i'), 'į', 'i'), 'ĵ', 'j'), 'ķ', 'k'), 'ĺ', 'l'), 'ļ', 'l'), 'ľ', 'l')
    , 'ń', 'n'), 'ņ', 'n'), 'ň', 'n'), 'ō', 'o'), 'ŏ', 'o'), 'ő', 'o'), 'ŕ', 'r'), 'ŗ', 'r'), 'ř', 'r')
    , 'ś', 's'), 'ŝ', 's'), 'ş', 's'), 'ţ', 't'), 'ť', 't'), 'ũ', 'u'), 'ū', 'u'), 'ŭ', 'u'), 'ů', 'u')
    , 'ű', 'u'), 'ų', 'u'), 'ŵ', 'w'), 'ŷ', 'y'), 'ź', 'z'), 'ż', 'z'), 'ơ', 'o'), 'ư', 'u'), 'ǎ', 'a')
    , 'ǐ', 'i'), 'ǒ', 'o'), 'ǔ', 'u'), 'ǖ', 'ü'), 'ǘ', 'ü'), 'ǚ', 'ü'), 'ǜ', 'ü'), 'ǟ', 'ä'), 'ǡ', 'ȧ')
    , 'ǣ', 'æ'), 'ǧ', 'g'), 'ǩ', 'k'), 'ǫ', 'o'), 'ǭ', 'ǫ'), 'ǯ', 'ʒ'), 'ǰ', 'j'), 'ǵ', 'g'), 'ǹ', 'n')
    , 'ǻ', 'å'), 'ǽ', 'æ'), 'ǿ', 'ø'), 'ȁ', 'a'), 'ȃ', 'a'), 'ȅ', 'e'), 'ȇ', 'e'), 'ȉ', 'i'), 'ȋ', 'i')
    , 'ȍ', 'o'), 'ȏ', 'o'), 'ȑ', 'r'), 'ȓ', 'r'), 'ȕ', 'u'), 'ȗ', 'u'), 'ș', 's'), 'ț', 't'), 'ȟ', 'h')
    , 'ȧ', 'a'), 'ȩ', 'e'), 'ȫ', 'ö'), 'ȭ', 'õ'), 'ȯ', 'o'), 'ȱ', 'ȯ'), 'ȳ', 'y'), 'й', 'и'), 'ѐ', 'е')
    , 'ё', 'е'), 'ѓ', 'г'), 'ї', 'і'), 'ќ', 'к'), 'ѝ', 'и'), 'ў', 'у')) PERSISTENT INVISIBLE;
CREATE INDEX IF NOT EXISTS ix_partner_namefold ON partner (namefold);
CREATE INDEX IF NOT EXISTS ix_ledgeritem_ledgernumberfold ON ledgeritem (ledgernumberfold);
CREATE INDEX IF NOT EXISTS ix_ledgeritem_itemnumberfold ON ledgeritem (itemnumberfold);
CREATE INDEX IF NOT EXISTS ix_ledgeritem_itemtypefold ON ledgeritem (itemtypefold);
