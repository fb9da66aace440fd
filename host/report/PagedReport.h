#pragma once
// The one paged table every printed document of the host is made of: one long table over many pages: the organisation and the
// print time head every page, the title opens the first, the table's header
// repeats on every page, section rows span the table, closing lines follow
// it, and "Strana N od M" stands at every page's foot. Rows are asked for by
// index while a page is painted, so nothing beyond one height per row (and a
// bounded cache of text widths) is kept for the whole document.

#include "KExport.h"

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QSizeF>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;
class QPainter;

// DejaVu has every letter of Serbian in both scripts; the PDF embeds what it uses.
KCOMMON_EXPORT QFont ReportFont(double points, bool bold = false, bool italic = false);

// Where a part of a report is drawn: the printable area of the page, in
// device pixels, with millimetres converted at the device's resolution.
struct TReportCanvas
{
    QPainter &Painter;
    double Resolution;
    QSizeF Size;
    double Mm(double millimetres) const { return millimetres * Resolution / 25.4; }
};

// A report's own head (in place of the title and subtitle) and closing (in
// place of the closing lines), each with the height it takes.
struct TReportParts
{
    double HeadMm = 0;
    std::function<void(TReportCanvas &, double top)> Head;
    double ClosingMm = 0;
    std::function<void(TReportCanvas &, double top)> Closing;
};

struct TPagedReportRow
{
    QStringList Cells;
    bool Section = false;  // Cells[0] across the whole table: a heading
    bool Secondary = false; // belongs to the row above (drawn in italics)
};

struct TPagedReport
{
    QString Organization;
    QString Title;
    QString Subtitle;
    QDateTime PrintedAt;
    QStringList Captions; // the table's columns
    QList<int> Widths;    // their relative widths
    QString EmptyText;    // shown in the table when it has no rows
    QStringList Closing;  // lines after the table
    qint64 RowCount = 0;
    std::function<TPagedReportRow(qint64 row)> Row;
    double FontPoints = 7.5; // of the table's text
    TReportParts Parts;
};

// Rows already at hand as the report's rows.
KCOMMON_EXPORT void SetReportRows(TPagedReport &report, QList<QStringList> rows);

// A4 landscape, the register's paper.
KCOMMON_EXPORT QPageLayout PagedReportPageLayout();

enum class TPaintOutcome { Done, Failed, Cancelled };

// Paints the document on the device. progress is asked now and then with the
// work done of the total; answering false stops painting (Cancelled). Failed
// when the device cannot be painted on.
KCOMMON_EXPORT TPaintOutcome PaintPagedReport(const TPagedReport &report, QPagedPaintDevice &device,
                                              const std::function<bool(qint64 done, qint64 total)> &progress = {});
