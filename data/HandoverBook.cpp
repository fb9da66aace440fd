#include "HandoverBook.h"

#include "CommonStrings.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "StoredForm.h"
#include "ZConnection.h"
#include "data/HandoverAcceptance.h"
#include "data/HistoryChain.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerProceedingReport.h"
#include "data/ReportFile.h"

#include <QSqlQuery>

namespace {

QString dateText(const QVariant &value)
{
    const QDate date = ReadStoredDate(value);
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

// An item's last row in the record decides: accepted, or withdrawn again.
const QString LastRows = QStringLiteral(
    "SELECT r.* FROM handoverrow AS r WHERE r.action = 'a' AND r.handoverrowid = "
    "(SELECT MAX(x.handoverrowid) FROM handoverrow AS x WHERE x.handoverrecordid = r.handoverrecordid "
    "AND x.ledgeritemid = r.ledgeritemid)");

} // namespace

QList<THandoverBookEntry> HandoverBookEntries(TZConnection &connection, int year, qint64 colleagueID)
{
    QString sql = QStringLiteral("SELECT h.handoverrecordid, h.year, h.number, h.createdat, h.recipientname "
                                 "FROM handoverrecord AS h WHERE h.year = ?");
    QVariantList params{year};
    if (colleagueID > 0) {
        sql += QStringLiteral(" AND (h.recipientid = ? OR EXISTS (SELECT 1 FROM handoverrow AS r "
                              "WHERE r.handoverrecordid = h.handoverrecordid AND r.inuserid = ?))");
        params << colleagueID << colleagueID;
    }
    sql += QStringLiteral(" ORDER BY h.number DESC");
    QList<THandoverBookEntry> entries;
    auto q = connection.OpenQuery(sql, params);
    while (q->next())
        entries << THandoverBookEntry{q->value(0).toLongLong(), q->value(1).toInt(), q->value(2).toInt(),
                                      ReadStoredDateTime(q->value(3)), q->value(4).toString(), {}, 0};
    for (THandoverBookEntry &entry : entries) {
        auto rows = connection.OpenQuery(QStringLiteral("SELECT inusername FROM (") + LastRows
                                             + QStringLiteral(") AS a WHERE a.handoverrecordid = ? ORDER BY a.handoverrowid"),
                                         {entry.ID});
        while (rows->next()) {
            ++entry.ItemCount;
            if (!entry.HandedOverBy.contains(rows->value(0).toString()))
                entry.HandedOverBy << rows->value(0).toString();
        }
    }
    return entries;
}

QList<int> HandoverBookYears(TZConnection &connection)
{
    QList<int> years;
    auto q = connection.OpenQuery(QStringLiteral("SELECT DISTINCT year FROM handoverrecord ORDER BY year DESC"));
    while (q->next())
        years << q->value(0).toInt();
    return years;
}

THandoverRecord StoredHandoverRecord(TZConnection &connection, qint64 recordID)
{
    auto head = connection.OpenQuery(QStringLiteral("SELECT year, number, createdat, recipientname, organization FROM handoverrecord "
                                                    "WHERE handoverrecordid = ?"),
                                     {recordID});
    if (!head->next())
        throw KException(UiText(u"Zapisnik ne postoji."));
    THandoverRecord record;
    record.Organization = head->value(4).toString();
    record.Title = HandoverRecordTitle(head->value(0).toInt(), head->value(1).toInt());
    record.PrintedAt = ReadStoredDateTime(head->value(2));
    record.Recipient = head->value(3).toString();
    record.Captions = LedgerProceedingCaptions();
    record.Widths = LedgerProceedingWidths();
    record.CaptionColumns = LedgerProceedingCaptionColumns();
    auto rows = connection.OpenQuery(
        QStringLiteral("SELECT inusername, ledgernumber, direction, itemtype, itemdate, itemnumber FROM (") + LastRows
            + QStringLiteral(") AS a WHERE a.handoverrecordid = ? ORDER BY a.handoverrowid"),
        {recordID});
    while (rows->next()) {
        const QString from = rows->value(0).toString();
        record.Rows << QStringList{from,
                                   record.Recipient,
                                   rows->value(1).toString(),
                                   UiText(GetDirectionCaption(rows->value(2).toInt())),
                                   rows->value(3).toString(),
                                   dateText(rows->value(4)),
                                   rows->value(5).toString(),
                                   UiText(_YES_CAP)};
        if (!from.isEmpty() && !record.HandedOverBy.contains(from))
            record.HandedOverBy << from;
    }
    // The head after the record's last acceptance or withdrawal.
    auto chain = connection.OpenQuery(QStringLiteral("SELECT chaindigits, chainentries FROM handoverrow "
                                                     "WHERE handoverrecordid = ? ORDER BY handoverrowid DESC"),
                                      {recordID});
    if (chain->next())
        record.ChainHead = THistoryChainHead{chain->value(0).toString(), chain->value(1).toLongLong()}.Text();
    return record;
}
