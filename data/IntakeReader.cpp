#include "data/IntakeDocument.h"

#include "KException.h"
#include "data/IntakeImages.h"
#include "data/IntakePageReading.h"
#include "data/IntakePdf.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {

bool hasText(const TIntakeDocument &document)
{
    for (const TIntakePage &page : document.Pages)
        if (!page.Text.trimmed().isEmpty())
            return true;
    return false;
}

// A message's header: "Name: value" lines up to the first blank line, one of
// them naming a sender or a MIME version.
bool looksLikeMessage(const QByteArray &content)
{
    const QByteArray head = content.left(4096);
    const qsizetype end = head.indexOf("\n\n") >= 0 ? head.indexOf("\n\n") : head.indexOf("\r\n\r\n");
    const QByteArray header = head.left(end).toLower();
    return end > 0 && (header.startsWith("from:") || header.startsWith("received:") || header.startsWith("return-path:")
                       || header.startsWith("mime-version:") || header.contains("\nfrom:"));
}

} // namespace

TIntakeDocument ReadIntakeFile(const QString &path, TIntakeControl &control)
{
    const QString fileName = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw KException(QStringLiteral("Fajl %1 ne postoji ili ne može da se pročita.").arg(path));
    const QByteArray content = file.readAll();
    if (content.isEmpty())
        throw KException(QStringLiteral("Fajl %1 je prazan (0 bajtova).").arg(fileName));

    TIntakeDocument document;
    document.SourcePath = path;
    document.Sha256 = QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex());
    TIntakePageReading reading(control);
    reading.CheckCancel();
    if (IsPdfContent(content)) {
        document.Kind = TIntakeKind::Pdf;
        ReadPdfPages(content, fileName, reading);
        document.ScanPdf = content;
    } else if (!IntakeImageFormat(content).isEmpty()) {
        document.Kind = TIntakeKind::Image;
        document.ScanPdf = ReadImagePages(content, fileName, reading);
    } else if (looksLikeMessage(content)) {
        throw KException(QStringLiteral("E-pošta još nije podržana: %1.").arg(fileName));
    } else {
        throw KException(QStringLiteral("Vrsta fajla nije podržana: %1. Prijem prima PDF, slike (PNG, JPEG, TIFF) "
                                        "i e-poštu (.eml).")
                             .arg(fileName));
    }
    reading.Finish(document);
    if (!hasText(document) && document.QrCodes.isEmpty())
        throw KException(QStringLiteral("U dokumentu %1 nije pronađen nikakav tekst: sve strane su prazne.").arg(fileName));
    return document;
}
