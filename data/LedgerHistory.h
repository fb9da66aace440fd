#pragma once
// The ledger items' history: who changed an item, when, from which desk, and
// which columns from what to what. Written only by the data layer, inside
// the transaction of the change itself, so a refused or rolled-back change
// leaves no entry. Nothing in the program updates or deletes an entry.

#include "ZQuery.h"

#include <QDateTime>
#include <QList>
#include <QVariant>
#include <vector>

class TZConnection;

enum class THistoryKind { Insert, Update, Delete };

// Who makes a change: the user logged in at the desk and the desk itself.
struct THistoryActor
{
    QVariant UserID;  // null when nobody is logged in
    QString UserName; // first and last name at the time of the change
    QString HostName;
};

// One column of a change. Values as stored ('y'/'n' flags, yyyy-MM-dd dates);
// texts are the words for codes and links (a direction's caption, a user's
// name), empty for other columns.
struct THistoryValue
{
    QString Column;
    QVariant OldValue;
    QVariant NewValue;
    QString OldText;
    QString NewText;
};

struct THistoryEntry
{
    qint64 ID = 0;
    qint64 ItemID = 0;
    QDateTime When;
    THistoryKind Kind = THistoryKind::Update;
    QVariant UserID;
    QString UserName;
    QString HostName;
    QString LedgerNumber; // the item's number at the time
    QList<THistoryValue> Values;
};

class ILedgerContext;
// The user logged in as the context tells it and this computer's name.
THistoryActor CurrentHistoryActor(const ILedgerContext *context);

// Writes the entry of one write of an item set's query (its OnJournal): for an
// insert the stored new row, for an update the changed columns with their
// stored old values (columns that end up unchanged are left out; nothing
// left, no entry), for a delete the last stored values.
void JournalLedgerItemWrite(TZConnection &connection, TZQuery::TWriteKind kind, const QVariant &key,
                            const std::vector<TField *> &changed, const THistoryActor &actor);
// The entry of an item made by copying (an enclosure, a pass-on copy): its
// stored values as new ones. The caller's transaction holds it.
void JournalLedgerItemCopy(TZConnection &connection, qint64 itemID, const THistoryActor &actor);

// The entry of an update made by a statement of the data layer's own (a
// storno): the columns given, with their old and new stored values. The
// caller's transaction holds it.
void JournalLedgerItemValues(TZConnection &connection, qint64 itemID, const QString &number,
                             const QList<THistoryValue> &values, const THistoryActor &actor);
// An entry of the past written afterwards (a sample book's items), with the
// time it happened instead of the database's; chained like every other.
// The caller's transaction holds it.
void JournalLedgerItemEntryAt(TZConnection &connection, THistoryKind kind, qint64 itemID, const QString &number,
                              const QList<THistoryValue> &values, const THistoryActor &actor, const QDateTime &at);


// An item's history, newest first. Both reads run off this thread
// (ReadRows.h); EAbort when the user cancelled one.
QList<THistoryEntry> LedgerItemHistory(TZConnection &connection, qint64 itemID);
// The deleted items userID may see, newest deletion first, each with its
// last values: for a clerk those the user deleted, registered, sent on or
// was meant to receive (an item's people are the ones who answer for it);
// an administrator sees every deleted item. An item restored since is left out.
QList<THistoryEntry> DeletedLedgerItems(TZConnection &connection, qint64 userID, bool administrator = false);
