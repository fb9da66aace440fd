#include "PagedReport.h"

#include "InterfaceScript.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <numeric>
#include <vector>

QPageLayout PagedReportPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(15, 12, 12, 10),
                       QPageLayout::Millimeter);
}

QFont ReportFont(double points, bool bold, bool italic)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void SetReportRows(TPagedReport &report, QList<QStringList> rows)
{
    report.RowCount = rows.size();
    report.Row = [rows = std::move(rows)](qint64 row) { return TPagedReportRow{rows.at(row)}; };
}

namespace {

const QColor kRule(0x40, 0x40, 0x40);
const QColor kHeaderFill(0xe4, 0xe4, 0xe4);
const QColor kSectionFill(0xf0, 0xf0, 0xf0);
constexpr int kTextFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;

class Painter
{
public:
    Painter(const TPagedReport &report, QPagedPaintDevice &device, QPainter &painter)
        : r(report), p(painter), res(device.logicalDpiX()),
          size(device.pageLayout().paintRectPixels(device.logicalDpiX()).size()), canvas{painter, res, size},
          headerFont(ReportFont(report.FontPoints, true)), bodyFont(ReportFont(report.FontPoints)),
          secondaryFont(ReportFont(report.FontPoints, false, true)), sectionFont(ReportFont(report.FontPoints + 1.5, true)),
          bodyMetrics(bodyFont, &device), secondaryMetrics(secondaryFont, &device)
    {
        pad = mm(1);
        const int total = std::max(1, std::accumulate(r.Widths.begin(), r.Widths.end(), 0));
        double x = 0;
        for (int w : r.Widths) {
            left.push_back(x);
            x += size.width() * w / total;
        }
        left.push_back(size.width());
    }

    double mm(double v) const { return v * res / 25.4; }
    int columns() const { return int(r.Captions.size()); }
    double columnWidth(int c) const { return left[size_t(c) + 1] - left[size_t(c)]; }
    double bandHeight() const { return mm(10); }
    double footerHeight() const { return mm(8); }
    double titleHeight() const
    {
        return r.Parts.Head ? mm(r.Parts.HeadMm) : r.Subtitle.isEmpty() ? mm(14) : mm(20);
    }
    double closingHeight() const
    {
        return r.Parts.Closing ? mm(r.Parts.ClosingMm) : mm(4) + mm(5.5) * r.Closing.size();
    }
    double bottom() const { return size.height() - footerHeight(); }

    // Most cells hold one short line; only the others are wrapped to measure them.
    double rowHeight(const TPagedReportRow &row)
    {
        if (row.Section)
            return mm(7);
        const QFontMetricsF &fm = row.Secondary ? secondaryMetrics : bodyMetrics;
        QHash<QString, double> &known = row.Secondary ? secondaryAdvance : bodyAdvance;
        if (known.size() > 200000)
            known.clear();
        double h = fm.height();
        for (int c = 0; c < columns(); ++c) {
            const QString &text = row.Cells.value(c);
            const double width = columnWidth(c) - 2 * pad;
            auto it = known.constFind(text);
            if (it == known.constEnd())
                it = known.insert(text, text.contains(u'\n') ? 1e9 : fm.horizontalAdvance(text));
            if (*it > width)
                h = std::max(h, fm.boundingRect(QRectF(0, 0, width, 1e9), kTextFlags, text).height());
        }
        return h + 2 * pad;
    }

    double captionHeight()
    {
        p.setFont(headerFont);
        double h = 0;
        for (int c = 0; c < columns(); ++c)
            h = std::max(h, p.boundingRect(QRectF(0, 0, columnWidth(c) - 2 * pad, 1e9), kTextFlags, r.Captions[c]).height());
        return h + 2 * pad;
    }

