#include "ReportEngine.h"

#include "DBIniFile.h"
#include "DBGrid.h"
#include "DataSet.h"
#include "Dialogs.h"
#include "GridExport.h"
#include "HandoverRecord.h"
#include "KException.h"
#include "ZQuery.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

const QString TReportEngine::OrganizationSection = QStringLiteral("Organization");
const QString TReportEngine::OrganizationKey = QStringLiteral("Name");
const QString TReportEngine::DefaultOrganization = QStringLiteral("Delovodna služba");

TReportEngine::TReportEngine(QObject *owner) : QObject(owner)
{
    setObjectName(QStringLiteral("ReportEngine"));
}

TReportEngine::~TReportEngine() = default;

namespace {

// The grid's columns of the handover record, with their share of the width.
const struct
{
    const char *Field;
    int Width;
} kColumns[] = {
    {"inusername", 16}, {"outusername", 16}, {"ledgernumber", 12}, {"itemtype", 17},
    {"itemdate", 13},   {"itemnumber", 15},  {"accepted", 11},
};

// One name when every row agrees, else all of them in order of appearance.
QStringList distinctTexts(const QList<QStringList> &rows, int column)
{
    QStringList names;
    for (const QStringList &row : rows)
        if (!row.value(column).isEmpty() && !names.contains(row.value(column)))
            names << row.value(column);
    return names;
}

// The organisation named in the database-held settings of the data set's
// connection, else the default.
QString organization(const TDataSet *dataSet)
{
    if (auto *query = qobject_cast<const TZQuery *>(dataSet); query && query->Connection()) {
        const QString name = TDBIniFile(query->Connection())
                                 .ReadString(TReportEngine::OrganizationSection, TReportEngine::OrganizationKey, QString())
                                 .trimmed();
        if (!name.isEmpty())
            return name;
    }
    return TReportEngine::DefaultOrganization;
}

} // namespace

TPagedReport TReportEngine::gridReport(const TDBGrid &grid, const QString &title) const
{
    TPagedReport report = GridPagedReport(grid);
    report.Title = title;
    report.PrintedAt = QDateTime::currentDateTime();
    report.Organization = organization(grid.DataSet());
    report.EmptyText = QStringLiteral("Lista je prazna.");
    report.Closing = {QStringLiteral("Ukupno stavki: %1").arg(report.RowCount)};
    report.FontPoints = 8;
    return report;
}

void TReportEngine::ExecuteGridReport(const TDBGrid &grid, const QString &title)
{
    const TPagedReport report = gridReport(grid, title);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setPageLayout(PagedReportPageLayout());
    Dialogs().PrintPreview(printer, [report](QPrinter &target) {
        if (PaintPagedReport(report, target) != TPaintOutcome::Done)
            throw KException(QStringLiteral("Listu nije moguće odštampati."));
    });
}

void TReportEngine::SaveGridReport(const TDBGrid &grid, const QString &title, const QString &fileName)
{
    const TPagedReport report = gridReport(grid, title);
    QPdfWriter writer(fileName);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Delovodnik"));
    writer.setResolution(600);
    writer.setPageLayout(PagedReportPageLayout());
    if (PaintPagedReport(report, writer) != TPaintOutcome::Done)
        throw KException(QStringLiteral("Listu nije moguće upisati u datoteku „%1“.").arg(QDir::toNativeSeparators(fileName)));
}

THandoverRecord TReportEngine::ledgerProceedingRecord(TDataSet &dataSet, const QString &title) const
{
    THandoverRecord record;
    record.Title = title;
    record.PrintedAt = QDateTime::currentDateTime();
    record.Organization = organization(&dataSet);

    std::vector<TField *> fields;
    for (const auto &column : kColumns) {
        TField &field = dataSet.FieldByName(QLatin1String(column.Field));
        fields.push_back(&field);
        record.Captions << field.DisplayLabel();
        record.Widths << column.Width;
    }
    if (dataSet.Active()) {
        record.Rows.reserve(dataSet.RecordCount());
        for (int row = 0; row < dataSet.RecordCount(); ++row) {
            QStringList cells;
            for (TField *field : fields)
                cells << dataSet.DisplayTextAt(row, *field);
            record.Rows << cells;
        }
    }
    record.Recipient = distinctTexts(record.Rows, 1).join(QStringLiteral(", "));
    const QStringList senders = distinctTexts(record.Rows, 0);
    if (senders.size() == 1)
        record.HandedOverBy = senders.first();
    return record;
}

void TReportEngine::ExecuteLedgerProceedingReport(TDataSet *dataSet, const QString &title)
{
    if (!dataSet)
        throw KException(QStringLiteral("Zapisnik nema podatke za štampu."));
    const THandoverRecord record = ledgerProceedingRecord(*dataSet, title);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setPageLayout(HandoverRecordPageLayout());
    Dialogs().PrintPreview(printer, [record](QPrinter &target) {
        if (!PaintHandoverRecord(record, target))
            throw KException(QStringLiteral("Zapisnik nije moguće odštampati."));
    });
}

void TReportEngine::SaveLedgerProceedingReport(TDataSet *dataSet, const QString &title, const QString &fileName)
{
    if (!dataSet)
        throw KException(QStringLiteral("Zapisnik nema podatke za štampu."));
    const THandoverRecord record = ledgerProceedingRecord(*dataSet, title);
    QPdfWriter writer(fileName);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Delovodnik"));
    writer.setResolution(600);
    writer.setPageLayout(HandoverRecordPageLayout());
    if (!PaintHandoverRecord(record, writer))
        throw KException(QStringLiteral("Zapisnik nije moguće upisati u datoteku „%1“.").arg(QDir::toNativeSeparators(fileName)));
}
