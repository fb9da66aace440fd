#pragma once
// Writing a paged report as a PDF file all at once or not at all, and
// showing it in the print preview. Shared by the ledger's printed books.

#include "DataScript.h"

#include <QString>
#include <functional>

struct TPagedReport;
class TZConnection;

// Heads the ledger's reports when the settings name no organisation.
extern const QString LedgerDefaultOrganization; // "Delovodna služba"

// The organisation's name as the settings hold it, the default without one:
// the text a handover record stores.
QString ReportOrganization(TZConnection &connection);
// A name of ReportOrganization as a print heads its pages: in the print's
// data script, the default in the interface's.
QString PrintedOrganization(const QString &name, const TDataScript &script);
inline QString PrintedOrganization(TZConnection &connection, const TDataScript &script = {})
{
    return PrintedOrganization(ReportOrganization(connection), script);
}

// Throws KException when the file cannot be written; false when progress
// answered false, and then the file is not there (an older one stays as it was).
bool SavePagedReportPdf(const TPagedReport &report, const QString &fileName,
                        const std::function<bool(qint64, qint64)> &progress);

// With a progressText, the painting of a long document shows its progress
// under it (the dialog seam's TaskProgress); a cancel throws EAbort.
void PreviewPagedReport(const TPagedReport &report, const QString &progressText = {});
