#pragma once
// Helpers of the storno, restore and year-rule tests: a desk's user as the
// security service would describe it, an item cancelled or deleted the way
// the data layer does it, and items numbered for this year.

#include "LedgerFixture.h"
#include "KException.h"
#include "ZTransaction.h"
#include "data/LedgerHistory.h"
#include "data/LedgerStorno.h"

#include <QDate>
#include <functional>

namespace storno {

// The message write was refused with; empty when it went through.
inline QString refusal(const std::function<void()> &write)
{
    try {
        write();
    } catch (const KException &e) {
        return e.message();
    }
    return {};
}

inline TUserDesc deskUser(LedgerFixture &fx, const QString &login, bool administrator = false)
{
    TUserDesc user;
    user.UserID = qint32(fx.UserId(login));
    user.Login = login;
    user.Administrator = administrator;
    return user;
}

inline THistoryActor actor(LedgerFixture &fx, const QString &login)
{
    return {QVariant::fromValue(fx.UserId(login)), login, QStringLiteral("DESK-T")};
}

// "N/yy" of the current year, N from 800 on so the sample book never has it.
inline QString thisYearNumber(int n)
{
    return QStringLiteral("%1/%2").arg(800 + n).arg(QDate::currentDate().year() % 100, 2, 10, QLatin1Char('0'));
}

// An item of Ana's numbered for this year.
inline qint64 addOwnItem(LedgerFixture &fx, const QVariantMap &values = {})
{
    QVariantMap v{{QStringLiteral("ledgernumber"), thisYearNumber(fx.Serial() + 1)}};
    v.insert(values);
    return fx.AddItem(v);
}

inline void cancel(LedgerFixture &fx, qint64 id, const QString &reason = QStringLiteral("Greškom zavedeno"))
{
    CancelLedgerItem(fx.Db.Connection(), id, reason, deskUser(fx, QStringLiteral("ana")), actor(fx, QStringLiteral("ana")));
}

// Deletes the item as the item set does: its last values in a 'd' entry.
// Returns the entry's id.
inline qint64 deleteWithHistory(LedgerFixture &fx, qint64 id)
{
    TZConnection &c = fx.Db.Connection();
    TZTransaction transaction(c);
    JournalLedgerItemWrite(c, TZQuery::TWriteKind::Delete, QVariant::fromValue(id), {}, actor(fx, QStringLiteral("ana")));
    c.ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {id});
    transaction.Commit();
    return fx.Scalar(QStringLiteral("SELECT MAX(ledgerhistoryid) FROM ledgerhistory WHERE ledgeritemid = ? AND "
                                    "changekind = 'd'"),
                     {id})
        .toLongLong();
}

} // namespace storno
