#pragma once
// A book's history written the way the tests need it: entries of fixed
// times and numbers (then chained, as an upgrade chains them), and the raw
// statements a second SQL client could send, with SQLite's refusals lifted.

#include "HistoryChaining.h"
#include "TestDb.h"
#include "ZConnection.h"

#include <QStringList>

namespace hcr {

// Entry n (1..count): item n, "n/26" at 08.12.2026 10:0n, two columns
// changed by Ana Petrović; written unchained, then chained.
inline void WriteChained(TZConnection &c, int count)
{
    for (int n = 1; n <= count; ++n) {
        c.ExecSQL(QStringLiteral("INSERT INTO ledgerhistory (ledgeritemid, changedat, changekind, userid, username, "
                                 "hostname, ledgernumber) VALUES (?, ?, 'u', 1, 'Ana Petrović', 'PISARNICA-1', ?)"),
                  {n, QStringLiteral("2026-12-08 10:%1:00").arg(n, 2, 10, QLatin1Char('0')), QStringLiteral("%1/26").arg(n)});
        const qint64 entry = c.LastInsertID();
        c.ExecSQL(QStringLiteral("INSERT INTO ledgerhistoryvalue (ledgerhistoryid, columnname, oldvalue, newvalue, "
                                 "oldtext, newtext) VALUES (?, 'accepted', 'n', 'y', NULL, NULL), "
                                 "(?, 'outuserid', NULL, '2', NULL, 'Marko Jovanović')"),
                  {entry, entry});
    }
    ChainUnchainedHistory(c);
}

// SQLite's triggers refuse what a second client would do; MariaDB leaves
// that to the desks' account, and the tests' own account may do it.
inline void LiftRefusals(TZConnection &c)
{
    if (c.Backend() != TBackend::SQLite)
        return;
    for (const char *trigger : {"tr_ledgerhistory_update", "tr_ledgerhistory_delete", "tr_ledgerhistoryvalue_update",
                                "tr_ledgerhistoryvalue_delete", "tr_historychain_delete"})
        c.ExecSQL(QStringLiteral("DROP TRIGGER IF EXISTS ") + QLatin1String(trigger));
}

// A second SQL client with every right rewrites the history.
inline void Tamper(const TestDb &db, const QString &sql)
{
    const auto admin = db.OpenAdminConnection();
    LiftRefusals(*admin);
    admin->ExecSQL(sql);
}

inline void Run(TZConnection &c, const QStringList &statements)
{
    for (const QString &sql : statements)
        c.ExecSQL(sql);
}

} // namespace hcr
