#include "ReportText.h"

#include "InterfaceScript.h"
#include "KException.h"

#include <QDateTime>

void CheckLedgerYear(int year)
{
    if (year < 1900 || year > 9999)
        throw KException(UiText(u"Godina %1 nije ispravna: upišite godinu od 1900 do 9999.").arg(year));
}

bool ParseLedgerYear(const QString &text, int &year)
{
    bool number = false;
    year = text.trimmed().toInt(&number);
    return number && year >= 1900 && year <= 9999;
}

QDateTime StoredDateTime(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().startOfDay();
    const QString text = value.toString();
    const QDateTime full = QDateTime::fromString(text.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return full.isValid() ? full : QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")).startOfDay();
}

QString DisplayDate(const QVariant &value)
{
    // SQLite's "yyyy-MM-dd..." is rearranged without parsing: a long book has many.
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text.size() >= 10 && text[4] == u'-' && text[7] == u'-')
            return text.mid(8, 2) + u'.' + text.mid(5, 2) + u'.' + text.left(4);
    }
    const QDateTime when = StoredDateTime(value);
    return when.isValid() ? when.date().toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString JoinFilled(const QStringList &parts, const QString &separator)
{
    QStringList filled;
    for (const QString &part : parts)
        if (!part.trimmed().isEmpty())
            filled << part.trimmed();
    return filled.join(separator);
}
