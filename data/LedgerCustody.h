#pragma once
// The custody of an item: the chain of pass-on copies from the origin to the
// newest copy (each copy's passonparentid names the one before), who
// registered each copy, whom it was meant for, when and by whom it was
// accepted (from the history), its enclosures, and who holds it now.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class TZConnection;
struct TPagedReport;

struct TCustodyEnclosure
{
    qint64 ItemID = 0;
    QString Number;
    QString ItemType;
};

struct TCustodyStep
{
    qint64 ItemID = 0;
    QString Number;
    QDateTime Registered;
    QString RegisteredBy;
    QString MeantFor;       // empty when nobody is named yet
    bool Accepted = false;
    QDateTime AcceptedAt;   // invalid when the history does not tell
    QString AcceptedBy;
    bool Archived = false;
    QList<TCustodyEnclosure> Enclosures;
};

struct TCustodyChain
{
    QList<TCustodyStep> Steps; // origin first
    QString Holder;            // who has the original now, in words
};

// The chain itemID belongs to; an enclosure's is its item's. Empty Steps
// when there is no such item. Links that loop are followed once. Every
// read runs off this thread (ReadRows.h); EAbort when the user cancelled one.
TCustodyChain LedgerCustody(TZConnection &connection, qint64 itemID);
// The holder line for the newest step.
QString CustodyHolder(const TCustodyStep &newest);

// The columns the timeline shows, and a step's cells under them:
// number, registered at, registered by, meant for, accepted.
QStringList CustodyCaptions();
QStringList CustodyStepCells(const TCustodyStep &step);
// An enclosure's cells under the same columns.
QStringList CustodyEnclosureCells(const TCustodyEnclosure &enclosure);
// The timeline as a printable document, the holder line closing it.
TPagedReport CustodyReport(const TCustodyChain &chain, const QString &organization);
