#pragma once
// A scanner's picture read for intake: PNG, JPEG or TIFF, every page of a
// multi-page TIFF, each read by OCR and kept as a page of a PDF. A picture's
// size is checked from its header before it is decoded.

#include <QByteArray>
#include <QString>

class TIntakePageReading;

// "png", "jpeg" or "tiff" as content shows it; empty for anything else.
QByteArray IntakeImageFormat(const QByteArray &content);

// Hands the picture's pages to reading in order and returns them as a PDF.
// Throws KException naming fileName when a page is too large or damaged.
QByteArray ReadImagePages(const QByteArray &content, const QString &fileName, TIntakePageReading &reading);
