#pragma once
// Where the Latin lj, nj and dž are two letters and not one: the word
// beginnings of SerbianCyrillic.cpp's table, where a prefix meets its stem
// ("injekcija", "nadživeti"). Writing in Cyrillic and the display order
// both ask it, so they split the same words.

#include <QStringView>

// How many characters from i are letters written one by one: the length of
// a table's word beginning starting at i (in any case), or 0.
qsizetype SerbianSeparateLetters(QStringView text, qsizetype i);
