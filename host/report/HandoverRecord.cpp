#include "HandoverRecord.h"

#include "PagedReport.h"

#include <QPainter>

QPageLayout HandoverRecordPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 12, 15, 12),
                       QPageLayout::Millimeter);
}

namespace {

// Title, what the record is about, and who takes the items over.
void paintTitle(const THandoverRecord &r, TReportCanvas &c, double y)
{
    QPainter &p = c.Painter;
    const double width = c.Size.width();
    p.setPen(Qt::black);
    p.setFont(ReportFont(16, true));
    p.drawText(QRectF(0, y + c.Mm(2), width, c.Mm(9)), Qt::AlignCenter, r.Title);
    p.setFont(ReportFont(10.5));
    p.drawText(QRectF(0, y + c.Mm(11), width, c.Mm(6)), Qt::AlignCenter, QStringLiteral("o primopredaji stavki delovodnika"));
    p.setFont(ReportFont(9));
    const QString blank(32, u'_');
    const QString recipient = r.Recipient.isEmpty() ? blank : r.Recipient;
    p.drawText(QRectF(0, y + c.Mm(21), width, c.Mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Primalac: ") + recipient);
    if (!r.HandedOverBy.isEmpty())
        p.drawText(QRectF(0, y + c.Mm(26), width, c.Mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Predaje: ") + r.HandedOverBy);
}

// The count, the acknowledgement and both signature lines.
void paintClosing(const THandoverRecord &r, TReportCanvas &c, double y)
{
    QPainter &p = c.Painter;
    p.setPen(Qt::black);
    p.setFont(ReportFont(9, true));
    p.drawText(QRectF(0, y + c.Mm(4), c.Size.width(), c.Mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Ukupno stavki: %1").arg(r.Rows.size()));
    p.setFont(ReportFont(9));
    p.drawText(QRectF(0, y + c.Mm(10), c.Size.width(), c.Mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Svojim potpisom primalac potvrđuje da je preuzeo navedene stavke."));
    const double width = c.Mm(65);
    const struct
    {
        QString Caption, Name;
        double X;
    } sides[] = {{QStringLiteral("Predao"), r.HandedOverBy, 0},
                 {QStringLiteral("Primio"), r.Recipient, c.Size.width() - width}};
    for (const auto &side : sides) {
        p.setFont(ReportFont(9, true));
        p.drawText(QRectF(side.X, y + c.Mm(20), width, c.Mm(5)), Qt::AlignCenter, side.Caption);
        p.setPen(QPen(Qt::black, c.Mm(0.2)));
        p.drawLine(QPointF(side.X, y + c.Mm(37)), QPointF(side.X + width, y + c.Mm(37)));
        p.setFont(ReportFont(8));
        p.drawText(QRectF(side.X, y + c.Mm(38), width, c.Mm(5)), Qt::AlignCenter, side.Name);
    }
}

} // namespace

bool PaintHandoverRecord(const THandoverRecord &record, QPagedPaintDevice &device)
{
    TPagedReport report;
    report.Organization = record.Organization;
    report.Title = record.Title;
    report.PrintedAt = record.PrintedAt;
    report.Captions = record.Captions;
    report.Widths = record.Widths;
    report.EmptyText = QStringLiteral("Nema stavki za primopredaju.");
    SetReportRows(report, record.Rows);
    report.FontPoints = 8.5;
    report.Parts.HeadMm = 34;
    report.Parts.Head = [&record](TReportCanvas &c, double top) { paintTitle(record, c, top); };
    report.Parts.ClosingMm = 46;
    report.Parts.Closing = [&record](TReportCanvas &c, double top) { paintClosing(record, c, top); };
    return PaintPagedReport(report, device) == TPaintOutcome::Done;
}
