#pragma once
// Documents for the intake tests, drawn by the test itself: pages with every
// Serbian letter in both scripts at 300 dpi, as PNG, multi-page TIFF, a PDF
// with a text layer and one of pictures only; and the broken ones a clerk
// may bring: a damaged or password-protected PDF, a giant image's header.

#include "SerbianFold.h"
#include "data/QrCode.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <QtEndian>
#include <algorithm>
#include <numeric>
#include <vector>

inline const QStringList LatinPage{QStringLiteral("ABCČĆDDžĐEFGHIJKLLjMNNjOPRSŠTUVZŽ"),
                                   QStringLiteral("abcčćddžđefghijklljmnnjoprsštuvzž"),
                                   QStringLiteral("Ljubazni fenjerdžija čađavog lica hoće da mi pokaže štos.")};
inline const QStringList CyrillicPage{QStringLiteral("АБВГДЂЕЖЗИЈКЛЉМЊНОПРСТЋУФХЦЧЏШ"),
                                      QStringLiteral("абвгдђежзијклљмњнопрстћуфхцчџш"),
                                      QStringLiteral("Љубазни фењерџија чађавог лица хоће да ми покаже штос.")};

constexpr int TestDpi = 300;

// About 14 pt: large and clear.
inline QFont TestFont(int dpi)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(dpi / 5);
    return font;
}

// Draws the lines from the top left of a page dpi dots per inch, and below
// them the QR code of qrText (2.5 cm wide) when given.
inline void DrawTestLines(QPainter &painter, int dpi, const QStringList &lines, const QString &qrText = {})
{
    painter.setFont(TestFont(dpi));
    painter.setPen(Qt::black);
    double y = dpi;
    for (const QString &line : lines) {
        painter.drawText(QPointF(dpi, y), line);
        y += dpi / 2.5;
    }
    if (!qrText.isEmpty())
        PaintQr(painter, QRectF(dpi, y, dpi, dpi), EncodeQr(qrText));
}

// An A4 page at dpi, gray, as a scanner gives it.
inline QImage DrawTestPage(const QStringList &lines, const QString &qrText = {}, int dpi = TestDpi)
{
    QImage page(qRound(8.27 * dpi), qRound(11.69 * dpi), QImage::Format_Grayscale8);
    page.fill(Qt::white);
    page.setDotsPerMeterX(qRound(dpi / 0.0254));
    page.setDotsPerMeterY(qRound(dpi / 0.0254));
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawTestLines(painter, dpi, lines, qrText);
    return page;
}

// format: "png", "jpeg".
inline QByteArray TestImage(const QImage &page, const QByteArray &format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(page);
    return bytes;
}

inline QByteArray TestPng(const QImage &page)
{
    return TestImage(page, "png");
}

// A multi-page TIFF of gray pages, uncompressed, written by hand: Qt writes
// one page per file only.
inline QByteArray TestTiff(const QList<QImage> &pages)
{
    QByteArray tiff("II*\0\0\0\0\0", 8);
    auto put16 = [&](quint16 v) { tiff.append(reinterpret_cast<const char *>(&(v = qToLittleEndian(v))), 2); };
    auto put32 = [&](quint32 v) { tiff.append(reinterpret_cast<const char *>(&(v = qToLittleEndian(v))), 4); };
    auto patch32 = [&](qsizetype at, quint32 v) { qToLittleEndian(v, tiff.data() + at); };
    qsizetype link = 4; // where the next page's offset goes
    for (const QImage &picture : pages) {
        const QImage gray = picture.convertToFormat(QImage::Format_Grayscale8);
        const quint32 ifd = quint32(tiff.size());
        patch32(link, ifd);
        const quint32 resolution = ifd + 2 + 12 * 12 + 4;
        const quint32 pixels = resolution + 16;
        const quint32 w = quint32(gray.width()), h = quint32(gray.height());
        const quint32 dpi = quint32(qRound(gray.dotsPerMeterX() * 0.0254));
        struct Entry { quint16 tag, type; quint32 value; };
        const Entry entries[] = {{256, 4, w}, {257, 4, h}, {258, 3, 8}, {259, 3, 1}, {262, 3, 1}, {273, 4, pixels},
                                 {277, 3, 1}, {278, 4, h}, {279, 4, w * h}, {282, 5, resolution},
                                 {283, 5, resolution + 8}, {296, 3, 2}};
        put16(12);
        for (const Entry &e : entries) {
            put16(e.tag);
            put16(e.type);
            put32(1);
            e.type == 3 ? (put16(quint16(e.value)), put16(0)) : put32(e.value);
        }
        link = tiff.size();
        put32(0);
        for (int i = 0; i < 2; ++i) {
            put32(dpi);
            put32(1);
        }
        for (int y = 0; y < gray.height(); ++y)
            tiff.append(reinterpret_cast<const char *>(gray.constScanLine(y)), gray.width());
        if (tiff.size() % 2)
            tiff.append('\0');
    }
    return tiff;
}

