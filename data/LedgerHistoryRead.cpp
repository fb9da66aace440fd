// Reading the items' history back.

#include "LedgerHistory.h"

#include "StoredForm.h"
#include "ZConnection.h"
#include "ReadRows.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace {

THistoryKind kindOf(const QString &code)
{
    if (code == QLatin1String("i"))
        return THistoryKind::Insert;
    if (code == QLatin1String("d"))
        return THistoryKind::Delete;
    return THistoryKind::Update;
}

QDateTime dateTimeOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    return ReadStoredDateTime(value.toString());
}

// The columns in the order the table and the detail form have them.
int columnRank(const QString &column)
{
    static const QStringList order{
        QStringLiteral("direction"),     QStringLiteral("ledgerdatetime"), QStringLiteral("ledgernumber"),
        QStringLiteral("partnerid"),     QStringLiteral("documentid"),     QStringLiteral("itemtype"),
        QStringLiteral("itemnumber"),    QStringLiteral("itemdate"),       QStringLiteral("parentid"),
        QStringLiteral("inmailtype"),    QStringLiteral("inmailnumber"),   QStringLiteral("outmailtype"),
        QStringLiteral("outmailnumber"), QStringLiteral("inuserid"),       QStringLiteral("userid"),
        QStringLiteral("outuserid"),     QStringLiteral("accepted"),       QStringLiteral("archived"),
        QStringLiteral("archivednumber"), QStringLiteral("passonparentid"),
        QStringLiteral("cancelled"),     QStringLiteral("cancelreason"),   QStringLiteral("cancelledby"),
        QStringLiteral("cancelledat")};
    const qsizetype rank = order.indexOf(column);
    return rank < 0 ? int(order.size()) : int(rank);
}

const QString EntryColumns = QStringLiteral(
    "SELECT h.ledgerhistoryid, h.ledgeritemid, h.changedat, h.changekind, h.userid, h.username, h.hostname, "
    "h.ledgernumber FROM ledgerhistory AS h ");

// The entries where selects (over h, the entry), newest first, each with
// its values. Both reads stream off this thread, open to cancelling.
QList<THistoryEntry> readEntries(TZConnection &connection, const QString &where, const QVariantList &params)
{
    const QString sql = EntryColumns + QStringLiteral("WHERE ") + where + QStringLiteral(" ORDER BY h.ledgerhistoryid DESC");
    QList<THistoryEntry> entries;
    ReadRows(connection, sql, params, [&entries](const TReadRow &r) {
        THistoryEntry e;
        e.ID = r.Integer(0);
        e.ItemID = r.Integer(1);
        e.When = dateTimeOf(r.Value(2));
        e.Kind = kindOf(r.Text(3));
        e.UserID = r.Value(4);
        e.UserName = r.Text(5);
        e.HostName = r.Text(6);
        e.LedgerNumber = r.Text(7);
        entries << e;
    });
    if (entries.isEmpty())
        return entries;
    QHash<qint64, qsizetype> index;
    for (qsizetype i = 0; i < entries.size(); ++i)
        index.insert(entries[i].ID, i);
    // The values of all entries in one read.
    ReadRows(connection,
             QStringLiteral("SELECT v.ledgerhistoryid, v.columnname, v.oldvalue, v.newvalue, v.oldtext, v.newtext "
                            "FROM ledgerhistoryvalue AS v JOIN ledgerhistory AS h ON h.ledgerhistoryid = v.ledgerhistoryid "
                            "WHERE ") + where + QStringLiteral(" ORDER BY v.ledgerhistoryid, v.columnname"),
             params, [&](const TReadRow &r) {
                 const auto it = index.constFind(r.Integer(0));
                 if (it == index.constEnd())
                     return;
                 entries[*it].Values << THistoryValue{r.Text(1), r.Value(2), r.Value(3), r.Text(4), r.Text(5)};
             });
    for (THistoryEntry &e : entries)
        std::stable_sort(e.Values.begin(), e.Values.end(), [](const THistoryValue &a, const THistoryValue &b) {
            return columnRank(a.Column) < columnRank(b.Column);
        });
    return entries;
}

} // namespace

QList<THistoryEntry> LedgerItemHistory(TZConnection &connection, qint64 itemID)
{
    return readEntries(connection, QStringLiteral("h.ledgeritemid = ?"), {itemID});
}

QList<THistoryEntry> DeletedLedgerItems(TZConnection &connection, qint64 userID, bool administrator)
{
    // An item brought back is in the book again, not among the deleted.
    const QString gone = QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM ledgeritem AS b WHERE b.ledgeritemid = h.ledgeritemid)");
    if (administrator)
        return readEntries(connection, QStringLiteral("h.changekind = 'd'") + gone, {});
    const QString id = QString::number(userID);
    return readEntries(connection,
                       QStringLiteral("h.changekind = 'd' AND (h.userid = ? OR EXISTS (SELECT 1 FROM "
                                      "ledgerhistoryvalue AS w WHERE w.ledgerhistoryid = h.ledgerhistoryid AND "
                                      "w.columnname IN ('userid', 'inuserid', 'outuserid') AND w.oldvalue = ?))")
                           + gone,
                       {userID, id});
}
