#pragma once
// A PDF's pages read for intake with Qt PDF: a page's own text where it has
// one, else its picture at 300 dpi read by OCR; every page is searched for
// QR codes.

#include <QByteArray>
#include <QString>

class TIntakePageReading;

// Whether content is a PDF (its "%PDF-" mark near the start).
bool IsPdfContent(const QByteArray &content);

// Hands pdf's pages to reading in order. Throws KException naming fileName
// when the PDF is damaged, protected by a password or has no pages.
void ReadPdfPages(const QByteArray &pdf, const QString &fileName, TIntakePageReading &reading);
