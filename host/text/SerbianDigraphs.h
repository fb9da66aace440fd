#pragma once
// Where the Latin lj, nj and dž are two letters and not one: the word
// beginnings of SerbianCyrillic.cpp's table, where a prefix meets its stem
// ("injekcija", "nadživeti"). Writing in Cyrillic and the display order
// both ask it, so they split the same words.

#include <QStringView>

// lj, nj, dž (both letters in lower case): the one Cyrillic letter they
// write together, or 0.
char16_t SerbianDigraph(char16_t first, char16_t second);

// How many characters from i are letters written one by one: the length of
// a table's word beginning starting at i (in any case), or 0.
qsizetype SerbianSeparateLetters(QStringView text, qsizetype i);
