#pragma once
// The order a person reads a sorted list in: the Serbian alphabet of the
// interface's script, one order for texts written in either script.
//
// Latin:    a b c č ć d dž đ e f g h i j k l lj m n nj o p (q) r s š t u v
//           (w x y) z ž
// Cyrillic: а б в г д ђ е ж з и ј к л љ м н њ о п р с т ћ у ф х ц ч џ ш
//
// A text of the other script sorts by its letters read in this one: lj, nj
// and dž are one letter each, apart from the word beginnings where
// SerbianToCyrillic keeps them two ("Njegoš" starts with nj, "nadživeti"
// has d and ž), so "Љиг" sorts as "Ljig" in Latin and "Ljig" as "Љиг" in
// Cyrillic. q, w, x and y have the places above in Latin; in Cyrillic they
// follow the letters Serbian writes them with: w after в, y after ј, q and
// x after к. Other accented letters count as their base letter (é = e);
// Russian letters follow ш (щ ъ ы ь э ю я). Spaces and punctuation come
// first, then numbers (by value: "9/26" before "10/26"), then the letters,
// then letters of other scripts.
//
// Ties, in turn: case (lower first), then the script (the interface's
// first: "Ljig" before "Љиг" in Latin, after it in Cyrillic), then the
// characters themselves. Texts tie only when identical: a total order.
//
// The database keeps its own order (SerbianCollation.h: Latin, letter by
// letter, for prefix ranges); this one is for what the user sees sorted.

#include "InterfaceScript.h"
#include "KExport.h"

#include <QByteArray>
#include <QStringList>
#include <QStringView>
#include <string_view>
#include <vector>

// Negative, zero or positive as a sorts before, with or after b.
KCOMMON_EXPORT int SerbianDisplayCompare(QStringView a, QStringView b, TScript script);
// A key whose byte order (memcmp, shorter first on a common prefix) is the
// order above: computed once per text, it sorts many rows cheaply.
KCOMMON_EXPORT QByteArray SerbianDisplayKey(QStringView text, TScript script);
// The same key of UTF-8 text, appended to out.
KCOMMON_EXPORT void AppendSerbianDisplayKeyUtf8(std::string_view text, TScript script, QByteArray &out);

// Sorts texts in the order of the interface's script of the moment.
KCOMMON_EXPORT void SortForDisplay(QStringList &texts);
// The indexes of rows in that order, by their first cell, then the next;
// rows alike keep their places.
KCOMMON_EXPORT std::vector<qsizetype> DisplayOrderOfRows(const QList<QStringList> &rows);

// Sorts items by the texts (a QString, or a QStringList: the first, then
// the next) that texts(item) gives, in that order; items alike keep their
// places.
template <class T, class Texts>
void SortForDisplayBy(QList<T> &items, Texts texts)
{
    QList<QStringList> rows;
    rows.reserve(items.size());
    for (const T &item : std::as_const(items))
        rows << QStringList(texts(item));
    QList<T> sorted;
    sorted.reserve(items.size());
    for (const qsizetype at : DisplayOrderOfRows(rows))
        sorted << std::move(items[at]);
    items = std::move(sorted);
}

// A "less than" in the order of a script, for std::sort over anything
// holding a text; the script is taken when it is made.
struct TSerbianDisplayLess
{
    TScript Script = InterfaceScript();
    bool operator()(QStringView a, QStringView b) const { return SerbianDisplayCompare(a, b, Script) < 0; }
};
