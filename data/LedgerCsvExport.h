#pragma once
// The ledger's items straight from the database into a CSV file (TCsvWriter),
// with the list's columns and titles, newest first. The rows are streamed
// from the client library into the file and never held whole, so a book of
// a million items goes out in about the time the database takes to send it.

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>

class TZConnection;
struct TLedgerSearchCriteria;

// The fields the list shows, in its order.
extern const QStringList LedgerListFields;
// The file's columns: the list's fields, then subject, classification mark,
// organisational unit, cancelled and its reason, appended so that readers of the older files
// find every column where it was.
extern const QStringList LedgerExportFields;

// The criteria as the command line gives them: the direction checked
// against its captions and codes. Throws KException on an unknown one.
TLedgerSearchCriteria LedgerExportCriteria(const QMap<QString, QString> &texts);

// The statement the export reads, newest first; values bound to params.
QString LedgerExportSql(const TLedgerSearchCriteria &criteria, const TZConnection &connection, QVariantList &params);

// Rows written so far; false stops the export.
using TLedgerExportProgress = std::function<bool(qint64 rows)>;

// Writes the items the criteria select to fileName as CSV, newest first,
// with LedgerExportFields' columns; the number of items written. Throws KException
// with a message for the user on a file that cannot be written or a
// database error, and EAbort when progress stopped it; the file appears
// only when complete. Needs the data module (titles, captions).
qint64 ExportLedgerCsv(TZConnection &connection, const TLedgerSearchCriteria &criteria, const QString &fileName,
                       const TLedgerExportProgress &progress);
