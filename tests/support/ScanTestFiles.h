#pragma once
// Files for the scan and stamp tests: a scanned-documents folder of the
// test's own named in the module's ini, PDFs drawn for the test, and the
// poppler and zbar tools that read a printed PDF back.

#include "IniFile.h"
#include "data/LedgerDMUnit.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

// Points [Document] ScanDocDir of the module's ini at a new empty folder.
class ScanFolder
{
public:
    ScanFolder()
    {
        TIniFile ini(TLedgerDM::ApplicationIniFileName());
        ini.SetValue(QStringLiteral("Document"), QStringLiteral("ScanDocDir"), m_dir.path());
        ini.Save();
    }
    QString Path() const { return m_dir.path(); }
    QString File(const QString &name) const { return m_dir.filePath(name); }
    QString Scan(qint64 itemID) const { return File(QStringLiteral("l%1.pdf").arg(itemID)); }
    // The files there, or those of one item, in code point order.
    QStringList Files(qint64 itemID = 0) const
    {
        const QStringList filter{QStringLiteral("l%1.pdf").arg(itemID), QStringLiteral("l%1_*").arg(itemID)};
        QStringList files = QDir(m_dir.path()).entryList(itemID ? filter : QStringList(), QDir::Files);
        std::sort(files.begin(), files.end());
        return files;
    }

private:
    QTemporaryDir m_dir;
};

// An A4 PDF of the given pages, each saying "Strana n" in large letters.
inline bool WriteTestPdf(const QString &path, int pages)
{
    QPdfWriter writer(path);
    QPainter painter(&writer);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(writer.resolution() / 2);
    painter.setFont(font);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            writer.newPage();
        painter.drawText(QPointF(writer.resolution(), writer.resolution() * 2), QStringLiteral("Strana %1").arg(page));
    }
    return painter.end();
}

// What a command prints; empty when it failed to run.
inline QString ToolOutput(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(60000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// The QR codes zbarimg reads on the PDF's first page at 300 dpi, one a line.
inline QString PdfQrCodes(const QString &pdf)
{
    const QString png = pdf + QStringLiteral(".png");
    ToolOutput(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                             QStringLiteral("-singlefile"), pdf, pdf});
    return ToolOutput(QStringLiteral("zbarimg"), {QStringLiteral("-q"), QStringLiteral("--raw"), png}).trimmed();
}
