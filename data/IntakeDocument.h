#pragma once
// A document brought to the registry desk, as read for intake: the text of
// each page and where it came from, for an e-mail its header and its
// attachments, the QR codes found on its pages, and the PDF that becomes the
// item's scan. Reading never touches the database.
//
// Reading runs on a worker thread (the window shows progress and "Otkaži");
// pages without a text layer are read by OCR, several at once.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>

enum class TIntakeKind
{
    Pdf,
    Image, // PNG, JPEG, TIFF (every page of a multi-page TIFF)
    Mail,  // .eml
};

enum class TTextSource
{
    TextLayer, // the PDF's own text
    Ocr,       // read from the page's picture
    Mail,      // the e-mail's body
};

struct TIntakePage
{
    QString Text;
    TTextSource Source = TTextSource::TextLayer;
    // 0..1: OCR's mean word confidence; 1 for a text layer or a mail body.
    double Confidence = 1.0;
};

struct TMailHeader
{
    QString SenderName;    // "Opština Čačak"; may be empty
    QString SenderAddress; // "pisarnica@cacak.rs"
    QString Subject;       // decoded
    QDateTime Sent;        // invalid when the header has none
};

struct TIntakeAttachment
{
    QString FileName; // decoded
    QString MimeType; // "application/pdf", "image/png", ...
    QByteArray Data;  // decoded content
};

struct TIntakeDocument
{
    QString SourcePath;
    TIntakeKind Kind = TIntakeKind::Pdf;
    // SHA-256 of the file as received, lower-case hex: a second intake of the
    // same file is found by it.
    QString Sha256;
    QList<TIntakePage> Pages;
    std::optional<TMailHeader> Mail;
    QList<TIntakeAttachment> Attachments;
    // The texts of the QR codes found on the pages, in page order.
    QStringList QrCodes;
    // What becomes the item's scan: the PDF as received, an image converted
    // to PDF, or for an e-mail its first PDF/image attachment (converted) or
    // else a rendering of the message. Empty until made.
    QByteArray ScanPdf;

    // The pages' texts, a blank line between pages.
    QString Text() const
    {
        QStringList texts;
        for (const TIntakePage &page : Pages)
            texts << page.Text;
        return texts.join(QStringLiteral("\n\n"));
    }
};

// Progress of a reading: pages done of pages in all. Called from worker
// threads; must be cheap and thread-safe (the window queues it).
using TIntakeProgress = std::function<void(int done, int total)>;

struct TIntakeControl
{
    // Set from any thread; the reading stops at the next page and throws
    // EIntakeCancelled.
    std::atomic<bool> Cancel{false};
    TIntakeProgress Progress;
    // OCR languages as Tesseract names them.
    QString OcrLanguages = QStringLiteral("srp+srp_latn+eng");
};

struct EIntakeCancelled
{
};

// Reads the file by its content (not only its extension). Throws KException
// with the reason in Serbian for a 0-byte, damaged, password-protected or
// too large file or one of a kind not taken, and EIntakeCancelled when
// control.Cancel was set; then nothing is left behind.
TIntakeDocument ReadIntakeFile(const QString &path, TIntakeControl &control);
