#include "HistoryChaining.h"

#include "HistoryChainHash.h"
#include "KException.h"
#include "ZConnection.h"
#include "ZTransaction.h"

#include <QHash>
#include <QSqlQuery>
#include <optional>
#include <vector>

namespace {

struct TUnchained
{
    qint64 ID = 0;
    THistoryChainRecord Record;
};

std::vector<TUnchained> readUnchained(TZConnection &connection)
{
    std::vector<TUnchained> entries;
    QHash<qint64, size_t> index;
    auto q = connection.OpenQuery(QStringLiteral(
        "SELECT ledgerhistoryid, ledgeritemid, changedat, changekind, userid, username, hostname, ledgernumber "
        "FROM ledgerhistory WHERE chainseq IS NULL ORDER BY ledgerhistoryid"));
    while (q->next()) {
        TUnchained e;
        e.ID = q->value(0).toLongLong();
        e.Record.ItemID = q->value(1).toLongLong();
        e.Record.ChangedAt = HistoryChainUtf8(q->value(2));
        e.Record.Kind = HistoryChainUtf8(q->value(3));
        e.Record.UserID = HistoryChainUtf8(q->value(4));
        e.Record.UserName = HistoryChainUtf8(q->value(5));
        e.Record.HostName = HistoryChainUtf8(q->value(6));
        e.Record.LedgerNumber = HistoryChainUtf8(q->value(7));
        index.insert(e.ID, entries.size());
        entries.push_back(std::move(e));
    }
    if (entries.empty())
        return entries;
    auto v = connection.OpenQuery(QStringLiteral(
        "SELECT v.ledgerhistoryid, v.columnname, v.oldvalue, v.newvalue, v.oldtext, v.newtext FROM ledgerhistoryvalue "
        "AS v JOIN ledgerhistory AS h ON h.ledgerhistoryid = v.ledgerhistoryid WHERE h.chainseq IS NULL"));
    while (v->next()) {
        const auto it = index.constFind(v->value(0).toLongLong());
        if (it != index.constEnd())
            entries[*it].Record.Values << THistoryChainRecord::TValue{
                HistoryChainUtf8(v->value(1)), HistoryChainUtf8(v->value(2)), HistoryChainUtf8(v->value(3)),
                HistoryChainUtf8(v->value(4)), HistoryChainUtf8(v->value(5))};
    }
    return entries;
}

qint64 chain(TZConnection &connection)
{
    const auto head = ReadHeldRow(connection, QStringLiteral("historychain"), QStringLiteral("chainid"), 1,
                                  QStringLiteral("entries, headhash"));
    if (!head)
        throw EDatabaseError(QStringLiteral("Knjiga nema zaglavlje lanca istorije (tabela historychain)."));
    std::vector<TUnchained> entries = readUnchained(connection);
    if (entries.empty())
        return 0;
    qint64 position = head->at(0).toLongLong();
    QByteArray hash = head->at(1).toString().toLatin1();
    auto update = connection.Prepare(
        QStringLiteral("UPDATE ledgerhistory SET chainseq = ?, entryhash = ? WHERE ledgerhistoryid = ?"));
    for (TUnchained &e : entries) {
        e.Record.Position = ++position;
        hash = HistoryChainHash(e.Record, hash);
        update.Exec({position, QString::fromLatin1(hash), e.ID});
    }
    connection.ExecSQL(QStringLiteral("UPDATE historychain SET entries = ?, headhash = ? WHERE chainid = 1"),
                       {position, QString::fromLatin1(hash)});
    return qint64(entries.size());
}

} // namespace

qint64 ChainUnchainedHistory(TZConnection &connection)
{
    if (connection.InTransaction())
        return chain(connection);
    TZTransaction transaction(connection);
    const qint64 chained = chain(connection);
    transaction.Commit();
    return chained;
}
