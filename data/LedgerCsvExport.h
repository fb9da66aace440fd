#pragma once
// The ledger's items straight from the database into a CSV file (TCsvWriter),
// with the list's columns and titles, newest first. The rows are streamed
// from the client library into the file and never held whole, so a book of
// a million items goes out in about the time the database takes to send it.

#include "LedgerReports.h"

class TZConnection;
struct TLedgerSearchCriteria;

// The fields the list shows, in its order.
extern const QStringList LedgerListFields;

// The criteria as the command line gives them: the direction checked
// against its captions and codes. Throws KException on an unknown one.
TLedgerSearchCriteria LedgerExportCriteria(const QMap<QString, QString> &texts);

// The statement the export reads, newest first; values bound to params.
QString LedgerExportSql(const TLedgerSearchCriteria &criteria, const TZConnection &connection, QVariantList &params);

// See ILedgerReports::ExportCsv. Needs the data module (titles, captions).
qint64 ExportLedgerCsv(TZConnection &connection, const TLedgerSearchCriteria &criteria, const QString &fileName,
                       const ILedgerReports::TProgress &progress);
