#pragma once
// How the data sets order texts: by the language's alphabet, ignoring case,
// with runs of digits compared as numbers ("9/26" before "10/26"). The one
// place to change when the office's collation changes.

#include "KExport.h"

#include <QStringView>

// Negative, zero or positive, as a < b, a == b, a > b.
KCOMMON_EXPORT int CompareText(QStringView a, QStringView b);
