#include "ReportEngine.h"

#include "DBIniFile.h"
#include "DBGrid.h"
#include "Dialogs.h"
#include "GridExport.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ZQuery.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

const QString TReportEngine::OrganizationSection = QStringLiteral("Organization");
const QString TReportEngine::OrganizationKey = QStringLiteral("Name");

TReportEngine::TReportEngine(QObject *owner) : QObject(owner)
{
    setObjectName(QStringLiteral("ReportEngine"));
}

TReportEngine::~TReportEngine() = default;

namespace {

// The organisation named in the database-held settings of the data set's
// connection, else the default.
QString organization(const TDataSet *dataSet, const QString &fallback)
{
    if (auto *query = qobject_cast<const TZQuery *>(dataSet); query && query->Connection()) {
        const QString name = TDBIniFile(query->Connection())
                                 .ReadString(TReportEngine::OrganizationSection, TReportEngine::OrganizationKey, QString())
                                 .trimmed();
        if (!name.isEmpty())
            return name;
    }
    return fallback;
}

} // namespace

TPagedReport TReportEngine::gridReport(const TDBGrid &grid, const QString &title) const
{
    TPagedReport report = GridPagedReport(grid);
    report.Title = title;
    report.PrintedAt = QDateTime::currentDateTime();
    report.Organization = organization(grid.DataSet(), m_defaultOrganization);
    report.EmptyText = UiText(u"Lista je prazna.");
    report.Closing = {UiText(u"Ukupno stavki: %1").arg(report.RowCount)};
    report.FontPoints = 8;
    return report;
}

void TReportEngine::ExecuteGridReport(const TDBGrid &grid, const QString &title)
{
    const TPagedReport report = gridReport(grid, title);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setPageLayout(PagedReportPageLayout());
    Dialogs().PrintPreview(printer, [report](QPrinter &target) {
        if (PaintPagedReport(report, target) != TPaintOutcome::Done)
            throw KException(UiText(u"Listu nije moguće odštampati."));
    });
}

void TReportEngine::SaveGridReport(const TDBGrid &grid, const QString &title, const QString &fileName)
{
    const TPagedReport report = gridReport(grid, title);
    QPdfWriter writer(fileName);
    writer.setTitle(title);
    writer.setCreator(QCoreApplication::applicationName());
    writer.setResolution(600);
    writer.setPageLayout(PagedReportPageLayout());
    if (PaintPagedReport(report, writer) != TPaintOutcome::Done)
        throw KException(UiText(u"Listu nije moguće upisati u datoteku „%1“.").arg(QDir::toNativeSeparators(fileName)));
}
