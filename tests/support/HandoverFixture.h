#pragma once
// Helpers of the handover tests: four colleagues, items handed from one to
// another, what another desk does to an item meanwhile, and the stored
// acceptance, record rows and printed text read back.

#include "LedgerFixture.h"
#include "ZConnection.h"

#include <QDate>
#include <QProcess>
#include <QSqlQuery>

namespace handover {

inline TUserDesc user(int id)
{
    static const QMap<int, QStringList> names = {
        {2, {"Marko", "Jovanović"}}, {3, {"Jelena", "Đorđević"}}, {5, {"Ana", "Petrović"}}, {7, {"Milan", "Čubrilo"}}};
    return {id, QStringLiteral("u%1").arg(id), names[id][0], names[id][1]};
}

inline void addUsers(LedgerFixture &fx)
{
    for (int id : {2, 3, 5, 7})
        fx.Insert("user", {{"userid", id}, {"firstname", user(id).FirstName}, {"lastname", user(id).LastName},
                           {"login", user(id).Login}, {"passwordhash", "x"}});
}

// The book without records, closed years or items; a cancelled item stays
// (nothing may delete it), so each test's cancelled one has a number of its own.
inline void clear(LedgerFixture &fx)
{
    // The records only grow for a desk: the administrator empties them.
    const auto admin = fx.Db.OpenAdminConnection();
    for (const char *table : {"closedyear", "handoverrow", "handoverrecord", "handovercounter"})
        admin->ExecSQL(QStringLiteral("DELETE FROM ") + QLatin1String(table));
    fx.Db.Connection().ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE cancelled = 'n'"));
}

// Handed over by one user to another, not yet accepted.
inline qint64 addItem(LedgerFixture &fx, int from, int to, const QString &number, const QString &itemType = "Dopis",
                      int direction = 1)
{
    return fx.AddItem({{"ledgerdatetime", "2026-03-02 09:30:00"}, {"ledgernumber", number}, {"itemtype", itemType},
                       {"itemnumber", "BR-1"}, {"itemdate", "2026-02-27"}, {"inuserid", from}, {"userid", from},
                       {"outuserid", to}, {"direction", direction}});
}

// "y" or "n"; "-" for an item that is gone.
inline QString accepted(LedgerFixture &fx, qint64 id)
{
    const QVariant v = fx.Scalar(QStringLiteral("SELECT accepted FROM ledgeritem WHERE ledgeritemid = ?"), {id});
    return v.isNull() ? QStringLiteral("-") : v.toString();
}

// Every record row in order: "a 1/26 w 1/26".
inline QString recordRows(LedgerFixture &fx)
{
    QStringList rows;
    auto q = fx.Db.Connection().OpenQuery(
        QStringLiteral("SELECT action, ledgernumber FROM handoverrow ORDER BY handoverrowid"));
    while (q->next())
        rows << q->value(0).toString() + u' ' + q->value(1).toString();
    return rows.join(u' ');
}

// What another desk does to item id between the listing and the acceptance.
inline void changeElsewhere(TZConnection &desk, const QString &change, qint64 id)
{
    if (change == QLatin1String("readdress"))
        desk.ExecSQL(QStringLiteral("UPDATE ledgeritem SET outuserid = 2 WHERE ledgeritemid = ?"), {id});
    else if (change == QLatin1String("accept"))
        desk.ExecSQL(QStringLiteral("UPDATE ledgeritem SET accepted = 'y' WHERE ledgeritemid = ?"), {id});
    else if (change == QLatin1String("unaccept"))
        desk.ExecSQL(QStringLiteral("UPDATE ledgeritem SET accepted = 'n' WHERE ledgeritemid = ?"), {id});
    else if (change == QLatin1String("cancel"))
        desk.ExecSQL(QStringLiteral("UPDATE ledgeritem SET cancelled = 'y', cancelreason = 'greška' WHERE ledgeritemid = ?"),
                     {id});
    else if (change == QLatin1String("delete"))
        desk.ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {id});
    else if (change == QLatin1String("close year"))
        desk.ExecSQL(QStringLiteral("INSERT INTO closedyear (year, closedat, userid, username, hostname, figures) "
                                    "VALUES (2026, '2027-01-10 10:00:00', 7, 'Milan Čubrilo', 'DESK-2', '{}')"));
}

inline QString pdfText(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// "Zapisnik 1/26" for a record made this year by the database's clock.
inline QString recordTitle(int number)
{
    return QStringLiteral("Zapisnik %1/%2").arg(number).arg(QDate::currentDate().year() % 100, 2, 10, QLatin1Char('0'));
}

} // namespace handover
