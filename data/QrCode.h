#pragma once
// A QR code's modules for a text, made by libqrencode (8-bit mode, error
// correction level M, the smallest version that holds the text).

#include <QByteArray>
#include <QString>

class QPainter;
class QRectF;

struct TQrCode
{
    int Size = 0;    // modules per side, without the quiet zone
    QByteArray Dark; // Size * Size, row by row: 1 dark, 0 light
    bool IsDark(int x, int y) const { return Dark.at(y * Size + x) != 0; }
};

// Throws KException when the text does not fit into a QR code.
TQrCode EncodeQr(const QString &text);
// Draws the code filling square, its quiet zone (in modules) inside it; a
// smaller one than the standard 4 only where white paper goes on around it.
void PaintQr(QPainter &painter, const QRectF &square, const TQrCode &code, int quiet = 4);
