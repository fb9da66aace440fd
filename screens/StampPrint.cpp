#include "StampPrint.h"

#include "Dialogs.h"
#include "IniFile.h"
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

// The line in the largest size up to full that fits width; below two
// thirds of it the text is cut with an ellipsis instead.
void drawFitted(QPainter &painter, QFont font, double full, const QRectF &line, const QString &text)
{
    font.setPixelSize(std::max(1, int(full)));
    double width = QFontMetricsF(font).horizontalAdvance(text);
    if (width > line.width()) {
        font.setPixelSize(std::max(1, int(std::max(full * 2 / 3, full * line.width() / width))));
    }
    painter.setFont(font);
    const QString shown = QFontMetricsF(font).elidedText(text, Qt::ElideRight, line.width());
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, shown);
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
                               ? QPageSize(label, QPageSize::Millimeter, QStringLiteral("Nalepnica"), QPageSize::ExactMatch)
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
    // The code as high as the stamp: its quiet zone is the margin on the left.
    const QRectF code(rect.topLeft() + QPointF(0, pad), QSizeF(rect.height() - 2 * pad, rect.height() - 2 * pad));
    PaintQr(painter, code, EncodeQr(StampPayload(stamp)));

    const QStringList lines = StampLines(stamp);
    const QRectF text(code.right(), rect.top() + pad, rect.right() - pad - code.right(), rect.height() - 2 * pad);
    const double lineHeight = text.height() / lines.size();
    painter.setPen(Qt::black);
    QFont font(QStringLiteral("DejaVu Sans"));
    for (int i = 0; i < lines.size(); ++i) {
        // The organisation and the number stand out.
        font.setBold(i == 0 || lines.at(i).startsWith(QLatin1String("Delovodni broj")));
        const QRectF line(text.left(), text.top() + i * lineHeight, text.width(), lineHeight);
        drawFitted(painter, font, lineHeight * 0.7, line, lines.at(i));
    }
    painter.restore();
}

void PaintStampPage(QPrinter &printer, const TStamp &stamp, TStampPlace place, const QSizeF &label)
{
    QPainter painter(&printer);
    if (!painter.isActive())
        throw KException(QStringLiteral("Štambilj nije odštampan: štampač nije spreman."));
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
    printer.setDocName(QStringLiteral("Štambilj ") + QString(stamp.LedgerNumber).replace(u'/', u'-'));
    printer.setPageLayout(StampPageLayout(place, label));
    Dialogs().PrintPreview(printer, [&](QPrinter &target) { PaintStampPage(target, stamp, place, label); });
}
