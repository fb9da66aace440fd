#include "Field.h"

#include "DataSet.h"
#include "KException.h"

#include <QLocale>
#include <limits>

namespace {

QDateTime parseDateTime(const QString &text)
{
    const QString t = text.trimmed();
    static const char *formats[] = {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm",
                                    "dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy. HH:mm:ss", "dd.MM.yyyy HH:mm",
                                    "d.M.yyyy HH:mm:ss", "d.M.yyyy H:mm", "yyyy-MM-dd", "dd.MM.yyyy", "d.M.yyyy"};
    for (const char *f : formats) {
        const QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(f));
        if (dt.isValid())
            return dt;
    }
    const QDateTime iso = QDateTime::fromString(t, Qt::ISODate);
    return iso;
}

QDate parseDate(const QString &text)
{
    const QString t = text.trimmed();
    static const char *formats[] = {"yyyy-MM-dd", "dd.MM.yyyy", "dd.MM.yyyy.", "d.M.yyyy", "d.M.yyyy."};
    for (const char *f : formats) {
        const QDate d = QDate::fromString(t, QString::fromLatin1(f));
        if (d.isValid())
            return d;
    }
    const QDateTime dt = parseDateTime(t);
    return dt.isValid() ? dt.date() : QDate();
}

} // namespace

std::optional<bool> TField::DecodeFlag(QStringView text)
{
    const QString t = text.trimmed().toString().toLower();
    if (t == QLatin1String("y") || t == QLatin1String("1") || t == QLatin1String("t") || t == QLatin1String("true") || t == QLatin1String("da"))
        return true;
    if (t == QLatin1String("n") || t == QLatin1String("0") || t == QLatin1String("f") || t == QLatin1String("false") || t == QLatin1String("ne"))
        return false;
    return std::nullopt;
}

TField::TField(TDataSet &dataSet, QString fieldName, TFieldType type, int size)
    : m_dataSet(dataSet), m_fieldName(std::move(fieldName)), m_type(type), m_size(size)
{
}

QVariant TField::Value() const
{
    return m_dataSet.FieldValue(*this);
}

void TField::SetValue(const QVariant &value)
{
    m_dataSet.SetFieldValue(*this, Convert(value));
}

