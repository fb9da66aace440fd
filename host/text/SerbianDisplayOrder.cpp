#include "SerbianDisplayOrder.h"

#include "SerbianDigraphs.h"

#include <QList>
#include <QString>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <numeric>

namespace {

// Groups of the first level, in their order; the low bits order within one.
constexpr quint32 kOther = 0x010000;   // spaces, punctuation, symbols
constexpr quint32 kDigits = 0x200000;  // a run of digits, by its value
constexpr quint32 kLetters = 0x300000; // the alphabet of the script
constexpr quint32 kForeign = 0x400000; // letters of other scripts

// The letters, named by their lower-case Cyrillic form (q w x y by
// themselves), in the order of each script.
constexpr std::u16string_view kLatinOrder = u"абцчћдџђефгхијклљмнњопqрсштувwxyзжщъыьэюя";
constexpr std::u16string_view kCyrillicOrder = u"абвwгдђежзијyкqxлљмнњопрстћуфхцчџшщъыьэюя";

// Latin letters (lower case) and the names of the letters they write.
constexpr std::u16string_view kLatinLetters = u"abcčćdđefghijklmnoprsštuvzžqwxyǆǉǌ";
constexpr std::u16string_view kLatinNames = u"абцчћдђефгхијклмнопрсштувзжqwxyџљњ";

enum TWritten : quint8 { Neither, InLatin, InCyrillic };

struct Element
{
    quint32 Primary[2]; // first level in Latin, in Cyrillic
    quint8 Upper;       // second level
    TWritten Script;    // third level, against the interface's script
    qint8 Digit;        // the value of a digit, else -1
};

// The letter a lower-case character names and the script it is written in.
char16_t letterName(char32_t lower, TWritten &script)
{
    if (lower >= 0x10000)
        return 0;
    if (const size_t at = kLatinLetters.find(char16_t(lower)); at != std::u16string_view::npos) {
        script = InLatin;
        return kLatinNames[at];
    }
    if (lower >= 0x400 && kLatinOrder.find(char16_t(lower)) != std::u16string_view::npos) {
        script = InCyrillic;
        return char16_t(lower);
    }
    return 0;
}

Element letterElement(char16_t name, bool upper, TWritten script)
{
    return {{kLetters + quint32(kLatinOrder.find(name)) + 1, kLetters + quint32(kCyrillicOrder.find(name)) + 1},
            quint8(upper), script, -1};
}

Element computeElement(char32_t cp)
{
    if (QChar::category(cp) == QChar::Number_DecimalDigit)
        return {{kDigits, kDigits}, 0, Neither, qint8(QChar::digitValue(cp))};
    const char32_t lower = QChar::toLower(cp);
    const bool upper = lower != cp;
    // é counts as e, й as и; č stays č (a letter of its own).
    char32_t base = lower;
    TWritten script = Neither;
    char16_t name = letterName(base, script);
    while (!name && QChar::decompositionTag(base) == QChar::Canonical) {
        const QList<uint> parts = QChar::decomposition(base).toUcs4();
        if (parts.isEmpty())
            break;
        base = QChar::toLower(parts.first());
        name = letterName(base, script);
    }
    if (name)
        return letterElement(name, upper, script);
    const quint32 weight = (QChar::isLetter(lower) ? kForeign : kOther) + quint32(lower);
    return {{weight, weight}, quint8(upper), Neither, -1};
}

Element elementOf(char32_t cp)
{
    // Latin-1, the Latin extensions and Cyrillic hold nearly every character of a book.
    static const auto table = [] {
        std::array<Element, 0x500> t{};
        for (char32_t c = 0; c < t.size(); ++c)
            t[c] = computeElement(c);
        return t;
    }();
    return cp < table.size() ? table[cp] : computeElement(cp);
}

// UTF-8's form of a number: its byte order is the order of the numbers.
template <class Bytes>
void appendOrdered(Bytes &out, quint32 v)
{
    if (v < 0x80) {
        out.append(char(v));
    } else if (v < 0x800) {
        out.append(char(0xC0 | v >> 6));
        out.append(char(0x80 | (v & 0x3F)));
    } else if (v < 0x10000) {
        out.append(char(0xE0 | v >> 12));
        out.append(char(0x80 | (v >> 6 & 0x3F)));
        out.append(char(0x80 | (v & 0x3F)));
    } else {
        out.append(char(0xF0 | v >> 18));
        out.append(char(0x80 | (v >> 12 & 0x3F)));
        out.append(char(0x80 | (v >> 6 & 0x3F)));
        out.append(char(0x80 | (v & 0x3F)));
    }
}

char32_t codePointAt(QStringView text, qsizetype i, qsizetype &width)
{
    const char16_t u = text[i].unicode();
    width = 1;
    if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        width = 2;
        return QChar::surrogateToUcs4(u, text[i + 1].unicode());
    }
    return u;
}

