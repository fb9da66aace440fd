#pragma once
// The handover record of ledger items: the rows a data set holds, in their
// order, with the texts its fields display, through the print preview or
// straight into a PDF file without any window (HandoverRecord.h lays it out).

#include <QList>
#include <QStringList>

class TDataSet;
class TZConnection;

// The data set must have the ledger item's fields inusername, outusername,
// ledgernumber, direction, itemtype, itemdate, itemnumber and accepted.
void ExecuteLedgerProceedingReport(TDataSet *dataSet, const QString &title);
// Throws when the file cannot be written.
void SaveLedgerProceedingReport(TDataSet *dataSet, const QString &title, const QString &fileName);

// A kept record (HandoverBook.h), exactly as it first printed.
void ExecuteStoredHandoverRecord(TZConnection &connection, qint64 recordID);
void SaveStoredHandoverRecord(TZConnection &connection, qint64 recordID, const QString &fileName);

// The record's columns, the same for a list and a kept record.
QStringList LedgerProceedingCaptions();
QList<int> LedgerProceedingWidths();
