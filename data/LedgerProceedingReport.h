#pragma once
// The handover record of ledger items: the rows a data set holds, in their
// order, with the texts its fields display, through the print preview or
// straight into a PDF file without any window (HandoverRecord.h lays it out).

#include <QString>

class TDataSet;

// The data set must have the ledger item's fields inusername, outusername,
// ledgernumber, itemtype, itemdate, itemnumber and accepted.
void ExecuteLedgerProceedingReport(TDataSet *dataSet, const QString &title);
// Throws when the file cannot be written.
void SaveLedgerProceedingReport(TDataSet *dataSet, const QString &title, const QString &fileName);
