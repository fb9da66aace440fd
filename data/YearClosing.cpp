#include "YearClosing.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "KInterfaces.h"
#include "ZConnection.h"
#include "ZTransaction.h"
#include "data/ReportText.h"

#include <QSqlQuery>

namespace {

QVariantList actorValues(const THistoryActor &actor)
{
    return {actor.UserID, actor.UserName.isEmpty() ? QStringLiteral("?") : actor.UserName,
            actor.HostName.isEmpty() ? QStringLiteral("?") : actor.HostName};
}

void logEvent(TZConnection &connection, int year, QChar kind, const QString &now, const THistoryActor &actor,
              const QVariant &reason, const QVariant &figures)
{
    QVariantList values{year, QString(kind), now};
    values << actorValues(actor) << reason << figures;
    connection.ExecSQL(QStringLiteral("INSERT INTO yearclosing (year, kind, eventat, userid, username, hostname, "
                                      "reason, figures) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                       values);
}

// MariaDB: waits for the writes of the year's items still in flight, which
// the triggers let in before the closing row existed, so the figures see them.
void awaitWritesInFlight(TZConnection &connection, int year)
{
    if (connection.Backend() != TBackend::MySQL)
        return; // SQLite: the closing's transaction holds the only write lock
    connection.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE ledgerdatetime >= ? "
                                        "AND ledgerdatetime <= ? LOCK IN SHARE MODE"),
                         {TZConnection::DayStart(TZConnection::DateText(QDate(year, 1, 1))),
                          TZConnection::DayEnd(TZConnection::DateText(QDate(year, 12, 31)))})
        ->next();
}

} // namespace

void CheckYearClosingAllowed(const TUserDesc &user)
{
    if (!user.Administrator)
        throw KException(UiText(u"Zaključenje delovodnika i ponovno otvaranje godine može da radi samo "
                                        u"administrator."));
}

TCloseOutcome CloseYear(TZConnection &connection, int year, const THistoryActor &actor, TClosingFigures *figures)
{
    CheckLedgerYear(year);
    TZTransaction transaction(connection);
    const QString now = TZConnection::DateTimeText(QDateTime::currentDateTime());
    QVariantList values{year, now};
    values << actorValues(actor);
    try {
        connection.ExecSQL(QStringLiteral("INSERT INTO closedyear (year, closedat, userid, username, hostname, figures) "
                                          "VALUES (?, ?, ?, ?, ?, '')"),
                           values);
    } catch (const EDatabaseError &e) {
        if (IsUniqueViolation(e))
            return TCloseOutcome::AlreadyClosed;
        throw;
    }
    awaitWritesInFlight(connection, year);
    const TClosingFigures read = ReadClosingFigures(connection, year);
    const QString json = QString::fromUtf8(ClosingFiguresJson(read));
    connection.ExecSQL(QStringLiteral("UPDATE closedyear SET figures = ? WHERE year = ?"), {json, year});
    logEvent(connection, year, u'c', now, actor, QVariant(), json);
    transaction.Commit();
    if (figures)
        *figures = read;
    return TCloseOutcome::Closed;
}

void ReopenYear(TZConnection &connection, int year, const QString &reason, const THistoryActor &actor)
{
    CheckLedgerYear(year);
    if (reason.trimmed().isEmpty())
        throw KException(UiText(u"Upišite razlog zbog kog se godina %1 ponovo otvara.").arg(year));
    TZTransaction transaction(connection);
    if (!transaction.LockRow(QStringLiteral("closedyear"), QStringLiteral("year"), year))
        throw KException(UiText(u"Godina %1 nije zaključena.").arg(year));
    connection.ExecSQL(QStringLiteral("DELETE FROM closedyear WHERE year = ?"), {year});
    logEvent(connection, year, u'r', TZConnection::DateTimeText(QDateTime::currentDateTime()), actor,
             reason.trimmed(), QVariant());
    transaction.Commit();
}

std::optional<TClosedYear> ClosedYearRecord(TZConnection &connection, int year)
{
    auto q = connection.OpenQuery(
        QStringLiteral("SELECT closedat, username, hostname, figures FROM closedyear WHERE year = ?"), {year});
    if (!q->next())
        return std::nullopt;
    TClosedYear closed;
    closed.Year = year;
    closed.ClosedAt = StoredDateTime(q->value(0));
    closed.UserName = q->value(1).toString();
    closed.HostName = q->value(2).toString();
    closed.Figures = ClosingFiguresFromJson(q->value(3).toString().toUtf8());
    return closed;
}

QList<TYearClosingEvent> YearClosingLog(TZConnection &connection, int year)
{
    QList<TYearClosingEvent> events;
    auto q = connection.OpenQuery(QStringLiteral("SELECT kind, eventat, username, hostname, reason FROM yearclosing "
                                                 "WHERE year = ? ORDER BY yearclosingid"),
                                  {year});
    while (q->next()) {
        TYearClosingEvent e;
        e.Year = year;
        e.Reopened = q->value(0).toString() == QLatin1String("r");
        e.At = StoredDateTime(q->value(1));
        e.UserName = q->value(2).toString();
        e.HostName = q->value(3).toString();
        e.Reason = q->value(4).toString();
        events << e;
    }
    return events;
}
