#include "ClosedYears.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "ZConnection.h"

#include <QRegularExpression>
#include <QSqlQuery>

namespace {

// The triggers' message; MariaDB's carries the year after it.
const QString kRefusalMarker = QStringLiteral("ledger-closed-year");

std::optional<int> firstClosed(TZConnection &connection, const QList<QDateTime> &dates)
{
    for (const QDateTime &date : dates)
        if (date.isValid() && IsYearClosed(connection, date.date().year()))
            return date.date().year();
    return std::nullopt;
}

} // namespace

QString ClosedYearMessage(int year)
{
    if (year <= 0)
        return UiText(u"Godina je zaključena: stavke te godine se ne mogu menjati, stornirati ni brisati.");
    return UiText(u"Godina %1 je zaključena: stavke te godine se ne mogu menjati, stornirati ni brisati.").arg(year);
}

bool IsYearClosed(TZConnection &connection, int year)
{
    return connection.OpenQuery(QStringLiteral("SELECT year FROM closedyear WHERE year = ?"), {year})->next();
}

QList<int> ClosedYears(TZConnection &connection)
{
    QList<int> years;
    auto q = connection.OpenQuery(QStringLiteral("SELECT year FROM closedyear ORDER BY year"));
    while (q->next())
        years << q->value(0).toInt();
    return years;
}

void CheckYearsOpen(TZConnection &connection, const QList<QDateTime> &dates)
{
    if (const std::optional<int> year = firstClosed(connection, dates))
        throw KException(ClosedYearMessage(*year));
}

std::optional<int> ClosedYearOfItem(TZConnection &connection, qint64 itemID)
{
    auto q = connection.OpenQuery(QStringLiteral("SELECT ledgerdatetime FROM ledgeritem WHERE ledgeritemid = ?"), {itemID});
    if (!q->next() || q->value(0).isNull())
        return std::nullopt;
    // Both backends' stored form begins with the four-digit year.
    bool ok = false;
    const int year = q->value(0).toString().left(4).toInt(&ok);
    if (ok && IsYearClosed(connection, year))
        return year;
    return std::nullopt;
}

void CheckItemYearOpen(TZConnection &connection, qint64 itemID)
{
    if (const std::optional<int> year = ClosedYearOfItem(connection, itemID))
        throw KException(ClosedYearMessage(*year));
}

std::optional<int> ClosedYearRefusal(const EDatabaseError &error)
{
    const QString &text = error.details().contains(kRefusalMarker) ? error.details() : error.message();
    static const QRegularExpression marker(QStringLiteral("ledger-closed-year(?: (\\d{4}))?"));
    const QRegularExpressionMatch match = marker.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).isEmpty() ? 0 : match.captured(1).toInt();
}

void ThrowIfClosedYearRefusal(TZConnection &connection, const EDatabaseError &error, const QList<QDateTime> &dates)
{
    std::optional<int> year = ClosedYearRefusal(error);
    if (!year)
        return;
    if (*year == 0)
        year = firstClosed(connection, dates).value_or(0);
    throw KException(ClosedYearMessage(*year));
}
