#pragma once
// Serbian text as a clerk types it: in either script, in any case, with or
// without diacritics (keyboards without a Serbian layout give "Cacak" for
// "Čačak" and "Djordje" for "Đorđe").
//
// SerbianToLatin writes Cyrillic in Latin letters, exactly and keeping case:
// "Љубав" → "Ljubav", "ЉУБАВ" → "LJUBAV", "Ђорђе" → "Đorđe". Everything
// else is kept as it is.
//
// SerbianToCyrillic writes Serbian Latin in Cyrillic, keeping case: lj, nj
// and dž become one letter each ("LJubav", "Ljubav", "LJUBAV" → "Љубав",
// "Љубав", "ЉУБАВ"), except at the word beginnings where a prefix meets its
// stem ("injekcija" → "инјекција", "nadživeti" → "надживети"; the table is in
// SerbianCyrillic.cpp). Letters Serbian has not (q w x y, other accents),
// digits, punctuation and Cyrillic are kept as they are. Cyrillic written
// back in Latin is the text again, apart from the case of a digraph.
//
// SerbianFold gives the one form under which every spelling of a text is
// found: Latin script, lower case, no diacritics. "Čačak", "ČAČAK", "cacak"
// and "Чачак" fold to "cacak"; "Đorđe", "Djordje", "DJORDJE" and "Ђорђе" to
// "djordje". č and ć become c, š s, ž z, đ dj (dž so dz); other accented
// Latin letters lose their accent (é → e); digits, spaces and punctuation
// stay. A folded text folds to itself.

#include "KExport.h"

#include <QString>
#include <QStringView>

KCOMMON_EXPORT QString SerbianToLatin(QStringView text);
KCOMMON_EXPORT QString SerbianToCyrillic(QStringView text);
KCOMMON_EXPORT QString SerbianFold(QStringView text);
