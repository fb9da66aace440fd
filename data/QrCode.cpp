#include "QrCode.h"

#include "InterfaceScript.h"
#include "KException.h"

#include <QPainter>
#include <QRectF>
#include <memory>

#include <qrencode.h>

TQrCode EncodeQr(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(int(utf8.size()), reinterpret_cast<const unsigned char *>(utf8.constData()), 0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!code)
        throw KException(UiText(u"QR kod nije napravljen: tekst „%1“ je predugačak.").arg(text));
    TQrCode result;
    result.Size = code->width;
    result.Dark.resize(qsizetype(code->width) * code->width);
    // Bit 0 of each byte is the module's colour; the others say what it belongs to.
    for (qsizetype i = 0; i < result.Dark.size(); ++i)
        result.Dark[i] = char(code->data[i] & 1);
    return result;
}

void PaintQr(QPainter &painter, const QRectF &square, const TQrCode &code, int quiet)
{
    const double module = std::min(square.width(), square.height()) / (code.Size + 2 * quiet);
    const QPointF origin = square.topLeft() + QPointF(quiet * module, quiet * module);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    // Each dark run of a row as one rectangle, a little wider so no hairline gap shows.
    for (int y = 0; y < code.Size; ++y)
        for (int x = 0; x < code.Size;) {
            if (!code.IsDark(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < code.Size && code.IsDark(end, y))
                ++end;
            painter.drawRect(QRectF(origin.x() + x * module, origin.y() + y * module, (end - x) * module,
                                    module * 1.02));
            x = end;
        }
    painter.restore();
}
