#pragma once
// The field types and one table of what differs between them: how a value
// converts to the type and reads as text, how the row store keeps it, and how
// the loader reads the database's text of it. Adding or changing a type
// touches this table only.

#include "KExport.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <cstddef>
#include <optional>

enum class TFieldType { Largeint, Integer, Smallint, DateTime, Date, String, Boolean, Float };

// What a row store column keeps per row; Text columns take the database's
// text as it is.
enum class TStorage { Int64, Int32, Int16, Flag, Double, Text };

enum class TConvertResult { Ok, NotOfType, TooLong };
// Null: the database's text stands for no value (MySQL's zero date);
// Convert: the text needs convert().
enum class TRawRead { Stored, Null, Convert };

struct TConverted
{
    TConvertResult result = TConvertResult::Ok;
    QVariant value; // when Ok; null for an empty text
};

struct TTypeOps
{
    TStorage storage;
    bool numeric; // aligned right in grids

    // value is neither null nor invalid; size bounds texts (0: unbounded).
    TConverted (*convert)(const QVariant &value, int size);
    // Text of a value without handlers; value is not null.
    QString (*text)(const QVariant &value);
    // Readings of a non-null value as another kind; nullopt where the value
    // is no number.
    std::optional<qint64> (*asLargeInt)(const QVariant &value);
    bool (*asBoolean)(const QVariant &value);
    QDateTime (*asDateTime)(const QVariant &value);

    // Integer storages: a non-null value as the stored integer and back.
    qint64 (*pack)(const QVariant &value);
    QVariant (*unpack)(qint64 stored);
    // The database's text of a value straight into the stored integer;
    // a null pointer for types without such a short cut. A number the
    // type cannot hold needs convert() (which refuses it).
    TRawRead (*readRaw)(const char *text, size_t len, qint64 &stored);
    // The same for an integer the client library hands over as one.
    TRawRead (*readInteger)(qint64 value, qint64 &stored);
};

KCOMMON_EXPORT const TTypeOps &TypeOps(TFieldType type);

// A date as people type it: d.M.yyyy, dd.MM.yyyy, dd.MM.yy (this century),
// yyyy-MM-dd, with or without a closing dot; invalid for anything else.
KCOMMON_EXPORT QDate ParseTypedDate(const QString &text);
