#include "LedgerCustody.h"

#include "InterfaceScript.h"
#include "LedgerHistoryText.h"
#include "PagedReport.h"
#include "ZConnection.h"
#include "ReadRows.h"

#include <QSet>
#include <optional>

namespace {

const QString StepSql = QStringLiteral(
    "SELECT l.ledgeritemid, l.ledgernumber, l.ledgerdatetime, l.accepted, l.archived, l.parentid, l.passonparentid, "
    "CONCAT(u2.firstname,' ',u2.lastname), CONCAT(u3.firstname,' ',u3.lastname) FROM ledgeritem AS l "
    "LEFT JOIN user AS u2 ON u2.userid = l.userid LEFT JOIN user AS u3 ON u3.userid = l.outuserid "
    "WHERE l.ledgeritemid = ?");

struct TRow
{
    TCustodyStep Step;
    qint64 ParentID = 0;
    qint64 PassOnParentID = 0;
};

QDateTime dateTimeOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    return QDateTime::fromString(value.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// Every read goes through the streaming path: a long chain on a slow server
// waits off this thread, and the user may cancel it.
std::optional<TRow> readRow(TZConnection &connection, qint64 id)
{
    std::optional<TRow> found;
    ReadRows(connection, StepSql, {id}, [&found](const TReadRow &r) {
        TRow row;
        row.Step.ItemID = r.Integer(0);
        row.Step.Number = r.Text(1);
        row.Step.Registered = dateTimeOf(r.Value(2));
        row.Step.Accepted = r.Text(3) == QLatin1String("y");
        row.Step.Archived = r.Text(4) == QLatin1String("y");
        row.ParentID = r.Integer(5);
        row.PassOnParentID = r.Integer(6);
        row.Step.RegisteredBy = r.Text(7);
        row.Step.MeantFor = r.Text(8);
        if (!found)
            found = std::move(row);
    });
    return found;
}

// The copy passed on from id: the oldest item naming it (its enclosures'
// copies name it too, and are younger).
qint64 passedOnCopy(TZConnection &connection, qint64 id)
{
    qint64 copy = 0;
    ReadRows(connection,
             QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE passonparentid = ? ORDER BY ledgeritemid LIMIT 1"),
             {id}, [&copy](const TReadRow &r) { copy = r.Integer(0); });
    return copy;
}

// The newest time the item was marked accepted, and by whom.
void readAcceptance(TZConnection &connection, TCustodyStep &step)
{
    bool found = false;
    ReadRows(connection,
             QStringLiteral("SELECT h.changedat, h.username FROM ledgerhistory AS h JOIN ledgerhistoryvalue AS v "
                            "ON v.ledgerhistoryid = h.ledgerhistoryid WHERE h.ledgeritemid = ? AND h.changekind = 'u' "
                            "AND v.columnname = 'accepted' AND v.newvalue = 'y' ORDER BY h.ledgerhistoryid DESC LIMIT 1"),
             {step.ItemID}, [&](const TReadRow &r) {
                 if (found)
                     return;
                 found = true;
                 step.AcceptedAt = dateTimeOf(r.Value(0));
                 step.AcceptedBy = r.Text(1);
             });
}

void readEnclosures(TZConnection &connection, TCustodyStep &step)
{
    ReadRows(connection,
             QStringLiteral("SELECT ledgeritemid, ledgernumber, itemtype FROM ledgeritem WHERE parentid = ? "
                            "ORDER BY ledgeritemid"),
             {step.ItemID}, [&step](const TReadRow &r) {
                 step.Enclosures << TCustodyEnclosure{r.Integer(0), r.Text(1), r.Text(2)};
             });
}

} // namespace

QString CustodyHolder(const TCustodyStep &newest)
{
    if (newest.Archived)
        return UiText(u"Arhivirano (") + newest.Number + u')';
    if (newest.Accepted && !newest.MeantFor.isEmpty())
        return UiText(u"Stavka je sada kod: ") + newest.MeantFor;
    if (!newest.MeantFor.isEmpty())
        return UiText(u"Stavka je sada kod: %1, čeka da je preuzme %2").arg(newest.RegisteredBy, newest.MeantFor);
    return UiText(u"Stavka je sada kod: ") + newest.RegisteredBy;
}

TCustodyChain LedgerCustody(TZConnection &connection, qint64 itemID)
{
    TCustodyChain chain;
    QSet<qint64> seen;
    auto row = readRow(connection, itemID);
    // An enclosure travels with its item.
    if (row && row->ParentID > 0 && !seen.contains(row->ParentID)) {
        seen.insert(itemID);
        row = readRow(connection, row->ParentID);
    }
    // Up to the origin.
    while (row && row->PassOnParentID > 0 && !seen.contains(row->PassOnParentID)) {
        seen.insert(row->Step.ItemID);
        auto up = readRow(connection, row->PassOnParentID);
        if (!up)
            break;
        row = up;
    }
    seen.clear();
    // Down through the copies.
    while (row && !seen.contains(row->Step.ItemID)) {
        seen.insert(row->Step.ItemID);
        readAcceptance(connection, row->Step);
        readEnclosures(connection, row->Step);
        chain.Steps << row->Step;
        const qint64 next = passedOnCopy(connection, row->Step.ItemID);
        row = next > 0 ? readRow(connection, next) : std::nullopt;
    }
    if (!chain.Steps.isEmpty())
        chain.Holder = CustodyHolder(chain.Steps.last());
    return chain;
}

QStringList CustodyCaptions()
{
    return {UiText(u"Delovodni broj"), UiText(u"Zavedeno"), UiText(u"Zaveo"),
            UiText(u"Namenjeno"), UiText(u"Prihvaćeno")};
}

QStringList CustodyStepCells(const TCustodyStep &step)
{
    const QString dash = QStringLiteral("—");
    QString accepted = dash;
    if (step.AcceptedAt.isValid())
        accepted = HistoryTime(step.AcceptedAt) + QStringLiteral(", ") + step.AcceptedBy;
    else if (step.Accepted)
        accepted = UiText(u"Da");
    return {step.Number, HistoryTime(step.Registered), step.RegisteredBy.isEmpty() ? dash : step.RegisteredBy,
            step.MeantFor.isEmpty() ? dash : step.MeantFor, accepted};
}

QStringList CustodyEnclosureCells(const TCustodyEnclosure &enclosure)
{
    return {UiText(u"Prilog %1 (%2)").arg(enclosure.Number, enclosure.ItemType), QString(), QString(), QString(),
            QString()};
}

TPagedReport CustodyReport(const TCustodyChain &chain, const QString &organization)
{
    // One row per step, its enclosures right under it.
    QList<TPagedReportRow> rows;
    for (const TCustodyStep &step : chain.Steps) {
        rows << TPagedReportRow{CustodyStepCells(step), false, false};
        for (const TCustodyEnclosure &e : step.Enclosures)
            rows << TPagedReportRow{CustodyEnclosureCells(e), false, true};
    }
    TPagedReport report;
    report.Organization = organization;
    report.Title = UiText(u"Tok predaje");
    if (!chain.Steps.isEmpty())
        report.Subtitle = UiText(u"Stavka %1").arg(chain.Steps.first().Number);
    report.PrintedAt = QDateTime::currentDateTime();
    report.Captions = CustodyCaptions();
    report.Widths = {16, 16, 20, 20, 28};
    report.EmptyText = UiText(u"Stavka ne postoji.");
    report.Closing = {chain.Holder};
    report.RowCount = rows.size();
    report.Row = [rows](qint64 row) { return rows.at(row); };
    return report;
}
