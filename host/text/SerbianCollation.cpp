#include "SerbianCollation.h"

#include <QList>
#include <QVarLengthArray>

#include <array>
#include <algorithm>

namespace {

constexpr char32_t kAfterAll = 0x10FFFF;

// Groups of the first level, in their order; the low bits order within one.
constexpr quint32 kOther = 0x010000;   // spaces, punctuation, symbols
constexpr quint32 kDigit = 0x200000;   // by value
constexpr quint32 kLatin = 0x300000;   // the alphabet's place
constexpr quint32 kCyrillic = 0x380000; // the azbuka's place, then Russian letters
constexpr quint32 kLetter = 0x400000;  // other scripts
constexpr quint32 kLast = 0xFFFFFF;

constexpr std::u16string_view kAlphabet = u"abcčćdđefghijklmnopqrsštuvwxyzž";
constexpr std::u16string_view kAzbuka = u"абвгдђежзијклљмнњопрстћуфхцчџшщъыьэюя";

struct Element
{
    quint32 Primary;
    quint8 Upper;   // second level: 0 lower case or none, 1 upper or title case
    quint32 Third;  // 0 for the plain form, else code point + 1
    char32_t Plain; // the plain form: lowest of the texts with this primary
};

// The first level of a letter of either alphabet, or 0.
quint32 alphabetWeight(char32_t lower)
{
    if (lower >= 0x10000)
        return 0;
    if (const size_t at = kAlphabet.find(char16_t(lower)); at != std::u16string_view::npos)
        return kLatin + quint32(at) + 1;
    if (const size_t at = kAzbuka.find(char16_t(lower)); at != std::u16string_view::npos)
        return kCyrillic + quint32(at) + 1;
    return 0;
}

Element computeElement(char32_t cp)
{
    if (cp == kAfterAll)
        return {kLast, 0, 0, cp};
    const char32_t lower = QChar::toLower(cp);
    Element e{0, quint8(lower != cp), 0, lower};
    if (cp >= 0x1C4 && cp <= 0x1CC) { // DŽ Dž dž LJ Lj lj NJ Nj nj
        e.Plain = U"dln"[(cp - 0x1C4) / 3];
        e.Upper = (cp - 0x1C4) % 3 != 2;
    }
    // é counts as e, ṧ as š; č stays č (it is a letter of its own).
    char32_t base = e.Plain;
    while (!alphabetWeight(base) && QChar::decompositionTag(base) == QChar::Canonical) {
        const QList<uint> parts = QChar::decomposition(base).toUcs4();
        if (parts.isEmpty())
            break;
        base = QChar::toLower(parts.first());
    }
    if (const quint32 weight = alphabetWeight(base)) {
        e.Primary = weight;
        e.Plain = base;
    } else if (QChar::category(cp) == QChar::Number_DecimalDigit) {
        e.Primary = kDigit + quint32(QChar::digitValue(cp));
        e.Plain = U'0' + char32_t(QChar::digitValue(cp));
    } else {
        e.Primary = (QChar::isLetter(lower) ? kLetter : kOther) + quint32(lower);
    }
    e.Third = cp == e.Plain ? 0 : quint32(cp) + 1;
    return e;
}

Element elementOf(char32_t cp)
{
    // Latin-1 and the Latin extensions hold nearly every character of a book.
    static const auto table = [] {
        std::array<Element, 0x250> t{};
        for (char32_t c = 0; c < t.size(); ++c)
            t[c] = computeElement(c);
        return t;
    }();
    return cp < table.size() ? table[cp] : computeElement(cp);
}

// Code points of a text; a broken sequence gives its units one by one.
struct Utf16Reader
{
    const char16_t *P, *End;
    bool Next(char32_t &cp)
    {
        if (P == End)
            return false;
        cp = *P++;
        if (QChar::isHighSurrogate(cp) && P != End && QChar::isLowSurrogate(*P))
            cp = QChar::surrogateToUcs4(char16_t(cp), *P++);
        return true;
    }
};

struct Utf8Reader
{
    const unsigned char *P, *End;
    bool Next(char32_t &cp)
    {
        if (P == End)
            return false;
        const unsigned char lead = *P++;
        const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        cp = more ? lead & (0x3F >> more) : lead;
        const unsigned char *at = P;
        for (int i = 0; i < more; ++i, ++at) {
            if (at == End || (*at & 0xC0) != 0x80) {
                cp = lead;
                return true;
            }
            cp = cp << 6 | (*at & 0x3F);
        }
        P = at;
        return true;
    }
};

bool isDigit(const Element &e)
{
    return e.Primary >= kDigit && e.Primary < kDigit + 10;
}

// A run of digits starting with first; the reader is left after it. Runs
// are short (numbers of a register), so they stay off the heap.
using DigitRun = QVarLengthArray<char32_t, 24>;

template <class Reader>
void digitRun(Reader &r, char32_t first, DigitRun &run)
{
    run.clear();
    run.append(first);
    for (Reader next = r;;) {
        char32_t cp;
        if (!next.Next(cp) || !isDigit(elementOf(cp)))
            return;
        run.append(cp);
        r = next;
    }
}

// Two runs of digits by the numbers they write; leading zeros and the
// digits' script only break a tie, at the third level.
int compareNumbers(const DigitRun &a, const DigitRun &b, int &third)
{
    const auto significant = [](const DigitRun &run) {
        qsizetype at = 0;
        while (at + 1 < run.size() && elementOf(run[at]).Primary == kDigit)
            ++at;
        return at;
    };
    const qsizetype fromA = significant(a), fromB = significant(b);
    const qsizetype lengthA = a.size() - fromA, lengthB = b.size() - fromB;
    if (lengthA != lengthB)
        return lengthA < lengthB ? -1 : 1;
    for (qsizetype i = 0; i < lengthA; ++i) {
        const quint32 dx = elementOf(a[fromA + i]).Primary, dy = elementOf(b[fromB + i]).Primary;
        if (dx != dy)
            return dx < dy ? -1 : 1;
    }
    if (!third && !std::equal(a.begin(), a.end(), b.begin(), b.end())) {
        if (a.size() != b.size())
            third = a.size() < b.size() ? -1 : 1;
        else
            third = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end()) ? -1 : 1;
    }
    return 0;
}

