#pragma once
// What a list shows, for its printout and its CSV file: the grid's shown
// columns in their order on screen and the rows its data set holds now, in
// the data set's order, with the texts the cells show.

#include "KExport.h"
#include "PagedReport.h"

#include <QList>
#include <QString>

class TDBGrid;
class TDataSet;
class TField;

struct TShownColumn
{
    QString Title;
    int Width = 0; // pixels on screen
    const TField *Field = nullptr;
};

// Hidden columns and columns without a field are left out.
KCOMMON_EXPORT QList<TShownColumn> ShownColumns(const TDBGrid &grid);

// The value as a CSV cell: dates and times in TCsvWriter's formats, every
// other value as the grid shows it.
KCOMMON_EXPORT QString CsvCellText(const TDataSet &dataSet, int row, const TField &field);

// The grid's titles and rows as a printed table, columns as wide as on screen.
KCOMMON_EXPORT TPagedReport GridPagedReport(const TDBGrid &grid);

// Writes the grid's rows to fileName as CSV (TCsvWriter), reporting progress
// through Dialogs().TaskProgress. The file appears only when complete: a
// cancel throws EAbort, a failure KException, and either leaves the earlier
// file, if any, as it was.
KCOMMON_EXPORT void ExportGridCsv(const TDBGrid &grid, const QString &fileName);
