#pragma once
// A document made of one long table over many pages: the organisation and the
// print time head every page, the title opens the first, the table's header
// repeats on every page, section rows span the table, closing lines follow
// it, and "Strana N od M" stands at every page's foot. Rows are asked for by
// index while a page is painted, so nothing beyond one height per row (and a
// bounded cache of text widths) is kept for the whole document.

#include "KExport.h"

#include <QDateTime>
#include <QList>
#include <QPageLayout>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;

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
};

// A4 landscape, the register's paper.
KCOMMON_EXPORT QPageLayout PagedReportPageLayout();

enum class TPaintOutcome { Done, Failed, Cancelled };

// Paints the document on the device. progress is asked now and then with the
// work done of the total; answering false stops painting (Cancelled). Failed
// when the device cannot be painted on.
KCOMMON_EXPORT TPaintOutcome PaintPagedReport(const TPagedReport &report, QPagedPaintDevice &device,
                                              const std::function<bool(qint64 done, qint64 total)> &progress = {});
