#include "FieldType.h"

#include "StoredForm.h"

#include <QLocale>
#include <array>
#include <charconv>
#include <limits>
#include <string_view>
#include <type_traits>

namespace {

// ---- reading texts people type ----

// A date alone as people type it; invalid for anything else.
QDate parseDay(const QString &t)
{
    static const char *formats[] = {"yyyy-MM-dd", "dd.MM.yyyy", "dd.MM.yyyy.", "d.M.yyyy", "d.M.yyyy."};
    for (const char *f : formats) {
        const QDate d = QDate::fromString(t, QString::fromLatin1(f));
        if (d.isValid())
            return d;
    }
    // A two-digit year is this century's, as a clerk means it.
    static const char *shortYears[] = {"dd.MM.yy", "dd.MM.yy.", "d.M.yy", "d.M.yy."};
    for (const char *f : shortYears) {
        const QDate d = QDate::fromString(t, QString::fromLatin1(f));
        if (d.isValid())
            return d.addYears(100);
    }
    return {};
}

// A typed date, then optionally a time (H:mm or H:mm:ss); also the
// databases' and Qt's ISO texts.
QDateTime parseDateTime(const QString &text)
{
    const QString t = text.trimmed();
    const QStringList parts = t.split(u' ', Qt::SkipEmptyParts);
    if (parts.size() == 1 || parts.size() == 2) {
        if (const QDate day = parseDay(parts.first()); day.isValid()) {
            if (parts.size() == 1)
                return QDateTime(day, QTime(0, 0));
            for (const char *f : {"H:mm:ss", "H:mm"}) {
                const QTime time = QTime::fromString(parts.at(1), QString::fromLatin1(f));
                if (time.isValid())
                    return QDateTime(day, time);
            }
            return {};
        }
    }
    return QDateTime::fromString(t, Qt::ISODate);
}

QDate parseDate(const QString &text)
{
    const QString t = text.trimmed();
    if (const QDate d = parseDay(t); d.isValid())
        return d;
    const QDateTime dt = parseDateTime(t);
    return dt.isValid() ? dt.date() : QDate();
}

// ---- reading the databases' own texts, without a QString on the way ----

int digits(const char *p, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        const int d = p[i] - '0';
        if (d < 0 || d > 9)
            return -1;
        v = v * 10 + d;
    }
    return v;
}

// 'yyyy-MM-dd' at p as a Julian day; false for anything else (or a zero date).
bool parseRawDate(const char *p, size_t len, qint64 &day)
{
    if (len < 10 || p[4] != '-' || p[7] != '-')
        return false;
    const QDate d(digits(p, 4), digits(p + 5, 2), digits(p + 8, 2));
    if (!d.isValid())
        return false;
    day = d.toJulianDay();
    return true;
}

// 'yyyy-MM-dd hh:mm:ss' (fractions ignored) as packed seconds.
bool parseRawDateTime(const char *p, size_t len, qint64 &packed)
{
    qint64 day;
    if (!parseRawDate(p, len, day))
        return false;
    int h = 0, mi = 0, s = 0;
    if (len >= 19) {
        h = digits(p + 11, 2);
        mi = digits(p + 14, 2);
        s = digits(p + 17, 2);
        if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59)
            return false;
    }
    packed = day * 86400 + h * 3600 + mi * 60 + s;
    return true;
}

// MySQL's zero date reads as empty.
TRawRead zeroDateOrConvert(const char *p, size_t len)
{
    return len >= 4 && std::string_view(p, 4) == "0000" ? TRawRead::Null : TRawRead::Convert;
}

// ---- shared readings ----

bool isText(const QVariant &value)
{
    return value.typeId() == QMetaType::QString;
}

std::optional<qint64> toLargeInt(const QVariant &value)
{
    return value.toLongLong();
}

bool nonZero(const QVariant &value)
{
    return value.toDouble() != 0;
}

bool never(const QVariant &)
{
    return false;
}

QDateTime textAsDateTime(const QVariant &value)
{
    return parseDateTime(value.toString());
}

QString plainText(const QVariant &value)
{
    return value.toString();
}

// ---- conversions' common outcomes ----

const TConverted kNotOfType{TConvertResult::NotOfType, {}};

// A typed-in text: empty reads as null; one the parser finds no valid value
// in is no value of the type.
template <class Parse>
TConverted fromText(const QString &text, Parse parse)
{
    if (text.trimmed().isEmpty())
        return {};
    const auto v = parse(text);
    return v.isValid() ? TConverted{TConvertResult::Ok, v} : kNotOfType;
}

// ---- whole numbers ----

// A value the column cannot hold is refused, never cut down.
template <class Int>
TConverted convertInt(const QVariant &value, int)
{
    bool ok = true;
    qint64 v = 0;
    if (isText(value)) {
        const QString t = value.toString().trimmed();
        if (t.isEmpty())
            return {};
        v = t.toLongLong(&ok);
    } else if (value.typeId() == QMetaType::Bool) {
        v = value.toBool() ? 1 : 0;
    } else {
        v = value.toLongLong(&ok);
    }
    if (!ok)
        return kNotOfType;
    if constexpr (std::is_same_v<Int, qint64>) {
        return {TConvertResult::Ok, QVariant::fromValue<qint64>(v)};
    } else {
        if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max())
            return kNotOfType;
        return {TConvertResult::Ok, QVariant(int(v))};
    }
}

