#include "ReportFile.h"

#include "DBIniFile.h"
#include "Dialogs.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "PagedReport.h"
#include "ReportEngine.h"

#include <QDir>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QScopeGuard>

const QString LedgerDefaultOrganization = QStringLiteral("Delovodna služba");

QString ReportOrganization(TZConnection &connection)
{
    const QString name = TDBIniFile(&connection)
                             .ReadString(TReportEngine::OrganizationSection, TReportEngine::OrganizationKey, QString())
                             .trimmed();
    return name.isEmpty() ? LedgerDefaultOrganization : name;
}

QString PrintedOrganization(const QString &name, const TDataScript &script)
{
    return name == LedgerDefaultOrganization ? UiText(name) : PrintedData(name, script);
}

bool SavePagedReportPdf(const TPagedReport &report, const QString &fileName,
                        const std::function<bool(qint64, qint64)> &progress)
{
    const auto unwritable = [&](const QString &why) {
        return KException(UiText(u"Dokument nije moguće upisati u datoteku „%1“: %2")
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

void PreviewPagedReport(const TPagedReport &report, const QString &progressText)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(report.Title);
    printer.setPageLayout(PagedReportPageLayout());
    Dialogs().PrintPreview(printer, [&report, &progressText](QPrinter &target) {
        // A long document shows how far the painting got, and the desk paints meanwhile.
        bool shown = false;
        const auto ended = qScopeGuard([&shown] {
            if (shown)
                Dialogs().TaskProgressEnded();
        });
        std::function<bool(qint64, qint64)> progress;
        if (!progressText.isEmpty())
            progress = [&](qint64 done, qint64 total) {
                shown = true;
                return Dialogs().TaskProgress(progressText, done, total);
            };
        switch (PaintPagedReport(report, target, progress)) {
        case TPaintOutcome::Done: return;
        case TPaintOutcome::Cancelled: throw EAbort();
        case TPaintOutcome::Failed: break;
        }
        throw KException(UiText(u"Dokument „%1“ nije moguće odštampati.").arg(report.Title));
    });
}
