#include "IntakeImagePdf.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

struct TImagePdf::TWriting
{
    QByteArray Bytes;
    QBuffer Buffer{&Bytes};
    QPdfWriter Writer{&Buffer};
    QPainter Painter;
    int Pages = 0;
};

TImagePdf::TImagePdf() : m_writing(std::make_unique<TWriting>())
{
    m_writing->Buffer.open(QIODevice::WriteOnly);
    m_writing->Writer.setCreator(QStringLiteral("Delovodnik"));
    m_writing->Writer.setPageMargins(QMarginsF(0, 0, 0, 0));
}

TImagePdf::~TImagePdf()
{
    if (m_writing->Painter.isActive())
        m_writing->Painter.end();
}

void TImagePdf::AddPage(const QImage &picture, int dpi)
{
    TWriting &w = *m_writing;
    const QSizeF inches(double(picture.width()) / dpi, double(picture.height()) / dpi);
    w.Writer.setPageSize(QPageSize(inches, QPageSize::Inch, QString(), QPageSize::ExactMatch));
    w.Writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    if (w.Pages == 0)
        w.Painter.begin(&w.Writer);
    else
        w.Writer.newPage();
    const QRect page = w.Writer.pageLayout().fullRectPixels(w.Writer.resolution());
    w.Painter.drawImage(QRectF(QPointF(0, 0), QSizeF(page.size())), picture);
    ++w.Pages;
}

QByteArray TImagePdf::Finish()
{
    m_writing->Painter.end();
    m_writing->Buffer.close();
    return m_writing->Bytes;
}
