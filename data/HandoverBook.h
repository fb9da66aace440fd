#pragma once
// The kept handover records read back: the list "Zapisnici o primopredaji"
// shows, and one record as it prints, made only of what the record stored
// (its number, time, recipient and rows), so a reprint is the first print
// (HandoverRecordInScript gives its data in the script chosen for the paper).

#include "data/HandoverRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>

class TZConnection;

struct THandoverBookEntry
{
    qint64 ID = 0;
    int Year = 0;
    int Number = 0;
    QDateTime At;
    QString Recipient;
    QStringList HandedOverBy; // in order of their first row
    int ItemCount = 0;        // accepted and not withdrawn
};

// The year's records, newest first; colleagueID > 0 keeps those the
// colleague received or handed an item over in.
QList<THandoverBookEntry> HandoverBookEntries(TZConnection &connection, int year, qint64 colleagueID = 0);
// The years that have records, newest first.
QList<int> HandoverBookYears(TZConnection &connection);

// The record as printed; throws KException when there is no such record.
THandoverRecord StoredHandoverRecord(TZConnection &connection, qint64 recordID);
