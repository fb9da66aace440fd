#include "TextCompare.h"

#include <QCollator>
#include <QLocale>

int CompareText(QStringView a, QStringView b)
{
    // A collator is costly to make and not safe to share between threads.
    thread_local const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Serbian, QLocale::LatinScript, QLocale::Serbia));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true);
        return c;
    }();
    const int c = collator.compare(a, b);
    // Equal under the collation but not the same text: a fixed order all the same.
    return c != 0 ? c : a.compare(b);
}
