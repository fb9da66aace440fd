#include "LedgerProceedingReport.h"

#include "DataSet.h"
#include "Dialogs.h"
#include "HandoverBook.h"
#include "HandoverRecord.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ReportFile.h"
#include "ZQuery.h"
#include "data/HistoryChain.h"

#include <QDir>
#include <QPdfWriter>
#include <QPrinter>

namespace {

// The grid's columns of the handover record, with their share of the width
// (the direction's as wide as "Излазни" needs).
const struct
{
    const char *Field;
    int Width;
} kColumns[] = {
    {"inusername", 15}, {"outusername", 15}, {"ledgernumber", 11}, {"direction", 10},
    {"itemtype", 14},   {"itemdate", 12},    {"itemnumber", 12},  {"accepted", 11},
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

// The organisation of the data set's connection; the default without one.
QString organization(const TDataSet &dataSet)
{
    if (auto *query = qobject_cast<const TZQuery *>(&dataSet); query && query->Connection())
        return ReportOrganization(*query->Connection());
    return LedgerDefaultOrganization;
}

// The history's head as the list is printed; none without a connection.
QString chainHead(const TDataSet &dataSet)
{
    if (auto *query = qobject_cast<const TZQuery *>(&dataSet); query && query->Connection())
        return ReadHistoryChainHead(*query->Connection()).Text();
    return {};
}

THandoverRecord proceedingRecord(TDataSet *dataSet, const QString &title)
{
    if (!dataSet)
        throw KException(UiText(u"Zapisnik nema podatke za štampu."));
    THandoverRecord record;
    record.Title = title;
    record.PrintedAt = QDateTime::currentDateTime();
    record.Organization = organization(*dataSet);

    std::vector<TField *> fields;
    for (const auto &column : kColumns) {
        TField &field = dataSet->FieldByName(QLatin1String(column.Field));
        fields.push_back(&field);
        record.Captions << UiText(field.DisplayLabel());
        record.Widths << column.Width;
    }
    if (dataSet->Active()) {
        record.Rows.reserve(dataSet->RecordCount());
        for (int row = 0; row < dataSet->RecordCount(); ++row) {
            QStringList cells;
            for (TField *field : fields)
                cells << dataSet->DisplayTextAt(row, *field);
            record.Rows << cells;
        }
    }
    record.CaptionColumns = LedgerProceedingCaptionColumns();
    record.Recipient = distinctTexts(record.Rows, 1).join(QStringLiteral(", "));
    record.HandedOverBy = distinctTexts(record.Rows, 0);
    record.ChainHead = chainHead(*dataSet);
    return record;
}

void previewRecord(const THandoverRecord &record)
{
    const QString &title = record.Title;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setPageLayout(HandoverRecordPageLayout());
    Dialogs().PrintPreview(printer, [record](QPrinter &target) {
        if (!PaintHandoverRecord(record, target))
            throw KException(UiText(u"Zapisnik nije moguće odštampati."));
    });
}

void saveRecord(const THandoverRecord &record, const QString &fileName)
{
    const QString &title = record.Title;
    QPdfWriter writer(fileName);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Delovodnik"));
    // A printer's PDF at high resolution: the file reads as the printed one.
    writer.setResolution(QPrinter(QPrinter::HighResolution).resolution());
    writer.setPageLayout(HandoverRecordPageLayout());
    if (!PaintHandoverRecord(record, writer))
        throw KException(UiText(u"Zapisnik nije moguće upisati u datoteku „%1“.").arg(QDir::toNativeSeparators(fileName)));
}

} // namespace

QStringList LedgerProceedingCaptions()
{
    return {UiText(u"Upućeno od"), UiText(u"Namenjeno"), UiText(u"Delovodni broj"), UiText(u"Tip"),
            UiText(u"Vrsta dokumenta"), UiText(u"Datum dokumenta"), UiText(u"Broj dokumenta"), UiText(u"Prihvaćen")};
}

QList<int> LedgerProceedingWidths()
{
    QList<int> widths;
    for (const auto &column : kColumns)
        widths << column.Width;
    return widths;
}

QList<int> LedgerProceedingCaptionColumns()
{
    return {3, 7};
}

void ExecuteLedgerProceedingReport(TDataSet *dataSet, const QString &title, const TDataScript &script)
{
    previewRecord(HandoverRecordInScript(proceedingRecord(dataSet, title), script));
}

void SaveLedgerProceedingReport(TDataSet *dataSet, const QString &title, const QString &fileName,
                                const TDataScript &script)
{
    saveRecord(HandoverRecordInScript(proceedingRecord(dataSet, title), script), fileName);
}

void ExecuteStoredHandoverRecord(TZConnection &connection, qint64 recordID, const TDataScript &script)
{
    previewRecord(HandoverRecordInScript(StoredHandoverRecord(connection, recordID), script));
}

void SaveStoredHandoverRecord(TZConnection &connection, qint64 recordID, const QString &fileName,
                              const TDataScript &script)
{
    saveRecord(HandoverRecordInScript(StoredHandoverRecord(connection, recordID), script), fileName);
}
