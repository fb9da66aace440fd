#pragma once
// The host's report engine: a list prints what its grid shows
// (GridExport.h), through the print preview, from where the user prints or
// saves a PDF, or straight into a PDF file without any window, as a paged
// table (PagedReport.h).

#include "KExport.h"

#include <QObject>
#include <QString>

class TDBGrid;
struct TPagedReport;

class KCOMMON_EXPORT TReportEngine : public QObject
{
    Q_OBJECT
public:
    explicit TReportEngine(QObject *owner = nullptr);
    ~TReportEngine() override;

    // The list on A4 landscape under the title, with the count of its rows.
    void ExecuteGridReport(const TDBGrid &grid, const QString &title);
    // Throws when the file cannot be written.
    void SaveGridReport(const TDBGrid &grid, const QString &title, const QString &fileName);

    // The organisation's name heads every page; it is read from the
    // database-held settings of the data set's connection.
    static const QString OrganizationSection; // "Organization"
    static const QString OrganizationKey;     // "Name"
    // The name when the settings hold none; empty until set.
    void SetDefaultOrganization(const QString &name) { m_defaultOrganization = name; }

private:
    TPagedReport gridReport(const TDBGrid &grid, const QString &title) const;
    QString m_defaultOrganization;
};
