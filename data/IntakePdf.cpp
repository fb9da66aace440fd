#include "IntakePdf.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "data/IntakePageReading.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfSelection>
#include <cmath>

namespace {

constexpr int OcrDpi = 300;
// A stamp's QR code has modules of about 0.7 mm: four pixels each at this.
constexpr int QrDpi = 150;
// A page smaller than this is read whole; a poster is read at less than 300 dpi.
constexpr double MaxPagePixels = 60e6;
// Fewer letters and digits than this is a scan's stray text (a page number,
// the scanner's name), not the page's text: the picture is read instead.
constexpr int MinTextLayerCharacters = 20;

bool hasRealText(const QString &text)
{
    int count = 0;
    for (const QChar c : text)
        if (c.isLetterOrNumber() && ++count >= MinTextLayerCharacters)
            return true;
    return false;
}

// The page on white (Qt PDF leaves the paper transparent), in gray; dpi
// lowered for a page too large for it.
QImage renderPage(QPdfDocument &document, int page, int &dpi)
{
    const QSizeF points = document.pagePointSize(page);
    double scale = dpi / 72.0;
    if (points.width() * points.height() * scale * scale > MaxPagePixels) {
        scale = std::sqrt(MaxPagePixels / (points.width() * points.height()));
        dpi = std::max(1, int(scale * 72.0));
    }
    const QSize size(std::max(1, qRound(points.width() * scale)), std::max(1, qRound(points.height() * scale)));
    const QImage rendered = document.render(page, size);
    QImage paper(size, QImage::Format_Grayscale8);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, rendered);
    painter.end();
    return paper;
}

QString loadProblem(QPdfDocument::Error error, const QString &fileName)
{
    switch (error) {
    case QPdfDocument::Error::IncorrectPassword:
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return UiText(u"PDF dokument %1 je zaštićen lozinkom. Sačuvajte ga bez lozinke pa ponovite prijem.")
            .arg(fileName);
    default:
        return UiText(u"PDF dokument %1 je oštećen i ne može da se pročita.").arg(fileName);
    }
}

} // namespace

bool IsPdfContent(const QByteArray &content)
{
    // Readers accept a few bytes of junk before the mark; so do we.
    return content.left(1024).contains("%PDF-");
}

void ReadPdfPages(const QByteArray &pdf, const QString &fileName, TIntakePageReading &reading)
{
    QByteArray bytes = pdf;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&buffer);
    if (document.status() != QPdfDocument::Status::Ready)
        throw KException(loadProblem(document.error(), fileName));
    const int pages = document.pageCount();
    if (pages <= 0)
        throw KException(UiText(u"PDF dokument %1 nema nijednu stranu.").arg(fileName));
    reading.Expect(pages);
    for (int page = 0; page < pages; ++page) {
        reading.CheckCancel();
        // The same line ends as OCR's.
        const QString text = document.getAllText(page).text().replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        int dpi = hasRealText(text) ? QrDpi : OcrDpi;
        const QImage picture = renderPage(document, page, dpi);
        if (hasRealText(text))
            reading.AddText(text, TTextSource::TextLayer, picture);
        else
            reading.AddPicture(picture, dpi);
    }
}
