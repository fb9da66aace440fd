#pragma once
// The handover record of ledger items: the rows a data set holds, in their
// order, with the texts its fields display, through the print preview or
// straight into a PDF file without any window (HandoverRecord.h lays it out).

#include "DataScript.h"

#include <QList>
#include <QStringList>

class TDataSet;
class TZConnection;

// The data set must have the ledger item's fields inusername, outusername,
// ledgernumber, direction, itemtype, itemdate, itemnumber and accepted.
// script: the data's, as typed when empty (HandoverRecordInScript).
void ExecuteLedgerProceedingReport(TDataSet *dataSet, const QString &title, const TDataScript &script = {});
// Throws when the file cannot be written.
void SaveLedgerProceedingReport(TDataSet *dataSet, const QString &title, const QString &fileName,
                                const TDataScript &script = {});

// A kept record (HandoverBook.h), exactly as it first printed in the same script.
void ExecuteStoredHandoverRecord(TZConnection &connection, qint64 recordID, const TDataScript &script = {});
void SaveStoredHandoverRecord(TZConnection &connection, qint64 recordID, const QString &fileName,
                              const TDataScript &script = {});

// The record's columns, the same for a list and a kept record.
QStringList LedgerProceedingCaptions();
QList<int> LedgerProceedingWidths();
// The columns holding the program's words: the direction and "Prihvaćen".
QList<int> LedgerProceedingCaptionColumns();
