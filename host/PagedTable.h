#pragma once
// The paged table every printed report of the host shares: each page
// carries the organisation and the print time at the top and the title with
// "Strana N od M" at the bottom; the table's header repeats on every page and
// its rows wrap at word boundaries. A report adds a head above the table on
// the first page and a closing part after the last row.

#include "KExport.h"

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QSizeF>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;
class QPainter;

struct TPagedTable
{
    QString Organization;
    QString Title;
    QDateTime PrintedAt;
    QStringList Captions; // the table's columns
    QList<int> Widths;    // their relative widths
    QList<QStringList> Rows;
    QString EmptyText;    // the one line of a table without rows
};

// Where a part of a report is drawn: the printable area of the page, in
// device pixels, with millimetres converted at the device's resolution.
struct TReportCanvas
{
    QPainter &Painter;
    double Resolution;
    QSizeF Size;
    double Mm(double millimetres) const { return millimetres * Resolution / 25.4; }
};

struct TPagedTableParts
{
    // Drawn from top, with the height in millimetres the part takes.
    double HeadMm = 0;
    std::function<void(TReportCanvas &, double top)> Head;
    double ClosingMm = 0;
    std::function<void(TReportCanvas &, double top)> Closing;
};

// DejaVu has every letter of Serbian Latin; the PDF embeds what it uses.
KCOMMON_EXPORT QFont ReportFont(double points, bool bold = false);

// Paints the table on the device, page by page; false when the device
// cannot be painted on (a file that cannot be written, say).
KCOMMON_EXPORT bool PaintPagedTable(const TPagedTable &table, QPagedPaintDevice &device,
                                    const TPagedTableParts &parts);
