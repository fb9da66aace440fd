#pragma once
// How the database keeps a value, the same on every backend: flags as 'y'
// and 'n', dates as yyyy-MM-dd, date-times as yyyy-MM-dd HH:mm:ss in whole
// seconds, numbers and texts as they are. Binding (the dialects), the field
// types and the module's history all take their forms from here.

#include "KExport.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

KCOMMON_EXPORT QString StoredFlag(bool value);
// Reading also takes 1/0, t/f, true/false and da/ne; nullopt for anything else.
KCOMMON_EXPORT std::optional<bool> ReadStoredFlag(QStringView text);
KCOMMON_EXPORT QString StoredDate(const QDate &date);
KCOMMON_EXPORT QString StoredDateTime(const QDateTime &dateTime);
// The stored texts read back; invalid for any other text.
KCOMMON_EXPORT QDate ReadStoredDate(const QString &text);
KCOMMON_EXPORT QDateTime ReadStoredDateTime(const QString &text);
// A column read from either backend: MariaDB hands dates over typed, SQLite
// as the stored text.
KCOMMON_EXPORT QDate ReadStoredDate(const QVariant &value);
KCOMMON_EXPORT QDateTime ReadStoredDateTime(const QVariant &value);

// A value as a statement binds it: flags as their letter; date-times cut to
// the whole second (MySQL would round 23:59:59.6 into the next day), and
// dates and date-times as their text when the backend keeps them as text.
// Null stays null.
KCOMMON_EXPORT QVariant StoredBindValue(const QVariant &value, bool temporalAsText);

// A value in its stored text whichever type it came as; null stays null.
KCOMMON_EXPORT QVariant StoredText(const QVariant &value);