qint64 packInt(const QVariant &value)
{
    return value.toLongLong();
}

QVariant unpackLargeInt(qint64 stored)
{
    return QVariant::fromValue<qint64>(stored);
}

QVariant unpackInt(qint64 stored)
{
    return QVariant::fromValue<int>(int(stored));
}

// Out of the type's range the value is refused by convert(), never cut down.
template <class Int>
TRawRead readInteger(qint64 value, qint64 &stored)
{
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
        return TRawRead::Convert;
    stored = value;
    return TRawRead::Stored;
}

template <class Int>
TRawRead readRawInt(const char *p, size_t len, qint64 &stored)
{
    qint64 value;
    const auto r = std::from_chars(p, p + len, value);
    return r.ec == std::errc() && r.ptr == p + len ? readInteger<Int>(value, stored) : TRawRead::Convert;
}

// ---- date-times: seconds since the Julian epoch, free of time zones, and
// they sort like the text the databases store ----

TConverted convertDateTime(const QVariant &value, int)
{
    if (value.typeId() == QMetaType::QDateTime) {
        // Whole seconds, as the databases and the row store keep them.
        QDateTime dt = value.toDateTime();
        if (!dt.isValid())
            return {};
        const QTime t = dt.time();
        dt.setTime(QTime(t.hour(), t.minute(), t.second()));
        return {TConvertResult::Ok, dt};
    }
    if (value.typeId() == QMetaType::QDate)
        return {TConvertResult::Ok, QDateTime(value.toDate(), QTime(0, 0))};
    return fromText(value.toString(), parseDateTime);
}

QString dateTimeText(const QVariant &value)
{
    return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

QDateTime dateTimeAsDateTime(const QVariant &value)
{
    return value.toDateTime();
}

qint64 packDateTime(const QVariant &value)
{
    const QDateTime dt = value.toDateTime();
    return dt.date().toJulianDay() * 86400 + dt.time().msecsSinceStartOfDay() / 1000;
}

QVariant unpackDateTime(qint64 stored)
{
    const qint64 day = stored / 86400;
    return QDateTime(QDate::fromJulianDay(day), QTime::fromMSecsSinceStartOfDay(int(stored - day * 86400) * 1000));
}

TRawRead readRawDateTime(const char *p, size_t len, qint64 &stored)
{
    return parseRawDateTime(p, len, stored) ? TRawRead::Stored : zeroDateOrConvert(p, len);
}

// ---- dates: Julian days ----

TConverted convertDate(const QVariant &value, int)
{
    if (value.typeId() == QMetaType::QDate)
        return {TConvertResult::Ok, value.toDate().isValid() ? QVariant(value.toDate()) : QVariant()};
    if (value.typeId() == QMetaType::QDateTime)
        return {TConvertResult::Ok, value.toDateTime().date()};
    return fromText(value.toString(), parseDate);
}

QString dateText(const QVariant &value)
{
    return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
}

QDateTime dateAsDateTime(const QVariant &value)
{
    return QDateTime(value.toDate(), QTime(0, 0));
}

qint64 packDate(const QVariant &value)
{
    return value.toDate().toJulianDay();
}

QVariant unpackDate(qint64 stored)
{
    return QDate::fromJulianDay(stored);
}

TRawRead readRawDate(const char *p, size_t len, qint64 &stored)
{
    return parseRawDate(p, len, stored) ? TRawRead::Stored : zeroDateOrConvert(p, len);
}

// ---- texts ----

// A column's size counts characters: a letter outside the basic plane is
// one, though QString holds it as two units.
qsizetype characterCount(const QString &text)
{
    qsizetype count = text.size();
    for (const QChar c : text)
        count -= c.isLowSurrogate() ? 1 : 0;
    return count;
}

TConverted convertString(const QVariant &value, int size)
{
    // Flags and dates as the database keeps them in text columns.
    switch (value.typeId()) {
    case QMetaType::Bool:
        return {TConvertResult::Ok, StoredFlag(value.toBool())};
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return {TConvertResult::Ok, dt.isValid() ? QVariant(dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) : QVariant()};
    }
    case QMetaType::QDate: {
        const QDate d = value.toDate();
        return {TConvertResult::Ok, d.isValid() ? QVariant(d.toString(QStringLiteral("yyyy-MM-dd"))) : QVariant()};
    }
    default: {
        // Both backends refuse (MariaDB) or keep (SQLite) an overlong text
        // differently; the field refuses it the same way on both.
        const QString text = value.toString();
        if (size > 0 && text.size() > size && characterCount(text) > size)
            return {TConvertResult::TooLong, {}};
        return {TConvertResult::Ok, text};
    }
    }
}

