#pragma once
// An e-mail message (.eml) read for intake with GMime: the sender's name and
// address, the subject and the date from the header (encoded words decoded),
// the body as one page of text (the plain part, else the HTML part as text),
// and every attachment decoded. Its ScanPdf is a rendering of the message
// (header lines and body); ReadIntakeFile puts the first PDF or image
// attachment in its place and reads that attachment's pages too.

#include "data/IntakeDocument.h"

#include <QByteArray>
#include <QString>

// Whether content begins as a message header does ("From:", "Received:",
// "Return-Path:", "MIME-Version:", ... before the first blank line).
bool LooksLikeMail(const QByteArray &content);

// Throws KException with the reason in Serbian when content is no message.
// Kind is Mail, Sha256 is that of content, QrCodes empty.
TIntakeDocument ReadIntakeMail(const QByteArray &content, const QString &sourcePath);
