// Additional items and pass-on copies: new items made from a stored one.
// Neither writes into a closed year: a pass-on copy is dated now, and an
// enclosure of a closed year's item is registered now, in the open year,
// under a number of that year (its parentid still links it to the item).

#include "LedgerDMUnit.h"

#include "Clock.h"
#include "ClosedYears.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ZConnection.h"
#include "ZTransaction.h"
#include "data/LedgerStorno.h"

#include <QSqlQuery>

namespace {

constexpr char16_t ItemGoneMsg[] = u"Stavka više ne postoji u delovodniku (izbrisana je u međuvremenu).";

// The stored columns the copies depend on, read while the row is held.
struct TSourceItem
{
    int Direction = 0;
    QString Number;
    QVariant ParentID;
    QVariant OutUserID;
    QVariant PassOnParentID;
    bool Accepted = false;
};

TSourceItem lockSource(TZTransaction &transaction, TZConnection &connection, int itemID)
{
    if (!transaction.LockRow(QStringLiteral("ledgeritem"), QStringLiteral("ledgeritemid"), itemID))
        throw KException(UiText(ItemGoneMsg));
    auto q = connection.OpenQuery(QStringLiteral("SELECT direction, ledgernumber, parentid, outuserid, passonparentid, "
                                                 "accepted FROM ledgeritem WHERE ledgeritemid = ?"),
                                  {itemID});
    if (!q->next())
        throw KException(UiText(ItemGoneMsg));
    // A cancelled item gets neither an enclosure nor a pass-on copy.
    RefuseCancelledItem(connection, itemID);
    return {q->value(0).toInt(), q->value(1).toString(), q->value(2), q->value(3), q->value(4),
            TField::DecodeFlag(q->value(5).toString()).value_or(false)};
}

// The item passed on from itemID, or 0. Additional items of that copy carry
// the same origin, and they are always younger than the copy itself.
qint64 passedOnCopy(TZConnection &connection, const QVariant &itemID)
{
    auto q = connection.OpenQuery(
        QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE passonparentid = ? ORDER BY ledgeritemid"), {itemID});
    return q->next() ? q->value(0).toLongLong() : 0;
}

// A suffix is taken when the number would repeat one that the numbering rule
// compares against: any item of the direction that was not passed on (for a
// source that was not passed on either), and always the source's own children.
bool suffixTaken(TZConnection &connection, int itemID, const TSourceItem &source, const QString &number)
{
    QString sql = QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE direction = ? AND ledgernumber = ? "
                                 "AND (parentid = ?");
    if (source.PassOnParentID.isNull())
        sql += QStringLiteral(" OR passonparentid IS NULL");
    sql += u')';
    return connection.OpenQuery(sql, {source.Direction, number, itemID})->next();
}

QString idText(const QVariant &id)
{
    return id.isNull() ? QStringLiteral("NULL") : QString::number(id.toLongLong());
}

} // namespace

int TLedgerDM::AddAdditionalItem(int itemID)
{
    TZConnection &connection = Connection();
    const int newID = RetryOnWriteConflict(connection, [&] { return addAdditionalItem(connection, itemID); });
    if (newID > 0)
        emit ItemStored(newID, nullptr);
    return newID;
}

int TLedgerDM::addAdditionalItem(TZConnection &connection, int itemID)
{
    TZTransaction transaction(connection);
    const TSourceItem source = lockSource(transaction, connection, itemID);

    int n = 1;
    {
        auto count = connection.OpenQuery(
            QStringLiteral("SELECT COUNT(ledgeritemid) AS ledgercount FROM ledgeritem WHERE parentid = ?"), {itemID});
        if (count->next())
            n = 1 + count->value(0).toInt();
    }
    // After a deleted child the count repeats a suffix still in use.
    while (suffixTaken(connection, itemID, source, source.Number + u'-' + QString::number(n)))
        ++n;

    TStringArr assignments{
        QStringLiteral("ledgernumber=") + source.Number + u'-' + QString::number(n),
        QStringLiteral("itemnumber=NULL"),
        QStringLiteral("accepted=False"),
        QStringLiteral("parentid=") + QString::number(itemID),
    };
    if (ClosedYearOfItem(connection, itemID)) {
        const QDateTime now = TClock::Now();
        const QDateTime registered = now.addMSecs(-now.time().msec());
        assignments[0] = QStringLiteral("ledgernumber=") + NextLedgerNumber(registered, source.Direction);
        assignments << QStringLiteral("ledgerdatetime=") + TZConnection::DateTimeText(registered);
    }
    const int newID = copyLedgerItem(itemID, assignments);
    transaction.Commit();
    return newID;
}

std::optional<int> TLedgerDM::PassOnLedgerItem(int itemID, int userID)
{
    TZConnection &connection = Connection();
    const std::optional<int> newID =
        RetryOnWriteConflict(connection, [&] { return passOnLedgerItem(connection, itemID, userID); });
    if (newID && *newID > 0)
        emit ItemStored(*newID, nullptr);
    return newID;
}

std::optional<int> TLedgerDM::passOnLedgerItem(TZConnection &connection, int itemID, int userID)
{
    TZTransaction transaction(connection);
    const TSourceItem source = lockSource(transaction, connection, itemID);
    if (passedOnCopy(connection, itemID) > 0)
        return std::nullopt;
    // The form judged the item as it was read; another desk may have taken it back since.
    if (source.OutUserID.toLongLong() != userID || !source.Accepted)
        throw EStaleRow(UiText(u"Stavka nije predata: u međuvremenu je promenjena na drugom mestu."));

    QString parent = QStringLiteral("parentid=NULL");
    if (!source.ParentID.isNull())
        if (const qint64 parentCopy = passedOnCopy(connection, source.ParentID); parentCopy > 0)
            parent = QStringLiteral("parentid=") + QString::number(parentCopy);

    const QDateTime now = QDateTime::currentDateTime();
    const TStringArr assignments{
        // The stored form of a date-time, which both backends read back.
        QStringLiteral("ledgerdatetime=") + TZConnection::DateTimeText(now),
        QStringLiteral("accepted=False"),
        parent,
        QStringLiteral("userid=") + QString::number(userID),
        QStringLiteral("inuserid=") + idText(source.OutUserID),
        QStringLiteral("outuserid=NULL"),
        QStringLiteral("passonparentid=") + QString::number(itemID),
    };
    const int newID = copyLedgerItem(itemID, assignments);
    transaction.Commit();
    return newID;
}
