#pragma once
// Printing an item's receipt stamp: on a label of its own (62 × 29 mm unless
// the module's ini says otherwise, [Stamp] LabelWidth and LabelHeight in mm)
// or in a corner of an A4 page left free for it. The QR code sits on the
// left, the lines of data right of it.

#include <QPageLayout>
#include <QRectF>
#include <QSizeF>

class QPainter;
class QPrinter;
class QWidget;
class TZConnection;
struct TStamp;

enum class TStampPlace { Label, TopRight, TopLeft, BottomRight, BottomLeft };

// The label's size in mm from the ini; missing keys are written with the
// defaults so the file shows what can be set, a value that is no size from
// 10 to 300 mm keeps the default.
QSizeF StampLabelSize(const QString &iniPath);

// The paper: the label itself, or an A4 page; no margins either way.
QPageLayout StampPageLayout(TStampPlace place, const QSizeF &label);
// Where the stamp goes on that paper, in mm from its top left corner; on A4
// the stamp keeps 10 mm from the edges.
QRectF StampRectMm(TStampPlace place, const QSizeF &label);

// Draws the stamp into rect (device units); framed on a page, not on a label.
void PaintStamp(QPainter &painter, const QRectF &rect, const TStamp &stamp, bool framed);
// The whole page on a printer set up with StampPageLayout.
void PaintStampPage(QPrinter &printer, const TStamp &stamp, TStampPlace place, const QSizeF &label);

// "Štampaj štambilj": reads the item's stamp, asks where it goes and shows
// it in the print preview (printer or PDF). Throws KException when the item
// is gone.
void PrintItemStamp(TZConnection &connection, qint64 itemID, QWidget *parent);
