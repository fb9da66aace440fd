#include "IntakeImages.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "data/IntakeImagePdf.h"
#include "data/IntakePageReading.h"

#include <QBuffer>
#include <QImageReader>

namespace {

// An A3 page scanned at 600 dpi has 70 million pixels.
constexpr qint64 MaxPagePixels = 100'000'000;
// Decoding such a page in colour takes 400 MB; nothing more is ever allocated.
constexpr int AllocationLimitMb = 512;
// A picture without a resolution (or a camera's 72 dpi) is taken for an A4 page.
constexpr int MinScanDpi = 100;
constexpr double A4LongSideInches = 11.69;

int pictureDpi(const QImage &picture)
{
    const int dpi = qRound(picture.dotsPerMeterX() * 0.0254);
    if (dpi >= MinScanDpi)
        return dpi;
    return std::max(1, qRound(std::max(picture.width(), picture.height()) / A4LongSideInches));
}

} // namespace

QByteArray IntakeImageFormat(const QByteArray &content)
{
    QByteArray bytes = content;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    return format == "png" || format == "jpeg" || format == "tiff" ? format : QByteArray();
}

QByteArray ReadImagePages(const QByteArray &content, const QString &fileName, TIntakePageReading &reading)
{
    QByteArray bytes = content;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, IntakeImageFormat(content));
    reader.setAllocationLimit(AllocationLimitMb);
    reader.setAutoTransform(true);
    const int pages = std::max(1, reader.imageCount());
    reading.Expect(pages);
    TImagePdf pdf;
    for (int page = 1; page <= pages; ++page) {
        reading.CheckCancel();
        if (page > 1 && !reader.jumpToNextImage())
            throw KException(UiText(u"Slika %1 je oštećena: strana %2 od %3 ne može da se pročita.")
                                 .arg(fileName).arg(page).arg(pages));
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() > MaxPagePixels)
            throw KException(UiText(u"Slika %1 je prevelika: %2 × %3 piksela (najviše 100 miliona piksela "
                                            u"po strani). Skenirajte je sa 300 dpi.")
                                 .arg(fileName).arg(size.width()).arg(size.height()));
        QImage picture;
        if (!reader.read(&picture))
            throw KException(pages > 1 ? UiText(u"Slika %1 je oštećena ili prevelika: strana %2 od %3 ne može "
                                                        u"da se pročita.")
                                             .arg(fileName).arg(page).arg(pages)
                                       : UiText(u"Slika %1 je oštećena ili prevelika i ne može da se pročita.")
                                             .arg(fileName));
        const int dpi = pictureDpi(picture);
        pdf.AddPage(picture, dpi);
        reading.AddPicture(picture, dpi);
    }
    return pdf.Finish();
}
