#pragma once
// The texts of an e-mail as intake shows and keeps them: a part's bytes in
// its declared charset, an HTML body as plain text, and the message drawn
// on A4 as the PDF that stands for it.

#include "data/IntakeDocument.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// bytes in charset (a MIME name: "utf-8", "ISO-8859-2", "windows-1250"...).
// Without a charset, or with one that does not fit the bytes, UTF-8 when the
// bytes are valid UTF-8 and else Windows-1250, what Serbian mail
// programs write. Line ends become "\n".
QString DecodeMailText(const QByteArray &bytes, const QByteArray &charset);

// The text a reader sees in the HTML: no tags, no style sheets or scripts,
// entities resolved, a line per paragraph.
QString MailHtmlToText(const QString &html);

// The "Od", "Za", "Datum", "Predmet" (and "Prilozi") lines, then the body,
// as an A4 PDF.
QByteArray RenderMailPdf(const TMailHeader &header, const QString &to, const QString &body,
                         const QStringList &attachmentNames);