// An A4 PDF whose pages carry the lines as text (Qt embeds the font and its
// Unicode map), each page's lines drawn as on a scanned page.
inline QByteArray TestTextPdf(const QList<QStringList> &pages, const QStringList &qrTexts = {})
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(TestDpi);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0)
            writer.newPage();
        DrawTestLines(painter, TestDpi, pages[i], qrTexts.value(i));
    }
    painter.end();
    return bytes;
}

// An A4 PDF of pictures only, as a scanner that makes PDFs gives it.
inline QByteArray TestPicturePdf(const QList<QImage> &pages)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(TestDpi);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0)
            writer.newPage();
        painter.drawImage(QRectF(0, 0, writer.width(), writer.height()), pages[i]);
    }
    painter.end();
    return bytes;
}

// A PDF written by hand from its objects ("1 0 obj" first), with its
// cross-reference table; trailer holds what the trailer adds to /Size.
inline QByteArray HandMadePdf(const QList<QByteArray> &objects, const QByteArray &trailer)
{
    QByteArray pdf("%PDF-1.4\n");
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + ' ' + trailer + " >>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

// One A4 page saying text in Helvetica: the same bytes on every machine.
inline QByteArray HandMadeTextPdf(const QByteArray &text)
{
    const QByteArray content = "BT /F1 24 Tf 72 720 Td (" + text + ") Tj ET";
    return HandMadePdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R "
                        "/Resources << /Font << /F1 5 0 R >> >> >>",
                        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "\nendstream",
                        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"},
                       "/Root 1 0 R");
}

// A one-page PDF under the standard security handler whose user password is
// not empty: no reader opens it without the password.
inline QByteArray PasswordPdf()
{
    const QByteArray key(32, 'A');
    return HandMadePdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>",
                        "<< /Filter /Standard /V 1 /R 2 /O <" + key.toHex() + "> /U <" + key.toHex() + "> /P -44 >>"},
                       "/Root 1 0 R /Encrypt 4 0 R /ID [<00112233445566778899AABBCCDDEEFF> "
                       "<00112233445566778899AABBCCDDEEFF>]");
}

// A PNG's signature and header for a width × height gray picture, a few
// bytes of its data and its end: enough for a reader to learn the size,
// never to decode it.
inline QByteArray PngHeaderOnly(quint32 width, quint32 height)
{
    auto chunk = [](const QByteArray &type, const QByteArray &data) {
        const QByteArray body = type + data;
        quint32 crc = 0xFFFFFFFFu;
        for (const char byte : body) {
            crc ^= quint8(byte);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        QByteArray out(4, '\0');
        qToBigEndian(quint32(data.size()), out.data());
        out += body;
        out += QByteArray(4, '\0');
        qToBigEndian(~crc, out.data() + out.size() - 4);
        return out;
    };
    QByteArray header(13, '\0');
    qToBigEndian(width, header.data());
    qToBigEndian(height, header.data() + 4);
    header[8] = 8; // bits per sample; colour type 0 (gray), no interlace
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", QByteArray(16, '\0'))
        + chunk("IEND", {});
}

// The letters OCR got wrong in a line: the fewest edits from expected to
// any line of read, both folded (case, diacritics and script do not count).
inline int OcrSlips(const QString &expected, const QString &read)
{
    const QString want = SerbianFold(expected);
    int best = int(want.size());
    for (const QString &line : read.split(u'\n')) {
        const QString got = SerbianFold(line.trimmed());
        std::vector<int> row(size_t(got.size()) + 1);
        std::iota(row.begin(), row.end(), 0);
        for (qsizetype i = 1; i <= want.size(); ++i) {
            int diagonal = row[0];
            row[0] = int(i);
            for (qsizetype j = 1; j <= got.size(); ++j) {
                const int above = row[size_t(j)];
                row[size_t(j)] = std::min({above + 1, row[size_t(j - 1)] + 1,
                                           diagonal + (want[i - 1] == got[j - 1] ? 0 : 1)});
                diagonal = above;
            }
        }
        best = std::min(best, row.back());
    }
    return best;
}