template <class Reader>
int compareTexts(Reader a, Reader b, TSerbianDigits digits)
{
    int second = 0, third = 0;
    char32_t x, y;
    for (;;) {
        const bool moreA = a.Next(x), moreB = b.Next(y);
        if (!moreA || !moreB)
            return moreA == moreB ? (second ? second : third) : (moreA ? 1 : -1);
        const Element ex = elementOf(x), ey = elementOf(y);
        if (digits == TSerbianDigits::Numbers && isDigit(ex) && isDigit(ey)) {
            DigitRun runA, runB;
            digitRun(a, x, runA);
            digitRun(b, y, runB);
            if (const int c = compareNumbers(runA, runB, third))
                return c;
            continue;
        }
        if (ex.Primary != ey.Primary)
            return ex.Primary < ey.Primary ? -1 : 1;
        if (!second && ex.Upper != ey.Upper)
            second = ex.Upper < ey.Upper ? -1 : 1;
        if (!third && ex.Third != ey.Third)
            third = ex.Third < ey.Third ? -1 : 1;
    }
}

// UTF-8's form of a number: its byte order is the order of the numbers.
void appendOrdered(QByteArray &out, quint32 v)
{
    if (v < 0x80) {
        out.append(char(v));
    } else if (v < 0x800) {
        out.append(char(0xC0 | v >> 6)).append(char(0x80 | (v & 0x3F)));
    } else if (v < 0x10000) {
        out.append(char(0xE0 | v >> 12)).append(char(0x80 | (v >> 6 & 0x3F))).append(char(0x80 | (v & 0x3F)));
    } else {
        out.append(char(0xF0 | v >> 18)).append(char(0x80 | (v >> 12 & 0x3F)));
        out.append(char(0x80 | (v >> 6 & 0x3F))).append(char(0x80 | (v & 0x3F)));
    }
}