// First level, three bytes an element and three zero bytes after (a run of
// digits: its group's byte, the count of its significant digits in two
// bytes, those digits); then case, a byte an element; then the script and
// a digraph's second capital, a byte a letter, and a run's length (its
// leading zeros); then the code points.
void appendKey(QStringView text, TScript script, QByteArray &out)
{
    const int level = script == TScript::Cyrillic ? 1 : 0;
    const TWritten own = script == TScript::Cyrillic ? InCyrillic : InLatin;
    // Gathered on the stack, then appended at once.
    QVarLengthArray<char, 256> first;
    QVarLengthArray<char, 64> second, third;
    const auto primary = [&first](quint32 weight) {
        first.append(char(weight >> 16));
        first.append(char(weight >> 8 & 0xFF));
        first.append(char(weight & 0xFF));
    };
    qsizetype separate = 0; // letters of a word beginning read one by one
    for (qsizetype i = 0, width = 1; i < text.size(); i += width) {
        if (separate == 0)
            separate = SerbianSeparateLetters(text, i);
        const char32_t cp = codePointAt(text, i, width);
        Element e = elementOf(cp);
        if (e.Digit >= 0) {
            QVarLengthArray<qint8, 24> run{e.Digit};
            for (qsizetype next; i + width < text.size(); width += next) {
                const Element d = elementOf(codePointAt(text, i + width, next));
                if (d.Digit < 0)
                    break;
                run.append(d.Digit);
            }
            separate = 0;
            qsizetype from = 0;
            while (from + 1 < run.size() && run[from] == 0)
                ++from;
            const qsizetype length = std::min<qsizetype>(run.size() - from, 0xFFFF);
            first.append(char(kDigits >> 16));
            first.append(char(length >> 8));
            first.append(char(length & 0xFF));
            for (qsizetype d = 0; d < length; ++d)
                first.append(char(0x30 + run[from + d]));
            second.append(0);
            appendOrdered(third, quint32(std::min<qsizetype>(run.size(), 0xFFFF)));
            continue;
        }
        // "LJ" after "Lj": a digraph's second capital counts with the script.
        char secondUpper = 0;
        if (separate > 0) {
            --separate;
        } else if (e.Script == InLatin && i + 1 < text.size()) {
            if (const char16_t name = SerbianDigraph(char16_t(QChar::toLower(cp)), text[i + 1].toLower().unicode())) {
                e = letterElement(name, e.Upper, InLatin);
                secondUpper = char(text[i + 1].isUpper());
                width = 2;
            }
        }
        primary(e.Primary[level]);
        second.append(char(e.Upper));
        third.append(char((e.Script != Neither && e.Script != own ? 2 : 0) + secondUpper));
    }
    first.append("\0\0\0", 3);
    first.append(second.constData(), second.size());
    first.append(third.constData(), third.size());
    for (qsizetype i = 0, width = 1; i < text.size(); i += width)
        appendOrdered(first, quint32(codePointAt(text, i, width)));
    out.append(first.constData(), first.size());
}

} // namespace

QByteArray SerbianDisplayKey(QStringView text, TScript script)
{
    QByteArray key;
    key.reserve(text.size() * 7 + 3);
    appendKey(text, script, key);
    return key;
}

void AppendSerbianDisplayKeyUtf8(std::string_view text, TScript script, QByteArray &out)
{
    // Decoded on the stack: a list's million texts cost no allocation each.
    // A byte that starts no valid sequence counts as the Latin-1 character it names.
    QVarLengthArray<char16_t, 256> utf16;
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = p + text.size();
    while (p != end) {
        const unsigned char lead = *p++;
        const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        char32_t cp = more ? lead & (0x3F >> more) : lead;
        const unsigned char *at = p;
        for (int i = 0; i < more; ++i, ++at) {
            if (at == end || (*at & 0xC0) != 0x80) {
                cp = lead;
                at = p;
                break;
            }
            cp = cp << 6 | (*at & 0x3F);
        }
        p = at;
        if (QChar::requiresSurrogates(cp)) {
            utf16.append(QChar::highSurrogate(cp));
            utf16.append(QChar::lowSurrogate(cp));
        } else {
            utf16.append(char16_t(cp));
        }
    }
    appendKey(QStringView(utf16.constData(), utf16.size()), script, out);
}

int SerbianDisplayCompare(QStringView a, QStringView b, TScript script)
{
    if (a == b)
        return 0;
    return SerbianDisplayKey(a, script).compare(SerbianDisplayKey(b, script)) < 0 ? -1 : 1;
}

void SortForDisplay(QStringList &texts)
{
    const TScript script = InterfaceScript();
    std::vector<std::pair<QByteArray, QString>> keyed;
    keyed.reserve(size_t(texts.size()));
    for (QString &text : texts)
        keyed.emplace_back(SerbianDisplayKey(text, script), std::move(text));
    std::sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 0; i < texts.size(); ++i)
        texts[i] = std::move(keyed[size_t(i)].second);
}

std::vector<qsizetype> DisplayOrderOfRows(const QList<QStringList> &rows)
{
    const TScript script = InterfaceScript();
    std::vector<std::vector<QByteArray>> keys(size_t(rows.size()));
    for (qsizetype r = 0; r < rows.size(); ++r)
        for (const QString &cell : rows[r])
            keys[size_t(r)].push_back(SerbianDisplayKey(cell, script));
    std::vector<qsizetype> order(size_t(rows.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return keys[size_t(a)] < keys[size_t(b)]; });
    return order;
}
