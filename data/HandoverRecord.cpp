#include "HandoverRecord.h"

#include "InterfaceScript.h"
#include "PagedReport.h"
#include "data/ReportFile.h"

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
    p.drawText(QRectF(0, y + c.Mm(11), width, c.Mm(6)), Qt::AlignCenter, UiText(u"o primopredaji stavki delovodnika"));
    p.setFont(ReportFont(9));
    const QString blank(32, u'_');
    const QString recipient = r.Recipient.isEmpty() ? blank : r.Recipient;
    p.drawText(QRectF(0, y + c.Mm(21), width, c.Mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
               UiText(u"Primalac: ") + recipient);
    if (r.HandedOverBy.size() == 1)
        p.drawText(QRectF(0, y + c.Mm(26), width, c.Mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
                   UiText(u"Predaje: ") + r.HandedOverBy.first());
}

// Signature blocks: the handing colleagues down the left, the recipient on
// the right of the first; an empty record still leaves one to fill in.
constexpr double SignatureMm = 21;
constexpr double SignaturesTopMm = 18;
constexpr double ChainHeadMm = 7;

int signatureRows(const THandoverRecord &r)
{
    return qMax(1, int(r.HandedOverBy.size()));
}

double closingMm(const THandoverRecord &r)
{
    return SignaturesTopMm + SignatureMm * signatureRows(r) + (r.ChainHead.isEmpty() ? 0 : ChainHeadMm) + 4;
}

void paintSignature(TReportCanvas &c, double x, double y, double width, const QString &caption, const QString &name)
{
    QPainter &p = c.Painter;
    p.setFont(ReportFont(9, true));
    p.drawText(QRectF(x, y, width, c.Mm(5)), Qt::AlignCenter, caption);
    p.setPen(QPen(Qt::black, c.Mm(0.2)));
    p.drawLine(QPointF(x, y + c.Mm(14)), QPointF(x + width, y + c.Mm(14)));
    p.setFont(ReportFont(8));
    p.drawText(QRectF(x, y + c.Mm(15), width, c.Mm(5)), Qt::AlignCenter, name);
}

// The count, the acknowledgement, the signature lines and the chain head.
void paintClosing(const THandoverRecord &r, TReportCanvas &c, double y)
{
    QPainter &p = c.Painter;
    p.setPen(Qt::black);
    p.setFont(ReportFont(9, true));
    p.drawText(QRectF(0, y + c.Mm(4), c.Size.width(), c.Mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
               UiText(u"Ukupno stavki: %1").arg(r.Rows.size()));
    p.setFont(ReportFont(9));
    p.drawText(QRectF(0, y + c.Mm(10), c.Size.width(), c.Mm(5)), Qt::AlignLeft | Qt::AlignVCenter,
               UiText(u"Svojim potpisom primalac potvrđuje da je preuzeo navedene stavke."));
    const double width = c.Mm(65);
    const double top = y + c.Mm(SignaturesTopMm);
    paintSignature(c, c.Size.width() - width, top, width, UiText(u"Primio"), r.Recipient);
    const QStringList handing = r.HandedOverBy.isEmpty() ? QStringList{QString()} : r.HandedOverBy;
    for (int i = 0; i < handing.size(); ++i)
        paintSignature(c, 0, top + c.Mm(SignatureMm * i), width, UiText(u"Predao"), handing[i]);
    if (!r.ChainHead.isEmpty()) {
        p.setPen(Qt::black);
        p.setFont(ReportFont(7.5));
        p.drawText(QRectF(0, top + c.Mm(SignatureMm * signatureRows(r) + 2), c.Size.width(), c.Mm(5)),
                   Qt::AlignLeft | Qt::AlignVCenter, r.ChainHead);
    }
}

} // namespace

THandoverRecord HandoverRecordInScript(THandoverRecord record, const TDataScript &script)
{
    record.Organization = PrintedOrganization(record.Organization, script);
    if (!script)
        return record;
    const auto data = [&script](QString &text) { text = PrintedData(text, script); };
    data(record.Recipient);
    for (QString &name : record.HandedOverBy)
        data(name);
    for (QStringList &row : record.Rows)
        for (int c = 0; c < row.size(); ++c)
            if (!record.CaptionColumns.contains(c))
                data(row[c]);
    return record;
}

bool PaintHandoverRecord(const THandoverRecord &record, QPagedPaintDevice &device)
{
    TPagedReport report;
    report.Organization = record.Organization;
    report.Title = record.Title;
    report.PrintedAt = record.PrintedAt;
    report.Captions = record.Captions;
    report.Widths = record.Widths;
    report.EmptyText = UiText(u"Nema stavki za primopredaju.");
    SetReportRows(report, record.Rows);
    report.FontPoints = 8.5;
    report.Parts.HeadMm = 34;
    report.Parts.Head = [&record](TReportCanvas &c, double top) { paintTitle(record, c, top); };
    report.Parts.ClosingMm = closingMm(record);
    report.Parts.Closing = [&record](TReportCanvas &c, double top) { paintClosing(record, c, top); };
    return PaintPagedReport(report, device) == TPaintOutcome::Done;
}
