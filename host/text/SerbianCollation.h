#pragma once
// The Serbian Latin order of texts, the same on every backend and in memory.
// MariaDB's utf8mb4_croatian_ci agrees on the letters below, but sorts dž, lj
// and nj as letters of their own (its LIKE still matches them letter by letter).
//
// Letters: A B C Č Ć D Đ E F G H I J K L M N O P Q R S Š T U V W X Y Z Ž.
// The digraphs dž, lj and nj are NOT contracted: they sort letter by letter
// (so "nj" comes between "ni" and "nk"), which keeps a typed prefix matching
// exactly the letters typed. The one-character digraphs (U+01C4..U+01CC)
// count as their first letter.
//
// Three levels, each compared over the whole text before the next:
//  1. the letter, without regard to case: š = Š. Other Latin letters with
//     accents count as their base letter (é = e). Spaces and punctuation come
//     first (by code point), then digits (by value), then the Latin letters
//     above, then Cyrillic in the order of the azbuka (А Б В Г Д Ђ Е Ж З И
//     Ј К Л Љ М Н Њ О П Р С Т Ћ У Ф Х Ц Ч Џ Ш, then Щ Ъ Ы Ь Э Ю Я), then the
//     letters of other scripts (by their lower case form).
//     A shorter text that is a prefix of a longer one comes first.
//  2. case: lower case before upper case, at the first place they differ.
//  3. the characters themselves: the plain form of a letter (the one the
//     first level names, e.g. e for é and E) first, then by code point.
// Texts are equal only when identical, so this is a total order.
//
// U+10FFFF is no character of the order: it sorts after every character and
// closes the upper bound of a prefix range.

#include "KExport.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <string_view>

// The name the SQLite connections register the order under.
inline constexpr char SerbianCollationName[] = "SRLATN";

// How a run of digits sorts. Digit by digit is the order of the database:
// every text starting with "1" lies in one range, so a typed prefix is an
// index range. As numbers is the order a person reads in a list: "9/26"
// before "10/26", "007" just after "7" (leading zeros break a tie only).
enum class TSerbianDigits { Digits, Numbers };

// Negative, zero or positive as a sorts before, with or after b.
KCOMMON_EXPORT int SerbianCompare(QStringView a, QStringView b, TSerbianDigits digits = TSerbianDigits::Digits);
// The same order over UTF-8 text, as SQLite and the row store keep it; a
// byte that starts no valid sequence counts as the Latin-1 character it names.
KCOMMON_EXPORT int SerbianCompareUtf8(std::string_view a, std::string_view b,
                                      TSerbianDigits digits = TSerbianDigits::Digits);

// A key whose byte order (memcmp, shorter first on a common prefix) is the
// order above with the same digits rule: computed once per distinct text,
// it sorts many rows cheaply.
KCOMMON_EXPORT QByteArray SerbianSortKey(QStringView text, TSerbianDigits digits = TSerbianDigits::Digits);
// The same key of UTF-8 text, appended to out.
KCOMMON_EXPORT void AppendSerbianSortKeyUtf8(std::string_view text, TSerbianDigits digits, QByteArray &out);

// The bounds of the texts that start with the letters of typed (at the first
// level): low <= text < high. low is typed written in the plain lower case
// letters of the order, the first text that starts so; high is low followed
// by U+10FFFF.
KCOMMON_EXPORT QString SerbianPrefixLow(QStringView typed);
KCOMMON_EXPORT QString SerbianPrefixHigh(QStringView typed);
