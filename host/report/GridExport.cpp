#include "GridExport.h"

#include "CsvWriter.h"
#include "DBGrid.h"
#include "DataSet.h"
#include "Dialogs.h"
#include "InterfaceScript.h"
#include "KException.h"

#include <QDir>
#include <QSaveFile>

namespace {

// Progress is shown every so many rows: often enough to cancel at once.
constexpr int kProgressStep = 5000;

QString exportText(qint64 done, qint64 total)
{
    return UiText(u"Izvoz u CSV: %1 od %2 stavki…").arg(done).arg(total);
}

} // namespace

QList<TShownColumn> ShownColumns(const TDBGrid &grid)
{
    QList<TShownColumn> shown;
    const QList<TColumn> &columns = grid.Columns();
    for (int index : grid.VisualOrder()) {
        const TColumn &column = columns.at(index);
        const TField *field = grid.GridModel()->ColumnField(index);
        if (!column.Visible || !field)
            continue;
        shown.append({grid.GridModel()->ColumnTitle(index), grid.columnWidth(index), field});
    }
    return shown;
}

QString CsvCellText(const TDataSet &dataSet, int row, const TField &field)
{
    switch (field.DataType()) {
    case TFieldType::Date: {
        const QVariant value = dataSet.ValueAt(row, field);
        return value.isNull() ? QString() : value.toDate().toString(TCsvWriter::DateFormat);
    }
    case TFieldType::DateTime: {
        const QVariant value = dataSet.ValueAt(row, field);
        return value.isNull() ? QString() : value.toDateTime().toString(TCsvWriter::DateTimeFormat);
    }
    default:
        return dataSet.DisplayTextAt(row, field);
    }
}

TPagedReport GridPagedReport(const TDBGrid &grid)
{
    TPagedReport table;
    const QList<TShownColumn> columns = ShownColumns(grid);
    for (const TShownColumn &column : columns) {
        table.Captions << column.Title;
        table.Widths << std::max(1, column.Width);
    }
    const TDataSet *dataSet = grid.DataSet();
    if (!dataSet || !dataSet->Active())
        return table;
    QList<QStringList> rows;
    rows.reserve(dataSet->RecordCount());
    for (int row = 0; row < dataSet->RecordCount(); ++row) {
        QStringList cells;
        cells.reserve(columns.size());
        for (const TShownColumn &column : columns)
            cells << dataSet->DisplayTextAt(row, *column.Field);
        rows << cells;
    }
    SetReportRows(table, std::move(rows));
    return table;
}

void ExportGridCsv(const TDBGrid &grid, const QString &fileName)
{
    const QList<TShownColumn> columns = ShownColumns(grid);
    const TDataSet *dataSet = grid.DataSet();
    const int rows = dataSet && dataSet->Active() ? dataSet->RecordCount() : 0;

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw KException(UiText(u"Datoteka „%1“ se ne može otvoriti za upis: proverite da li fascikla postoji "
                            u"i da li imate pravo upisa u nju.")
                             .arg(QDir::toNativeSeparators(fileName)));
    // The progress window goes whichever way the export ends.
    struct Ended
    {
        ~Ended() { Dialogs().TaskProgressEnded(); }
    } ended;
    TCsvWriter csv(file);
    for (const TShownColumn &column : columns)
        csv.AddField(column.Title);
    csv.EndRow();
    for (int row = 0; row < rows; ++row) {
        if (row % kProgressStep == 0 && !Dialogs().TaskProgress(exportText(row, rows), row, rows))
            throw EAbort();
        for (const TShownColumn &column : columns)
            csv.AddField(CsvCellText(*dataSet, row, *column.Field));
        csv.EndRow();
    }
    csv.Flush();
    if (!file.commit())
        throw KException(UiText(u"Datoteka „%1“ nije upisana do kraja (disk je možda pun); ranija datoteka "
                            u"tog imena je ostala kakva je bila.")
                             .arg(QDir::toNativeSeparators(fileName)));
}
