#pragma once
// Writing a paged report as a PDF file all at once or not at all, and
// showing it in the print preview. Shared by the ledger's printed books.

#include <QString>
#include <functional>

struct TPagedReport;
class TZConnection;

// Heads the ledger's reports when the settings name no organisation.
extern const QString LedgerDefaultOrganization; // "Delovodna služba"

// The organisation's name as the report engine prints it.
QString ReportOrganization(TZConnection &connection);

// Throws KException when the file cannot be written; false when progress
// answered false, and then the file is not there (an older one stays as it was).
bool SavePagedReportPdf(const TPagedReport &report, const QString &fileName,
                        const std::function<bool(qint64, qint64)> &progress);

// With a progressText, the painting of a long document shows its progress
// under it (the dialog seam's TaskProgress); a cancel throws EAbort.
void PreviewPagedReport(const TPagedReport &report, const QString &progressText = {});
