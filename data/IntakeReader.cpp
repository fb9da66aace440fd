#include "data/IntakeDocument.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "data/IntakeImages.h"
#include "data/IntakeMail.h"
#include "data/IntakePageReading.h"
#include "data/IntakePdf.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <utility>

namespace {

bool hasText(const TIntakeDocument &document)
{
    for (const TIntakePage &page : document.Pages)
        if (!page.Text.trimmed().isEmpty())
            return true;
    return false;
}

// A mail's body first, then the pages of its first PDF or picture attached,
// which becomes the scan in place of the message's rendering.
void readMail(const QByteArray &content, const QString &path, TIntakeDocument &document, TIntakePageReading &reading)
{
    document = ReadIntakeMail(content, path);
    const QList<TIntakePage> body = std::exchange(document.Pages, {});
    reading.Expect(int(body.size()));
    for (const TIntakePage &page : body)
        reading.AddText(page.Text, page.Source);
    for (const TIntakeAttachment &attachment : std::as_const(document.Attachments)) {
        try {
            if (IsPdfContent(attachment.Data)) {
                ReadPdfPages(attachment.Data, attachment.FileName, reading);
                document.ScanPdf = attachment.Data;
                return;
            }
            if (!IntakeImageFormat(attachment.Data).isEmpty()) {
                document.ScanPdf = ReadImagePages(attachment.Data, attachment.FileName, reading);
                return;
            }
        } catch (const KException &e) {
            throw KException(UiText(u"Prilog poruke %1: %2").arg(QFileInfo(path).fileName(), e.message()));
        }
    }
}

// A letter's scan is a few megabytes; a larger file is a mistake, and would be
// held in memory several times over while it is read.
constexpr qint64 MaxIntakeBytes = 200 * 1024 * 1024;

} // namespace

TIntakeDocument ReadIntakeFile(const QString &path, TIntakeControl &control)
{
    const QString fileName = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw KException(UiText(u"Fajl %1 ne postoji ili ne može da se pročita.").arg(path));
    if (file.size() > MaxIntakeBytes)
        throw KException(UiText(u"Fajl %1 je prevelik: %2 MB (najviše 200 MB).")
                             .arg(fileName)
                             .arg(file.size() / (1024 * 1024)));
    const QByteArray content = file.readAll();
    if (content.isEmpty())
        throw KException(UiText(u"Fajl %1 je prazan (0 bajtova).").arg(fileName));

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
    } else if (LooksLikeMail(content)) {
        readMail(content, path, document, reading);
    } else {
        throw KException(UiText(u"Vrsta fajla nije podržana: %1. Prijem prima PDF, slike (PNG, JPEG, TIFF) "
                                        u"i e-poštu (.eml).")
                             .arg(fileName));
    }
    reading.Finish(document);
    if (!hasText(document) && document.QrCodes.isEmpty())
        throw KException(UiText(u"U dokumentu %1 nije pronađen nikakav tekst: sve strane su prazne.").arg(fileName));
    return document;
}