    void band()
    {
        p.setPen(Qt::black);
        p.setFont(ReportFont(10, true));
        const QRectF line(0, 0, size.width(), mm(6));
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, r.Organization);
        p.setFont(ReportFont(8));
        p.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                   UiText(u"Odštampano: %1 u %2")
                       .arg(r.PrintedAt.toString(QStringLiteral("dd.MM.yyyy.")),
                            r.PrintedAt.toString(QStringLiteral("HH:mm"))));
        p.setPen(QPen(kRule, mm(0.3)));
        p.drawLine(QPointF(0, mm(7.5)), QPointF(size.width(), mm(7.5)));
    }

    void footer(int page, int pages)
    {
        const double top = bottom();
        p.setPen(QPen(kRule, mm(0.2)));
        p.drawLine(QPointF(0, top + mm(2)), QPointF(size.width(), top + mm(2)));
        p.setPen(Qt::black);
        p.setFont(ReportFont(8));
        const QRectF line(0, top + mm(3), size.width(), mm(5));
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, r.Title);
        p.drawText(line, Qt::AlignRight | Qt::AlignVCenter, UiText(u"Strana %1 od %2").arg(page).arg(pages));
    }

    double title(double y)
    {
        if (r.Parts.Head) {
            r.Parts.Head(canvas, y);
            return y + titleHeight();
        }
        p.setPen(Qt::black);
        p.setFont(ReportFont(15, true));
        p.drawText(QRectF(0, y + mm(1), size.width(), mm(9)), Qt::AlignCenter, r.Title);
        if (!r.Subtitle.isEmpty()) {
            p.setFont(ReportFont(10));
            p.drawText(QRectF(0, y + mm(10), size.width(), mm(6)), Qt::AlignCenter, r.Subtitle);
        }
        return y + titleHeight();
    }

    // A row of one line per cell, as nearly all are, is drawn without laying
    // its texts out again: it takes most of the time of a long book.
    double cells(double y, double height, const QStringList &texts, const QFont &font, const QColor &fill,
                 const QFontMetricsF *singleLine = nullptr)
    {
        if (fill.isValid())
            p.fillRect(QRectF(0, y, size.width(), height), fill);
        p.setPen(QPen(kRule, mm(0.15)));
        // Body rows leave the column rules to closeRun, one line per column and run.
        if (!singleLine)
            verticals(y, y + height);
        p.drawLine(QPointF(0, y + height), QPointF(size.width(), y + height));
        p.setPen(Qt::black);
        p.setFont(font);
        if (singleLine && height <= singleLine->height() + 2 * pad + 0.5) {
            const double baseline = y + pad + singleLine->ascent();
            for (int c = 0; c < columns(); ++c)
                if (!texts.value(c).isEmpty())
                    p.drawText(QPointF(left[size_t(c)] + pad, baseline), texts.value(c));
            return y + height;
        }
        for (int c = 0; c < columns(); ++c)
            if (!texts.value(c).isEmpty())
                p.drawText(QRectF(left[size_t(c)] + pad, y + pad, columnWidth(c) - 2 * pad, height - 2 * pad),
                           kTextFlags, texts.value(c));
        return y + height;
    }

    double header(double y, double height)
    {
        p.setPen(QPen(kRule, mm(0.15)));
        p.drawLine(QPointF(0, y), QPointF(size.width(), y));
        return cells(y, height, r.Captions, headerFont, kHeaderFill);
    }

    void verticals(double top, double bottom)
    {
        for (double x : left)
            p.drawLine(QPointF(x, top), QPointF(x, bottom));
    }

    // The column rules of the body rows painted since the last heading.
    void closeRun(double y)
    {
        if (runTop >= 0 && y > runTop) {
            p.setPen(QPen(kRule, mm(0.15)));
            verticals(runTop, y);
        }
        runTop = -1;
    }

    double section(double y, double height, const QString &text)
    {
        const QRectF box(0, y, size.width(), height);
        p.fillRect(box, kSectionFill);
        p.setPen(QPen(kRule, mm(0.15)));
        p.drawRect(box);
        p.setPen(Qt::black);
        p.setFont(sectionFont);
        p.drawText(box.adjusted(pad * 2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
        return y + height;
    }

    double row(double y, double height, const TPagedReportRow &row)
    {
        if (row.Section) {
            closeRun(y);
            return section(y, height, row.Cells.value(0));
        }
        if (runTop < 0)
            runTop = y;
        return cells(y, height, row.Cells, row.Secondary ? secondaryFont : bodyFont, QColor(),
                     row.Secondary ? &secondaryMetrics : &bodyMetrics);
    }

    double emptyRow(double y)
    {
        const double height = mm(8);
        p.setPen(QPen(kRule, mm(0.15)));
        p.drawRect(QRectF(0, y, size.width(), height));
        p.setPen(Qt::black);
        p.setFont(bodyFont);
        p.drawText(QRectF(0, y, size.width(), height), Qt::AlignCenter, r.EmptyText);
        return y + height;
    }

    void closing(double y)
    {
        if (r.Parts.Closing) {
            r.Parts.Closing(canvas, y);
            return;
        }
        p.setPen(Qt::black);
        p.setFont(ReportFont(9, true));
        y += mm(4);
        for (const QString &line : r.Closing) {
            p.drawText(QRectF(0, y, size.width(), mm(5)), Qt::AlignLeft | Qt::AlignVCenter, line);
            y += mm(5.5);
        }
    }

    const TPagedReport &r;
    QPainter &p;
    const double res;
    const QSizeF size;
    TReportCanvas canvas;
    const QFont headerFont, bodyFont, secondaryFont, sectionFont;
    const QFontMetricsF bodyMetrics, secondaryMetrics;
    double pad = 0;
    double runTop = -1;       // where the body rows without their column rules began
    std::vector<double> left; // column edges
    // Widths of texts measured already: dates, names and kinds repeat a lot.
    QHash<QString, double> bodyAdvance, secondaryAdvance;
};

// Where each page's rows begin; the pages after the last start hold the closing lines only.
struct Pages
{
    std::vector<qint64> First;
    bool ClosingAlone = false;
    int Count() const { return int(First.size()) + (ClosingAlone ? 1 : 0); }
};

} // namespace

