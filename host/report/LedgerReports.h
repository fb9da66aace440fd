#pragma once
// The ledger's reports and exports that need no window, for scheduled jobs
// run from the console's command line. The console asks the ledger snap-in
// for it (QueryInterface) and never links the module.

#include "KInterfaces.h"

#include <QMap>
#include <QString>
#include <functional>

class KCOMMON_EXPORT ILedgerReports : public virtual IInterface
{
public:
    K_IID("{DAC94FC6-FFFB-4BD4-B0CE-DEB076A772CE}")

    // Rows written so far; false stops the export.
    using TProgress = std::function<bool(qint64 rows)>;

    // Writes the items the criteria select to fileName as CSV, newest first,
    // with the list's columns. The criteria are the search's, as texts by
    // key: "year", "direction" (caption or code), "datefrom" and "dateto"
    // (dd.MM.yyyy), "ledgernumber", "partner", "itemnumber", "accepted",
    // "archived", "passedon". Returns the number of items written. Throws
    // KException with a message for the user on a bad criterion, a file that
    // cannot be written or a database error, and EAbort when progress
    // stopped it; the file appears only when complete.
    virtual qint64 ExportCsv(const QMap<QString, QString> &criteria, const QString &fileName,
                             const TProgress &progress) = 0;

    // The register book of a year (as typed, "2026"), every direction, and
    // the numbering-continuity report of a year, as PDF files. Throw as
    // ExportCsv does; the file appears only when complete.
    virtual void SaveRegisterBook(const QString &year, const QString &fileName) = 0;
    virtual void SaveContinuityReport(const QString &year, const QString &fileName) = 0;
};
