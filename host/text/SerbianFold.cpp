#include "SerbianFold.h"

namespace {

// The Latin letters of the Serbian Cyrillic ones (lower case), by code point
// from U+0430; empty where Serbian has no such letter (those stay as they are).
const char16_t *const LowerCyrillic[] = {
    u"a", u"b", u"v", u"g", u"d", u"e", u"ž", u"z", u"i", nullptr, u"k", u"l", u"m", u"n", u"o", u"p",  // а..п
    u"r", u"s", u"t", u"u", u"f", u"h", u"c", u"č", u"š", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // р..я
};

// ђ ј љ њ ћ џ, the letters of the U+0450 block Serbian uses.
const char16_t *lowerSerbianExtra(char16_t c)
{
    switch (c) {
    case u'ђ': return u"đ";
    case u'ј': return u"j";
    case u'љ': return u"lj";
    case u'њ': return u"nj";
    case u'ћ': return u"ć";
    case u'џ': return u"dž";
    default: return nullptr;
    }
}

const char16_t *latinOf(char16_t lower)
{
    if (lower >= u'а' && lower <= u'я')
        return LowerCyrillic[lower - u'а'];
    return lowerSerbianExtra(lower);
}

bool isUpperLetter(QStringView text, qsizetype i)
{
    return i < text.size() && text[i].isLetter() && text[i].isUpper();
}

} // namespace

QString SerbianToLatin(QStringView text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t *latin = latinOf(c.toLower().unicode());
        if (!latin) {
            out += c;
            continue;
        }
        QString letters = QString::fromUtf16(latin);
        if (c.isUpper()) {
            // A two-letter sound is all capitals inside a word in capitals
            // ("LJUBAV") and capitalised otherwise ("Ljubav", "Lj").
            const bool allCaps = isUpperLetter(text, i + 1) || (i > 0 && isUpperLetter(text, i - 1));
            letters = letters.size() > 1 && !allCaps ? letters.left(1).toUpper() + letters.mid(1) : letters.toUpper();
        }
        out += letters;
    }
    return out;
}

namespace {

// One lower-case letter (or other character) of the Latin text, folded.
void foldLower(QChar c, QString &out)
{
    switch (c.unicode()) {
    case u'č': case u'ć': out += u'c'; return;
    case u'š': out += u's'; return;
    case u'ž': out += u'z'; return;
    case u'đ': out += QStringLiteral("dj"); return;
    case u'ǆ': out += QStringLiteral("dz"); return; // the one-character digraphs
    case u'ǉ': out += QStringLiteral("lj"); return;
    case u'ǌ': out += QStringLiteral("nj"); return;
    default: break;
    }
    // é, ü, ő and the like: their base letter.
    if (c.decompositionTag() == QChar::Canonical && c.isLetter()) {
        out += c.decomposition().at(0);
        return;
    }
    out += c;
}

} // namespace

// Character by character: case only matters to SerbianToLatin's digraphs,
// and they are lowered here anyway. ASCII, most of any name, takes the short
// way: lists of thousands of names are folded when they open.
QString SerbianFold(QStringView text)
{
    QString out;
    out.reserve(text.size() + 4);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            out += QChar(u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u);
            continue;
        }
        if (const char16_t *latin = latinOf(QChar(u).toLower().unicode())) {
            for (const char16_t *l = latin; *l; ++l)
                foldLower(QChar(*l), out);
            continue;
        }
        // A pair of surrogates, and İ, whose lower case is two characters,
        // are lowered as text.
        const bool pair = QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair || u == 0x0130) {
            for (const QChar c : text.mid(i, pair ? 2 : 1).toString().toLower())
                foldLower(c, out);
            i += pair ? 1 : 0;
            continue;
        }
        foldLower(QChar(u).toLower(), out);
    }
    return out;
}
