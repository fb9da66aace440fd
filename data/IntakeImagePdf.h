#pragma once
// Scanned pictures made into one PDF, a page each, the page as large as the
// picture at its resolution: how a scan brought as an image is kept.

#include <QByteArray>
#include <QImage>
#include <memory>

class TImagePdf
{
public:
    TImagePdf();
    ~TImagePdf();
    TImagePdf(const TImagePdf &) = delete;
    TImagePdf &operator=(const TImagePdf &) = delete;

    void AddPage(const QImage &picture, int dpi);
    // The PDF's bytes; no page may be added after.
    QByteArray Finish();

private:
    struct TWriting;
    std::unique_ptr<TWriting> m_writing;
};