QVariant TField::Convert(const QVariant &value) const
{
    if (value.isNull() || !value.isValid())
        return {};
    const auto fail = [&] {
        throw EDatabaseError(QStringLiteral("'%1' nije ispravna vrednost za polje '%2'.")
                                 .arg(value.toString(), DisplayLabel()));
    };
    bool ok = true;
    switch (m_type) {
    case TFieldType::Largeint:
    case TFieldType::Integer:
    case TFieldType::Smallint: {
        qint64 v = 0;
        if (value.typeId() == QMetaType::QString) {
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
            fail();
        if (m_type == TFieldType::Largeint)
            return QVariant::fromValue<qint64>(v);
        // A value the column cannot hold is refused, never cut down.
        const bool small = m_type == TFieldType::Smallint;
        const qint64 lo = small ? std::numeric_limits<qint16>::min() : std::numeric_limits<qint32>::min();
        const qint64 hi = small ? std::numeric_limits<qint16>::max() : std::numeric_limits<qint32>::max();
        if (v < lo || v > hi)
            fail();
        return QVariant(int(v));
    }
    case TFieldType::Float: {
        const double v = value.typeId() == QMetaType::QString
            ? QLocale::c().toDouble(value.toString().trimmed().replace(u',', u'.'), &ok)
            : value.toDouble(&ok);
        if (!ok)
            fail();
        return v;
    }
    case TFieldType::Boolean: {
        if (value.typeId() == QMetaType::Bool)
            return value.toBool();
        if (value.typeId() == QMetaType::QString) {
            if (value.toString().trimmed().isEmpty())
                return {};
            const std::optional<bool> b = DecodeFlag(value.toString());
            if (!b)
                fail();
            return *b;
        }
        return value.toLongLong() != 0;
    }
    case TFieldType::DateTime: {
        if (value.typeId() == QMetaType::QDateTime) {
            // Whole seconds, as the databases and the row store keep them.
            QDateTime dt = value.toDateTime();
            if (!dt.isValid())
                return {};
            const QTime t = dt.time();
            dt.setTime(QTime(t.hour(), t.minute(), t.second()));
            return dt;
        }
        if (value.typeId() == QMetaType::QDate)
            return QDateTime(value.toDate(), QTime(0, 0));
        const QString t = value.toString();
        if (t.trimmed().isEmpty())
            return {};
        const QDateTime dt = parseDateTime(t);
        if (!dt.isValid())
            fail();
        return dt;
    }
    case TFieldType::Date: {
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().isValid() ? QVariant(value.toDate()) : QVariant();
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().date();
        const QString t = value.toString();
        if (t.trimmed().isEmpty())
            return {};
        const QDate d = parseDate(t);
        if (!d.isValid())
            fail();
        return d;
    }
    case TFieldType::String:
        // Flags and dates as the database keeps them in text columns.
        switch (value.typeId()) {
        case QMetaType::Bool:
            return EncodeFlag(value.toBool());
        case QMetaType::QDateTime:
            return value.toDateTime().isValid() ? QVariant(value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) : QVariant();
        case QMetaType::QDate:
            return value.toDate().isValid() ? QVariant(value.toDate().toString(QStringLiteral("yyyy-MM-dd"))) : QVariant();
        default: {
            // Both backends refuse (MariaDB) or keep (SQLite) an overlong
            // text differently; the field refuses it the same way on both.
            const QString text = value.toString();
            if (m_size > 0 && text.size() > m_size)
                throw EDatabaseError(QStringLiteral("Tekst u polju '%1' je duži od %2 znakova.")
                                         .arg(DisplayLabel())
                                         .arg(m_size));
            return text;
        }
        }
    }
    return value;
}

qint64 TField::AsLargeInt() const
{
    const QVariant v = Value();
    if (m_type == TFieldType::String) {
        const QString text = v.toString().trimmed();
        if (text.isEmpty())
            return 0;
        bool ok = false;
        const qint64 n = text.toLongLong(&ok);
        if (!ok)
            throw EDatabaseError(QStringLiteral("'%1' u polju '%2' nije ceo broj.").arg(text, DisplayLabel()));
        return n;
    }
    return v.isNull() ? 0 : v.toLongLong();
}

int TField::AsInteger() const
{
    return int(AsLargeInt());
}

QString TField::AsString() const
{
    return DefaultText(Value());
}

bool TField::AsBoolean() const
{
    const QVariant v = Value();
    if (v.isNull())
        return false;
    switch (m_type) {
    case TFieldType::Boolean:
        return v.toBool();
    case TFieldType::String: {
        // 'n' is a non-empty text, yet no flag set.
        return DecodeFlag(v.toString()).value_or(false);
    }
    case TFieldType::Date:
    case TFieldType::DateTime:
        return false;
    default:
        return v.toDouble() != 0;
    }
}

QDateTime TField::AsDateTime() const
{
    const QVariant v = Value();
    if (v.isNull())
        return {};
    if (m_type == TFieldType::Date)
        return QDateTime(v.toDate(), QTime(0, 0));
    if (m_type == TFieldType::DateTime)
        return v.toDateTime();
    return parseDateTime(v.toString());
}

double TField::AsFloat() const
{
    return Value().toDouble();
}

void TField::SetAsString(const QString &v)
{
    SetValue(v);
}

QString TField::DefaultText(const QVariant &value) const
{
    if (value.isNull())
        return {};
    switch (m_type) {
    case TFieldType::DateTime:
        return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    case TFieldType::Date:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case TFieldType::Boolean:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return value.toString();
    }
}

QString TField::getText(bool display) const
{
    QString text;
    if (OnGetText)
        OnGetText(const_cast<TField &>(*this), text, display);
    else
        text = DefaultText(Value());
    return text;
}

QString TField::DisplayText() const
{
    return getText(true);
}

QString TField::Text() const
{
    return getText(false);
}

void TField::SetText(const QString &text)
{
    if (OnSetText)
        OnSetText(*this, text);
    else
        SetValue(text);
}