TPaintOutcome PaintPagedReport(const TPagedReport &report, QPagedPaintDevice &device,
                               const std::function<bool(qint64, qint64)> &progress)
{
    QPainter painter;
    if (!painter.begin(&device))
        return TPaintOutcome::Failed;
    Painter l(report, device, painter);
    const qint64 total = 2 * report.RowCount; // measuring, then painting
    const auto goOn = [&](qint64 done) { return !progress || progress(done, total); };
    if (!goOn(0)) {
        painter.end();
        return TPaintOutcome::Cancelled;
    }

    // First pass: the rows' heights and where the pages break. A heading is
    // never left alone at a page's foot.
    const double headerHeight = l.captionHeight();
    std::vector<float> heights(size_t(report.RowCount));
    Pages pages;
    pages.First.push_back(0);
    double y = l.bandHeight() + l.titleHeight() + headerHeight + (report.RowCount == 0 ? l.mm(8) : 0);
    bool lastWasSection = false;
    for (qint64 i = 0; i < report.RowCount; ++i) {
        const TPagedReportRow row = report.Row(i);
        const double h = l.rowHeight(row);
        heights[size_t(i)] = float(h);
        const bool pageHasRows = i > pages.First.back();
        const double needed = row.Section ? h + l.mm(7) : h;
        if (pageHasRows && y + needed > l.bottom()) {
            // A heading that ended the page moves over with its first row.
            const qint64 first = lastWasSection && i - 1 > pages.First.back() ? i - 1 : i;
            pages.First.push_back(first);
            y = l.bandHeight() + headerHeight + (first < i ? heights[size_t(first)] : 0);
        }
        y += h;
        lastWasSection = row.Section;
        if (i % 2000 == 1999 && !goOn(i + 1)) {
            painter.end();
            return TPaintOutcome::Cancelled;
        }
    }
    pages.ClosingAlone = y + l.closingHeight() > l.bottom();

    // Second pass: page by page, asking for each row again.
    const int pageCount = pages.Count();
    for (int n = 0; n < pageCount; ++n) {
        if (n > 0 && !device.newPage()) {
            painter.end();
            return TPaintOutcome::Failed;
        }
        l.band();
        double at = l.bandHeight();
        if (n == 0)
            at = l.title(at);
        if (n < int(pages.First.size())) {
            at = l.header(at, headerHeight);
            if (report.RowCount == 0)
                at = l.emptyRow(at);
            const qint64 end = n + 1 < int(pages.First.size()) ? pages.First[size_t(n) + 1] : report.RowCount;
            for (qint64 i = pages.First[size_t(n)]; i < end; ++i)
                at = l.row(at, heights[size_t(i)], report.Row(i));
            l.closeRun(at);
            if (!goOn(report.RowCount + end)) {
                painter.end();
                return TPaintOutcome::Cancelled;
            }
        }
        if (n == pageCount - 1)
            l.closing(at);
        l.footer(n + 1, pageCount);
    }
    return painter.end() ? TPaintOutcome::Done : TPaintOutcome::Failed;
}
