#pragma once
// Qt's own texts in Serbian, in the interface's script: standard buttons, the edit context menus,
// key names in shortcuts, the file, progress and print dialogs. Debian ships
// no Serbian Latin translation of Qt, so the texts live in a table here,
// keyed by Qt's context and source text.

#include "KExport.h"

#include <QTranslator>

class QCoreApplication;

class KCOMMON_EXPORT TSerbianQtTexts final : public QTranslator
{
    Q_OBJECT
public:
    using QTranslator::QTranslator;

    // Empty for a text the table does not know: Qt then shows its own.
    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};

// Serbian (Serbia) in the interface's script as the default locale, so
// calendars name months and days in Serbian and start the week on Monday, and
// the table above installed on app for as long as app lives: in the
// Cyrillic script it gives the table's texts and those of our .ui layouts in
// Cyrillic. Call before the first window is made; calling again does not
// install a second translator.
KCOMMON_EXPORT void InstallSerbianTexts(QCoreApplication &app);
// Tells every widget once (QEvent::LanguageChange) that the script changed;
// nothing when InstallSerbianTexts has not run.
KCOMMON_EXPORT void ReinstallSerbianTexts(QCoreApplication &app);
