#include "StoredForm.h"

QString StoredFlag(bool value)
{
    return value ? QStringLiteral("y") : QStringLiteral("n");
}

std::optional<bool> ReadStoredFlag(QStringView text)
{
    const QString t = text.trimmed().toString().toLower();
    if (t == QLatin1String("y") || t == QLatin1String("1") || t == QLatin1String("t") || t == QLatin1String("true") || t == QLatin1String("da"))
        return true;
    if (t == QLatin1String("n") || t == QLatin1String("0") || t == QLatin1String("f") || t == QLatin1String("false") || t == QLatin1String("ne"))
        return false;
    return std::nullopt;
}

QString StoredDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString StoredDateTime(const QDateTime &dateTime)
{
    return dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDate ReadStoredDate(const QString &text)
{
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

QDateTime ReadStoredDateTime(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDate ReadStoredDate(const QVariant &value)
{
    return value.typeId() == QMetaType::QDate ? value.toDate() : ReadStoredDate(value.toString());
}

QDateTime ReadStoredDateTime(const QVariant &value)
{
    return value.typeId() == QMetaType::QDateTime ? value.toDateTime() : ReadStoredDateTime(value.toString());
}

QVariant StoredBindValue(const QVariant &value, bool temporalAsText)
{
    if (value.isNull())
        return value;
    switch (value.typeId()) {
    case QMetaType::QDate:
        return temporalAsText ? QVariant(StoredDate(value.toDate())) : value;
    case QMetaType::QDateTime: {
        if (temporalAsText)
            return StoredDateTime(value.toDateTime());
        QDateTime dt = value.toDateTime();
        if (!dt.isValid())
            return value;
        const QTime t = dt.time();
        dt.setTime(QTime(t.hour(), t.minute(), t.second()));
        return dt;
    }
    case QMetaType::Bool:
        return StoredFlag(value.toBool());
    default:
        return value;
    }
}

QVariant StoredText(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime:
    case QMetaType::QDate:
    case QMetaType::Bool:
        return StoredBindValue(value, true);
    default:
        return value.toString();
    }
}
