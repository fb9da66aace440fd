#include "PrintPreview.h"

#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"

#include <QAction>
#include <QFileDialog>
#include <QHash>
#include <QPrinter>
#include <QStyle>
#include <QToolBar>

TPrintPreviewDialog::TPrintPreviewDialog(QPrinter &printer, std::function<void(QPrinter &)> paint, QWidget *parent)
    : QPrintPreviewDialog(&printer, parent), m_printer(printer), m_paint(std::move(paint))
{
    setObjectName(QStringLiteral("PrintPreviewDialog"));
    connect(this, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) {
        Guarded([&] { m_paint(*target); });
    });

    m_savePdf = new QAction(style()->standardIcon(QStyle::SP_DialogSaveButton), UiText(u"Sačuvaj PDF"), this);
    m_savePdf->setObjectName(QStringLiteral("SavePdfAction"));
    ConnectGuarded(m_savePdf, [this] { savePdfExecute(); });
    if (auto *toolbar = findChild<QToolBar *>()) {
        toolbar->addSeparator();
        toolbar->addAction(m_savePdf);
    }
    translate();
    resize(900, 640);
}

// Qt ships no Serbian texts for the preview; its commands are named here.
void TPrintPreviewDialog::translate()
{
    static const QHash<QString, QString> texts = {
        {QStringLiteral("Next page"), QStringLiteral("Sledeća strana")},
        {QStringLiteral("Previous page"), QStringLiteral("Prethodna strana")},
        {QStringLiteral("First page"), QStringLiteral("Prva strana")},
        {QStringLiteral("Last page"), QStringLiteral("Poslednja strana")},
        {QStringLiteral("Fit width"), QStringLiteral("Cela širina")},
        {QStringLiteral("Fit page"), QStringLiteral("Cela strana")},
        {QStringLiteral("Zoom in"), QStringLiteral("Uvećaj")},
        {QStringLiteral("Zoom out"), QStringLiteral("Umanji")},
        {QStringLiteral("Portrait"), QStringLiteral("Uspravno")},
        {QStringLiteral("Landscape"), QStringLiteral("Položeno")},
        {QStringLiteral("Show single page"), QStringLiteral("Jedna strana")},
        {QStringLiteral("Show facing pages"), QStringLiteral("Dve strane")},
        {QStringLiteral("Show overview of all pages"), QStringLiteral("Sve strane")},
        {QStringLiteral("Print"), QStringLiteral("Štampaj")},
        {QStringLiteral("Page setup"), QStringLiteral("Podešavanje strane")},
    };
    for (QAction *action : findChildren<QAction *>()) {
        const auto it = texts.find(action->text());
        if (it != texts.end())
            action->setText(UiText(*it));
    }
    const QString name = m_printer.docName();
    setWindowTitle(name.isEmpty() ? UiText(u"Pregled pre štampe")
                                  : UiText(u"Pregled pre štampe: ") + name);
}

void TPrintPreviewDialog::savePdfExecute()
{
    const QString suggested = (m_printer.docName().isEmpty() ? UiText(u"dokument") : m_printer.docName())
                              + QStringLiteral(".pdf");
    QString fileName = QFileDialog::getSaveFileName(this, UiText(u"Sačuvaj kao PDF"), suggested,
                                                    UiText(u"PDF dokumenti (*.pdf)"));
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".pdf");
    SavePdf(fileName);
}

void TPrintPreviewDialog::SavePdf(const QString &fileName)
{
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(fileName);
    pdf.setDocName(m_printer.docName());
    pdf.setPageLayout(m_printer.pageLayout());
    m_paint(pdf);
}