std::optional<qint64> stringAsLargeInt(const QVariant &value)
{
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

bool stringAsBoolean(const QVariant &value)
{
    // 'n' is a non-empty text, yet no flag set.
    return ReadStoredFlag(value.toString()).value_or(false);
}

// ---- flags ----

TConverted convertBoolean(const QVariant &value, int)
{
    if (value.typeId() == QMetaType::Bool)
        return {TConvertResult::Ok, value.toBool()};
    if (isText(value)) {
        if (value.toString().trimmed().isEmpty())
            return {};
        const std::optional<bool> b = ReadStoredFlag(value.toString());
        return b ? TConverted{TConvertResult::Ok, *b} : kNotOfType;
    }
    return {TConvertResult::Ok, value.toLongLong() != 0};
}

QString booleanText(const QVariant &value)
{
    return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
}

bool booleanAsBoolean(const QVariant &value)
{
    return value.toBool();
}

qint64 packBoolean(const QVariant &value)
{
    return value.toBool() ? 1 : 0;
}

QVariant unpackBoolean(qint64 stored)
{
    return stored != 0;
}

// The stored spelling only; anything else goes through the codec.
TRawRead readRawBoolean(const char *p, size_t len, qint64 &stored)
{
    static const char yes = StoredFlag(true).front().toLatin1();
    static const char no = StoredFlag(false).front().toLatin1();
    if (len != 1 || (*p != yes && *p != no))
        return TRawRead::Convert;
    stored = *p == yes;
    return TRawRead::Stored;
}

// ---- floating point ----

TConverted convertFloat(const QVariant &value, int)
{
    bool ok = true;
    const double v = isText(value) ? QLocale::c().toDouble(value.toString().trimmed().replace(u',', u'.'), &ok)
                                   : value.toDouble(&ok);
    return ok ? TConverted{TConvertResult::Ok, v} : kNotOfType;
}

// ---- the table, in the order of TFieldType ----

struct TEntry
{
    TFieldType type;
    TTypeOps ops;
};

// The whole-number types differ only in width.
template <class Int>
constexpr TTypeOps wholeNumber(TStorage storage, QVariant (*unpack)(qint64))
{
    return {.storage = storage, .numeric = true, .convert = convertInt<Int>, .text = plainText,
            .asLargeInt = toLargeInt, .asBoolean = nonZero, .asDateTime = textAsDateTime,
            .pack = packInt, .unpack = unpack, .readRaw = readRawInt<Int>, .readInteger = readInteger<Int>};
}

constexpr std::array<TEntry, 8> kTypes{{
    {TFieldType::Largeint, wholeNumber<qint64>(TStorage::Int64, unpackLargeInt)},
    {TFieldType::Integer, wholeNumber<qint32>(TStorage::Int32, unpackInt)},
    {TFieldType::Smallint, wholeNumber<qint16>(TStorage::Int16, unpackInt)},
    {TFieldType::DateTime,
     {.storage = TStorage::Int64, .numeric = false, .convert = convertDateTime, .text = dateTimeText,
      .asLargeInt = toLargeInt, .asBoolean = never, .asDateTime = dateTimeAsDateTime,
      .pack = packDateTime, .unpack = unpackDateTime, .readRaw = readRawDateTime, .readInteger = nullptr}},
    {TFieldType::Date,
     {.storage = TStorage::Int32, .numeric = false, .convert = convertDate, .text = dateText,
      .asLargeInt = toLargeInt, .asBoolean = never, .asDateTime = dateAsDateTime,
      .pack = packDate, .unpack = unpackDate, .readRaw = readRawDate, .readInteger = nullptr}},
    {TFieldType::String,
     {.storage = TStorage::Text, .numeric = false, .convert = convertString, .text = plainText,
      .asLargeInt = stringAsLargeInt, .asBoolean = stringAsBoolean, .asDateTime = textAsDateTime,
      .pack = nullptr, .unpack = nullptr, .readRaw = nullptr, .readInteger = nullptr}},
    {TFieldType::Boolean,
     {.storage = TStorage::Flag, .numeric = false, .convert = convertBoolean, .text = booleanText,
      .asLargeInt = toLargeInt, .asBoolean = booleanAsBoolean, .asDateTime = textAsDateTime,
      .pack = packBoolean, .unpack = unpackBoolean, .readRaw = readRawBoolean, .readInteger = nullptr}},
    {TFieldType::Float,
     {.storage = TStorage::Double, .numeric = true, .convert = convertFloat, .text = plainText,
      .asLargeInt = toLargeInt, .asBoolean = nonZero, .asDateTime = textAsDateTime,
      .pack = nullptr, .unpack = nullptr, .readRaw = nullptr, .readInteger = nullptr}},
}};

constexpr bool inEnumOrder()
{
    for (size_t i = 0; i < kTypes.size(); ++i)
        if (size_t(kTypes[i].type) != i)
            return false;
    return true;
}
static_assert(inEnumOrder(), "one entry per field type, in the order of TFieldType");
static_assert(kTypes.size() == size_t(TFieldType::Float) + 1, "one entry per field type");

} // namespace

QDate ParseTypedDate(const QString &text)
{
    return parseDate(text);
}

const TTypeOps &TypeOps(TFieldType type)
{
    return kTypes[size_t(type)].ops;
}
