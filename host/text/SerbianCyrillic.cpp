#include "SerbianFold.h"
#include "SerbianDigraphs.h"

namespace {

// The Cyrillic letter of each Serbian Latin letter (lower case) written as
// one character; q w x y and other accented letters have none.
char16_t cyrillicOf(char16_t lower)
{
    switch (lower) {
    case u'a': return u'а'; case u'b': return u'б'; case u'c': return u'ц'; case u'č': return u'ч';
    case u'ć': return u'ћ'; case u'd': return u'д'; case u'đ': return u'ђ'; case u'e': return u'е';
    case u'f': return u'ф'; case u'g': return u'г'; case u'h': return u'х'; case u'i': return u'и';
    case u'j': return u'ј'; case u'k': return u'к'; case u'l': return u'л'; case u'm': return u'м';
    case u'n': return u'н'; case u'o': return u'о'; case u'p': return u'п'; case u'r': return u'р';
    case u's': return u'с'; case u'š': return u'ш'; case u't': return u'т'; case u'u': return u'у';
    case u'v': return u'в'; case u'z': return u'з'; case u'ž': return u'ж';
    case u'ǆ': return u'џ'; case u'ǉ': return u'љ'; case u'ǌ': return u'њ'; // the one-character digraphs
    default: return 0;
    }
}

// Word beginnings where the two letters of a digraph belong to a prefix and
// its stem (in-jekcija, kon-junktura, nad-živeti, od-žaliti, pod-žanr) and
// stay two Cyrillic letters. In lower case; the rest of a word is written
// as usual.
const char16_t *const SeparateLetters[] = {
    u"injekc",   // injekcija, injekcioni
    u"injekt",   // injektor, injektirati
    u"konjug",   // konjugacija
    u"konjunk",  // konjunktura, konjunkcija
    u"vanjezi",  // vanjezički
    u"tanjug",   // Tanjug
    u"nadživ",   // nadživeti, nadživljavati
    u"odžal",    // odžaliti
    u"odživ",    // odživeti
    u"podžanr",  // podžanr
    u"podžup",   // podžupan
    u"predžet",  // predžetveni
};

} // namespace

char16_t SerbianDigraph(char16_t first, char16_t second)
{
    if (first == u'l' && second == u'j')
        return u'љ';
    if (first == u'n' && second == u'j')
        return u'њ';
    if (first == u'd' && second == u'ž')
        return u'џ';
    return 0;
}

qsizetype SerbianSeparateLetters(QStringView text, qsizetype i)
{
    if (i >= text.size() || (i > 0 && text[i - 1].isLetter()))
        return 0;
    // Most words start with none of the table's letters: no comparing then.
    const char16_t first = text[i].toLower().unicode();
    for (const char16_t *start : SeparateLetters) {
        if (start[0] != first)
            continue;
        const QStringView prefix(start);
        if (text.mid(i).startsWith(prefix, Qt::CaseInsensitive))
            return prefix.size();
    }
    return 0;
}

QString SerbianToCyrillic(QStringView text)
{
    QString out;
    out.reserve(text.size());
    qsizetype separate = 0; // letters left of a word beginning from the table
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (separate == 0)
            separate = SerbianSeparateLetters(text, i);
        const QChar c = text[i];
        // ǅ, ǈ and ǋ (a capital and a small letter in one) count as capitals.
        const bool upper = c.isUpper() || c.isTitleCase();
        const char16_t lower = c.toLower().unicode();
        char16_t letter = 0;
        if (separate > 0)
            --separate;
        else if (i + 1 < text.size())
            letter = SerbianDigraph(lower, text[i + 1].toLower().unicode());
        if (letter)
            ++i; // "LJ", "Lj" and "lj" alike: the first letter's case counts
        else
            letter = cyrillicOf(lower);
        if (!letter)
            out += c;
        else
            out += upper ? QChar(letter).toUpper() : QChar(letter);
    }
    return out;
}
