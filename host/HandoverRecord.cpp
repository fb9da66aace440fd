#include "HandoverRecord.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <numeric>
#include <vector>

QPageLayout HandoverRecordPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 12, 15, 12),
                       QPageLayout::Millimeter);
}

namespace {

// DejaVu has every letter of Serbian Latin; the PDF embeds what it uses.
QFont recordFont(double points, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

const QColor kRule(0x40, 0x40, 0x40);
const QColor kHeaderFill(0xe4, 0xe4, 0xe4);

class Layout
{
public:
    Layout(const THandoverRecord &record, QPagedPaintDevice &device, QPainter &painter)
        : r(record), p(painter), res(device.logicalDpiX()),
          size(device.pageLayout().paintRectPixels(device.logicalDpiX()).size())
    {
        pad = mm(1.2);
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

    // Height of a row of cells in the font, wrapped at word boundaries.
    double rowHeight(const QStringList &cells, const QFont &font)
    {
        p.setFont(font);
        double h = 0;
        for (int c = 0; c < columns(); ++c) {
            const QRectF box(0, 0, columnWidth(c) - 2 * pad, 1e9);
            h = std::max(h, p.boundingRect(box, Qt::TextWordWrap, cells.value(c)).height());
        }
        return h + 2 * pad;
    }

    double bandHeight() const { return mm(11); }
    double footerHeight() const { return mm(9); }
    double titleHeight() const { return mm(34); }
    double closingHeight() const { return mm(46); }

    // Organisation and print time over a rule, on every page.
    void band()
    {
        p.setPen(Qt::black);
        p.setFont(recordFont(10, true));
        const QRectF line(0, 0, size.width(), mm(6));
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, r.Organization);
        p.setFont(recordFont(8));
        p.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Odštampano: %1").arg(r.PrintedAt.toString(QStringLiteral("dd.MM.yyyy. 'u' HH:mm"))));
        p.setPen(QPen(kRule, mm(0.3)));
        p.drawLine(QPointF(0, mm(7.5)), QPointF(size.width(), mm(7.5)));
    }

    void footer(int page, int pages)
    {
        const double top = size.height() - footerHeight();
        p.setPen(QPen(kRule, mm(0.2)));
        p.drawLine(QPointF(0, top + mm(2)), QPointF(size.width(), top + mm(2)));
        p.setPen(Qt::black);
        p.setFont(recordFont(8));
        const QRectF line(0, top + mm(3), size.width(), mm(5));
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, r.Title);
        p.drawText(line, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Strana %1 od %2").arg(page).arg(pages));
    }

    // Title, what the record is about, and who takes the items over.
    double title(double y)
    {
        p.setPen(Qt::black);
        p.setFont(recordFont(16, true));
        p.drawText(QRectF(0, y + mm(2), size.width(), mm(9)), Qt::AlignCenter, r.Title);
        p.setFont(recordFont(10.5));
        p.drawText(QRectF(0, y + mm(11), size.width(), mm(6)), Qt::AlignCenter,
                   QStringLiteral("o primopredaji stavki delovodnika"));
        p.setFont(recordFont(9));
        const QString blank(32, u'_');
        const QString recipient = r.Recipient.isEmpty() ? blank : r.Recipient;
        p.drawText(QRectF(0, y + mm(21), size.width(), mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Primalac: ") + recipient);
        if (!r.HandedOverBy.isEmpty())
            p.drawText(QRectF(0, y + mm(26), size.width(), mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("Predaje: ") + r.HandedOverBy);
        return y + titleHeight();
    }

    double cells(double y, double height, const QStringList &texts, const QFont &font, const QColor &fill)
    {
        p.setFont(font);
        for (int c = 0; c < columns(); ++c) {
            const QRectF cell(left[size_t(c)], y, columnWidth(c), height);
            p.setPen(QPen(kRule, mm(0.15)));
            p.setBrush(fill.isValid() ? QBrush(fill) : Qt::NoBrush);
            p.drawRect(cell);
            p.setPen(Qt::black);
            p.drawText(cell.adjusted(pad, pad, -pad, -pad), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                       texts.value(c));
        }
        p.setBrush(Qt::NoBrush);
        return y + height;
    }

    double emptyRow(double y, double height)
    {
        p.setPen(QPen(kRule, mm(0.15)));
        p.drawRect(QRectF(0, y, size.width(), height));
        p.setPen(Qt::black);
        p.setFont(recordFont(8.5));
        p.drawText(QRectF(0, y, size.width(), height), Qt::AlignCenter, QStringLiteral("Nema stavki za primopredaju."));
        return y + height;
    }

    // The count, the acknowledgement and both signature lines.
    void closing(double y)
    {
        p.setPen(Qt::black);
        p.setFont(recordFont(9, true));
        p.drawText(QRectF(0, y + mm(4), size.width(), mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Ukupno stavki: %1").arg(r.Rows.size()));
        p.setFont(recordFont(9));
        p.drawText(QRectF(0, y + mm(10), size.width(), mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Svojim potpisom primalac potvrđuje da je preuzeo navedene stavke."));
        const double width = mm(65);
        const struct
        {
            QString Caption, Name;
            double X;
        } sides[] = {{QStringLiteral("Predao"), r.HandedOverBy, 0},
                     {QStringLiteral("Primio"), r.Recipient, size.width() - width}};
        for (const auto &side : sides) {
            p.setFont(recordFont(9, true));
            p.drawText(QRectF(side.X, y + mm(20), width, mm(5)), Qt::AlignCenter, side.Caption);
            p.setPen(QPen(Qt::black, mm(0.2)));
            p.drawLine(QPointF(side.X, y + mm(37)), QPointF(side.X + width, y + mm(37)));
            p.setFont(recordFont(8));
            p.drawText(QRectF(side.X, y + mm(38), width, mm(5)), Qt::AlignCenter, side.Name);
        }
    }

    const THandoverRecord &r;
    QPainter &p;
    const double res;
    const QSizeF size;
    double pad = 0;
    std::vector<double> left; // column edges
};

struct Page
{
    int First = 0, Count = 0; // rows on it
    bool Table = false;       // it shows the table's header
    bool Closing = false;     // the record ends on it
};

} // namespace

bool PaintHandoverRecord(const THandoverRecord &record, QPagedPaintDevice &device)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing, true);
    Layout l(record, device, painter);

    const QFont headerFont = recordFont(8, true);
    const QFont bodyFont = recordFont(8.5);
    const double headerHeight = l.rowHeight(record.Captions, headerFont);
    std::vector<double> heights;
    heights.reserve(size_t(record.Rows.size()));
    for (const QStringList &row : record.Rows)
        heights.push_back(l.rowHeight(row, bodyFont));
    const double emptyHeight = l.mm(8);

    // Rows go on while they fit; the closing part follows them or takes a page of its own.
    const double bottom = l.size.height() - l.footerHeight();
    std::vector<Page> pages{{0, 0, true, false}};
    double y = l.bandHeight() + l.titleHeight() + headerHeight + (record.Rows.isEmpty() ? emptyHeight : 0);
    for (int i = 0; i < int(heights.size()); ++i) {
        if (pages.back().Count > 0 && y + heights[size_t(i)] > bottom) {
            pages.push_back({i, 0, true, false});
            y = l.bandHeight() + headerHeight;
        }
        ++pages.back().Count;
        y += heights[size_t(i)];
    }
    if (y + l.closingHeight() > bottom) {
        pages.push_back({int(heights.size()), 0, false, true});
    } else {
        pages.back().Closing = true;
    }

    for (size_t n = 0; n < pages.size(); ++n) {
        const Page &page = pages[n];
        if (n > 0)
            device.newPage();
        l.band();
        double at = l.bandHeight();
        if (n == 0)
            at = l.title(at);
        if (page.Table) {
            at = l.cells(at, headerHeight, record.Captions, headerFont, kHeaderFill);
            if (record.Rows.isEmpty())
                at = l.emptyRow(at, emptyHeight);
            for (int i = page.First; i < page.First + page.Count; ++i)
                at = l.cells(at, heights[size_t(i)], record.Rows[i], bodyFont, QColor());
        }
        if (page.Closing)
            l.closing(at);
        l.footer(int(n) + 1, int(pages.size()));
    }
    return painter.end();
}
