#pragma once
// One page's picture read by Tesseract. Engines are kept between pages and
// documents (loading the languages' data takes longer than a page), one per
// page being read at a time, never shared by two threads.

#include <QImage>
#include <QString>
#include <functional>

struct TOcrText
{
    QString Text;
    double Confidence = 0.0; // Tesseract's mean word confidence, 0..1
};

// languages as Tesseract names them ("srp+srp_latn+eng"); dpi the picture's
// resolution. stopped is asked between words: once it answers true the
// reading ends early and what it read is to be thrown away. Throws
// KException when the languages' data are not installed.
TOcrText RecognizePage(const QImage &picture, int dpi, const QString &languages, const std::function<bool()> &stopped);
