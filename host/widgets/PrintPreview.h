#pragma once
// The print preview the desktop dialogs show: Qt's preview with its commands
// in Serbian and one more, saving the pages as a PDF file.

#include <QPrintPreviewDialog>
#include <functional>

class TPrintPreviewDialog : public QPrintPreviewDialog
{
    Q_OBJECT
public:
    // paint draws the document on the printer it is given; it is called for
    // the preview, for printing and for the PDF file.
    TPrintPreviewDialog(QPrinter &printer, std::function<void(QPrinter &)> paint, QWidget *parent = nullptr);

    QAction *SavePdfAction() const { return m_savePdf; }
    // Writes the pages to a PDF file; throws when the file cannot be written.
    void SavePdf(const QString &fileName);

private:
    void translate();
    void savePdfExecute();

    QPrinter &m_printer;
    std::function<void(QPrinter &)> m_paint;
    QAction *m_savePdf = nullptr;
};
