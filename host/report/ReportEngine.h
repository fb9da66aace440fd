#pragma once
// The host's report engine. The handover record of ledger items prints the
// rows a data set holds, in their order, with the texts its fields display;
// a list prints what its grid shows (GridExport.h). Both go through the
// print preview, from where the user prints or saves a PDF, or straight into
// a PDF file without any window, and share one paged table (PagedReport.h).

#include "KExport.h"

#include <QObject>
#include <QString>

class TDBGrid;
class TDataSet;
struct THandoverRecord;
struct TPagedReport;

class KCOMMON_EXPORT TReportEngine : public QObject
{
    Q_OBJECT
public:
    explicit TReportEngine(QObject *owner = nullptr);
    ~TReportEngine() override;

    // The data set must have the ledger item's fields inusername, outusername,
    // ledgernumber, itemtype, itemdate, itemnumber and accepted.
    void ExecuteLedgerProceedingReport(TDataSet *dataSet, const QString &title);
    // Throws when the file cannot be written.
    void SaveLedgerProceedingReport(TDataSet *dataSet, const QString &title, const QString &fileName);

    // The list on A4 landscape under the title, with the count of its rows.
    void ExecuteGridReport(const TDBGrid &grid, const QString &title);
    // Throws when the file cannot be written.
    void SaveGridReport(const TDBGrid &grid, const QString &title, const QString &fileName);

    // The organisation's name heads every page; it is read from the
    // database-held settings of the data set's connection.
    static const QString OrganizationSection; // "Organization"
    static const QString OrganizationKey;     // "Name"
    static const QString DefaultOrganization; // when none is set

private:
    THandoverRecord ledgerProceedingRecord(TDataSet &dataSet, const QString &title) const;
    TPagedReport gridReport(const TDBGrid &grid, const QString &title) const;
};
