#include "StampPrint.h"

#include "Dialogs.h"
#include "IniFile.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "data/LedgerDMUnit.h"
#include "data/QrCode.h"
#include "data/Stamp.h"
#include "screens/StampDialog.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace {

const QSizeF DefaultLabel(62, 29);
const double A4Edge = 10; // mm

double readMm(TIniFile &ini, const QString &key, double def, bool &wrote)
{
    const QString section = QStringLiteral("Stamp");
    if (!ini.Contains(section, key)) {
        ini.SetValue(section, key, QString::number(def));
        wrote = true;
        return def;
    }
    bool ok = false;
    const double mm = ini.Value(section, key).trimmed().replace(u',', u'.').toDouble(&ok);
    return ok && mm >= 10 && mm <= 300 ? mm : def;
}

// The lines' common size: the largest up to full at which each fits width,
// but not below half of it (a longer line is then cut with an ellipsis).
int fittedPixelSize(QFont font, double full, double width, const QStringList &lines, const QList<bool> &bold)
{
    font.setPixelSize(std::max(1, int(full)));
    double scale = 1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        font.setBold(bold.at(i));
        scale = std::min(scale, width / QFontMetricsF(font).horizontalAdvance(lines.at(i)));
    }
    // A little to spare: the printed glyphs are not always as narrow as measured.
    return std::max(1, int(full * std::max(scale * 0.95, 0.5)));
}

} // namespace

QSizeF StampLabelSize(const QString &iniPath)
{
    TIniFile ini(iniPath);
    bool wrote = false;
    const double width = readMm(ini, QStringLiteral("LabelWidth"), DefaultLabel.width(), wrote);
    const double height = readMm(ini, QStringLiteral("LabelHeight"), DefaultLabel.height(), wrote);
    if (wrote)
        ini.Save();
    return {width, height};
}

QPageLayout StampPageLayout(TStampPlace place, const QSizeF &label)
{
    const QPageSize size = place == TStampPlace::Label
                               ? QPageSize(label, QPageSize::Millimeter, UiText(u"Nalepnica"), QPageSize::ExactMatch)
                               : QPageSize(QPageSize::A4);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
}

QRectF StampRectMm(TStampPlace place, const QSizeF &label)
{
    const QSizeF a4(210, 297);
    const double right = a4.width() - A4Edge - label.width();
    const double bottom = a4.height() - A4Edge - label.height();
    switch (place) {
    case TStampPlace::Label: return QRectF(QPointF(0, 0), label);
    case TStampPlace::TopRight: return QRectF(QPointF(right, A4Edge), label);
    case TStampPlace::TopLeft: return QRectF(QPointF(A4Edge, A4Edge), label);
    case TStampPlace::BottomRight: return QRectF(QPointF(right, bottom), label);
    case TStampPlace::BottomLeft: return QRectF(QPointF(A4Edge, bottom), label);
    }
    return {};
}

void PaintStamp(QPainter &painter, const QRectF &rect, const TStamp &stamp, bool framed)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const double pad = rect.height() * 0.05;
    if (framed) {
        painter.setPen(QPen(Qt::black, rect.height() / 150));
        painter.drawRect(rect);
    }
    // The code as high as the stamp; with the margin around it, a quiet
    // zone of two modules leaves the text more room.
    const QRectF code(rect.topLeft() + QPointF(pad, pad), QSizeF(rect.height() - 2 * pad, rect.height() - 2 * pad));
    PaintQr(painter, code, EncodeQr(StampPayload(stamp)), 2);

    const QStringList lines = StampLines(stamp);
    // The organisation and the number stand out.
    QList<bool> bold;
    for (const QString &line : lines)
        bold << (bold.isEmpty() || line.startsWith(UiText(u"Delovodni broj")));
    const QRectF text(code.right() + pad, rect.top() + pad, rect.right() - 2 * pad - code.right(),
                      rect.height() - 2 * pad);
    const double lineHeight = text.height() / lines.size();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(fittedPixelSize(font, lineHeight * 0.7, text.width(), lines, bold));
    painter.setPen(Qt::black);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        font.setBold(bold.at(i));
        painter.setFont(font);
        const QRectF line(text.left(), text.top() + i * lineHeight, text.width(), lineHeight);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetricsF(font).elidedText(lines.at(i), Qt::ElideRight, line.width()));
    }
    painter.restore();
}

void PaintStampPage(QPrinter &printer, const TStamp &stamp, TStampPlace place, const QSizeF &label)
{
    QPainter painter(&printer);
    if (!painter.isActive())
        throw KException(UiText(u"Štambilj nije odštampan: štampač nije spreman."));
    // Millimetres from the paper's corner, whatever margins the printer keeps.
    const double perMm = printer.resolution() / 25.4;
    const QPointF paper = printer.pageLayout().paintRectPixels(printer.resolution()).topLeft();
    const QRectF mm = StampRectMm(place, label);
    const QRectF rect(mm.x() * perMm - paper.x(), mm.y() * perMm - paper.y(), mm.width() * perMm,
                      mm.height() * perMm);
    PaintStamp(painter, rect, stamp, place != TStampPlace::Label);
}

void PrintItemStamp(TZConnection &connection, qint64 itemID, QWidget *parent)
{
    const TStamp stamp = ReadStamp(connection, itemID);
    const QSizeF label = StampLabelSize(TLedgerDM::ApplicationIniFileName());
    TStampDialog dialog(stamp.LedgerNumber, label, parent);
    if (Dialogs().ShowModal(dialog) != QDialog::Accepted)
        return;
    const TStampPlace place = dialog.Place();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(UiText(u"Štambilj ") + QString(stamp.LedgerNumber).replace(u'/', u'-'));
    printer.setPageLayout(StampPageLayout(place, label));
    Dialogs().PrintPreview(printer, [&](QPrinter &target) { PaintStampPage(target, stamp, place, label); });
}
