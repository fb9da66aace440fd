#include "PagedTable.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <numeric>
#include <vector>

QFont ReportFont(double points, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

namespace {

const QColor kRule(0x40, 0x40, 0x40);
const QColor kHeaderFill(0xe4, 0xe4, 0xe4);

class Layout
{
public:
    Layout(const TPagedTable &table, TReportCanvas &canvas) : t(table), c(canvas), p(canvas.Painter)
    {
        pad = c.Mm(1.2);
        const int total = std::max(1, std::accumulate(t.Widths.begin(), t.Widths.end(), 0));
        double x = 0;
        for (int w : t.Widths) {
            left.push_back(x);
            x += c.Size.width() * w / total;
        }
        left.push_back(c.Size.width());
    }

    int columns() const { return int(t.Captions.size()); }
    double columnWidth(int col) const { return left[size_t(col) + 1] - left[size_t(col)]; }

    // Height of a row of cells in the font, wrapped at word boundaries.
    double rowHeight(const QStringList &cells, const QFont &font)
    {
        p.setFont(font);
        double h = 0;
        for (int col = 0; col < columns(); ++col) {
            const QRectF box(0, 0, columnWidth(col) - 2 * pad, 1e9);
            h = std::max(h, p.boundingRect(box, Qt::TextWordWrap, cells.value(col)).height());
        }
        return h + 2 * pad;
    }

    double bandHeight() const { return c.Mm(11); }
    double footerHeight() const { return c.Mm(9); }

    // Organisation and print time over a rule, on every page.
    void band()
    {
        p.setPen(Qt::black);
        p.setFont(ReportFont(10, true));
        const QRectF line(0, 0, c.Size.width(), c.Mm(6));
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, t.Organization);
        p.setFont(ReportFont(8));
        p.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Odštampano: %1").arg(t.PrintedAt.toString(QStringLiteral("dd.MM.yyyy. 'u' HH:mm"))));
        p.setPen(QPen(kRule, c.Mm(0.3)));
        p.drawLine(QPointF(0, c.Mm(7.5)), QPointF(c.Size.width(), c.Mm(7.5)));
    }

    void footer(int page, int pages)
    {
        const double top = c.Size.height() - footerHeight();
        p.setPen(QPen(kRule, c.Mm(0.2)));
        p.drawLine(QPointF(0, top + c.Mm(2)), QPointF(c.Size.width(), top + c.Mm(2)));
        p.setPen(Qt::black);
        p.setFont(ReportFont(8));
        const QRectF line(0, top + c.Mm(3), c.Size.width(), c.Mm(5));
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, t.Title);
        p.drawText(line, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Strana %1 od %2").arg(page).arg(pages));
    }

    double cells(double y, double height, const QStringList &texts, const QFont &font, const QColor &fill)
    {
        p.setFont(font);
        for (int col = 0; col < columns(); ++col) {
            const QRectF cell(left[size_t(col)], y, columnWidth(col), height);
            p.setPen(QPen(kRule, c.Mm(0.15)));
            p.setBrush(fill.isValid() ? QBrush(fill) : Qt::NoBrush);
            p.drawRect(cell);
            p.setPen(Qt::black);
            p.drawText(cell.adjusted(pad, pad, -pad, -pad), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                       texts.value(col));
        }
        p.setBrush(Qt::NoBrush);
        return y + height;
    }

    double emptyRow(double y, double height)
    {
        p.setPen(QPen(kRule, c.Mm(0.15)));
        p.drawRect(QRectF(0, y, c.Size.width(), height));
        p.setPen(Qt::black);
        p.setFont(ReportFont(8.5));
        p.drawText(QRectF(0, y, c.Size.width(), height), Qt::AlignCenter, t.EmptyText);
        return y + height;
    }

    const TPagedTable &t;
    TReportCanvas &c;
    QPainter &p;
    double pad = 0;
    std::vector<double> left; // column edges
};

struct Page
{
    int First = 0, Count = 0; // rows on it
    bool Table = false;       // it shows the table's header
    bool Closing = false;     // the report ends on it
};

} // namespace

bool PaintPagedTable(const TPagedTable &table, QPagedPaintDevice &device, const TPagedTableParts &parts)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing, true);
    TReportCanvas canvas{painter, double(device.logicalDpiX()),
                         device.pageLayout().paintRectPixels(device.logicalDpiX()).size()};
    Layout l(table, canvas);

    const QFont headerFont = ReportFont(8, true);
    const QFont bodyFont = ReportFont(8.5);
    const double headerHeight = l.rowHeight(table.Captions, headerFont);
    std::vector<double> heights;
    heights.reserve(size_t(table.Rows.size()));
    for (const QStringList &row : table.Rows)
        heights.push_back(l.rowHeight(row, bodyFont));
    const double emptyHeight = canvas.Mm(8);
    const double headHeight = canvas.Mm(parts.HeadMm);
    const double closingHeight = canvas.Mm(parts.ClosingMm);

    // Rows go on while they fit; the closing part follows them or takes a page of its own.
    const double bottom = canvas.Size.height() - l.footerHeight();
    std::vector<Page> pages{{0, 0, true, false}};
    double y = l.bandHeight() + headHeight + headerHeight + (table.Rows.isEmpty() ? emptyHeight : 0);
    for (int i = 0; i < int(heights.size()); ++i) {
        if (pages.back().Count > 0 && y + heights[size_t(i)] > bottom) {
            pages.push_back({i, 0, true, false});
            y = l.bandHeight() + headerHeight;
        }
        ++pages.back().Count;
        y += heights[size_t(i)];
    }
    if (y + closingHeight > bottom)
        pages.push_back({int(heights.size()), 0, false, true});
    else
        pages.back().Closing = true;

    for (size_t n = 0; n < pages.size(); ++n) {
        const Page &page = pages[n];
        if (n > 0)
            device.newPage();
        l.band();
        double at = l.bandHeight();
        if (n == 0 && parts.Head) {
            parts.Head(canvas, at);
            at += headHeight;
        }
        if (page.Table) {
            at = l.cells(at, headerHeight, table.Captions, headerFont, kHeaderFill);
            if (table.Rows.isEmpty())
                at = l.emptyRow(at, emptyHeight);
            for (int i = page.First; i < page.First + page.Count; ++i)
                at = l.cells(at, heights[size_t(i)], table.Rows[i], bodyFont, QColor());
        }
        if (page.Closing && parts.Closing)
            parts.Closing(canvas, at);
        l.footer(int(n) + 1, int(pages.size()));
    }
    return painter.end();
}
