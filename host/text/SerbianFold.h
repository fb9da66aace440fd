#pragma once
// Serbian text as a clerk types it: in either script, in any case, with or
// without diacritics (keyboards without a Serbian layout give "Cacak" for
// "Čačak" and "Djordje" for "Đorđe").
//
// SerbianToLatin writes Cyrillic in Latin letters, exactly and keeping case:
// "Љубав" → "Ljubav", "ЉУБАВ" → "LJUBAV", "Ђорђе" → "Đorđe". Everything
// else is kept as it is.
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
KCOMMON_EXPORT QString SerbianFold(QStringView text);
