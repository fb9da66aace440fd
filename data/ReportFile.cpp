#include "ReportFile.h"

#include "DBIniFile.h"
#include "Dialogs.h"
#include "KException.h"
#include "PagedReport.h"
#include "ReportEngine.h"

#include <QDir>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

const QString LedgerDefaultOrganization = QStringLiteral("Delovodna služba");

QString ReportOrganization(TZConnection &connection)
{
    const QString name = TDBIniFile(&connection)
                             .ReadString(TReportEngine::OrganizationSection, TReportEngine::OrganizationKey, QString())
                             .trimmed();
    return name.isEmpty() ? LedgerDefaultOrganization : name;
}

bool SavePagedReportPdf(const TPagedReport &report, const QString &fileName,
                        const std::function<bool(qint64, qint64)> &progress)
{
    const auto unwritable = [&](const QString &why) {
        return KException(QStringLiteral("Dokument nije moguće upisati u datoteku „%1“: %2")
                              .arg(QDir::toNativeSeparators(fileName), why));
    };
    // Written beside the target and renamed over it only when complete.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw unwritable(file.errorString());
    TPaintOutcome outcome;
    {
        QPdfWriter writer(&file);
        writer.setTitle(report.Title);
        writer.setCreator(QStringLiteral("Delovodnik"));
        writer.setResolution(600);
        writer.setPageLayout(PagedReportPageLayout());
        outcome = PaintPagedReport(report, writer, progress);
    }
    if (outcome == TPaintOutcome::Cancelled) {
        file.cancelWriting();
        return false;
    }
    if (outcome == TPaintOutcome::Failed || !file.commit())
        throw unwritable(file.errorString());
    return true;
}

void PreviewPagedReport(const TPagedReport &report)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(report.Title);
    printer.setPageLayout(PagedReportPageLayout());
    Dialogs().PrintPreview(printer, [&report](QPrinter &target) {
        if (PaintPagedReport(report, target) != TPaintOutcome::Done)
            throw KException(QStringLiteral("Dokument „%1“ nije moguće odštampati.").arg(report.Title));
    });
}