Utf16Reader reader(QStringView text)
{
    const auto *p = reinterpret_cast<const char16_t *>(text.utf16());
    return {p, p + text.size()};
}

} // namespace

int SerbianCompare(QStringView a, QStringView b, TSerbianDigits digits)
{
    return compareTexts(reader(a), reader(b), digits);
}

int SerbianCompareUtf8(std::string_view a, std::string_view b, TSerbianDigits digits)
{
    const auto *pa = reinterpret_cast<const unsigned char *>(a.data());
    const auto *pb = reinterpret_cast<const unsigned char *>(b.data());
    return compareTexts(Utf8Reader{pa, pa + a.size()}, Utf8Reader{pb, pb + b.size()}, digits);
}

namespace {

// First level, three bytes an element and three zero bytes after; then the
// second and the third level, of equal length in texts equal so far. As
// numbers, a run of digits is one element: its group's byte, the count of
// its significant digits in two bytes and those digits; its leading zeros
// and script go to the third level as the run's length and characters.
template <class Reader>
void appendSortKey(Reader r, TSerbianDigits digits, QByteArray &out)
{
    QByteArray second, third;
    const auto primary = [&out](quint32 weight) {
        out.append(char(weight >> 16)).append(char(weight >> 8 & 0xFF)).append(char(weight & 0xFF));
    };
    for (char32_t cp; r.Next(cp);) {
        const Element e = elementOf(cp);
        if (digits == TSerbianDigits::Numbers && isDigit(e)) {
            DigitRun run;
            digitRun(r, cp, run);
            qsizetype from = 0;
            while (from + 1 < run.size() && elementOf(run[from]).Primary == kDigit)
                ++from;
            const qsizetype length = std::min<qsizetype>(run.size() - from, 0xFFFF);
            out.append(char(kDigit >> 16)).append(char(length >> 8)).append(char(length & 0xFF));
            for (qsizetype i = 0; i < length; ++i)
                out.append(char(0x30 + (elementOf(run[from + i]).Primary - kDigit)));
            appendOrdered(third, quint32(std::min<qsizetype>(run.size(), 0xFFFF)));
            for (char32_t c : run)
                appendOrdered(third, quint32(c));
            continue;
        }
        primary(e.Primary);
        second.append(char(e.Upper));
        appendOrdered(third, e.Third);
    }
    out.append(3, '\0');
    out.append(second).append(third);
}

} // namespace

QByteArray SerbianSortKey(QStringView text, TSerbianDigits digits)
{
    QByteArray key;
    key.reserve(text.size() * 5 + 3);
    appendSortKey(reader(text), digits, key);
    return key;
}

void AppendSerbianSortKeyUtf8(std::string_view text, TSerbianDigits digits, QByteArray &out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    appendSortKey(Utf8Reader{p, p + text.size()}, digits, out);
}

QString SerbianPrefixLow(QStringView typed)
{
    QString low;
    low.reserve(typed.size());
    Utf16Reader r = reader(typed);
    for (char32_t cp; r.Next(cp);) {
        const char32_t plain = elementOf(cp).Plain;
        if (QChar::requiresSurrogates(plain))
            low.append(QChar(QChar::highSurrogate(plain))).append(QChar(QChar::lowSurrogate(plain)));
        else
            low.append(QChar(char16_t(plain)));
    }
    return low;
}

QString SerbianPrefixHigh(QStringView typed)
{
    return SerbianPrefixLow(typed) + QChar(QChar::highSurrogate(kAfterAll)) + QChar(QChar::lowSurrogate(kAfterAll));
}
