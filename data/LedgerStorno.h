#pragma once
// Cancelling (storno) a registered item. The item keeps its number and its
// row in the book, marked cancelled with the reason, who cancelled it and
// when, and is read-only from then on: storno is final. The data layer
// refuses every write of a cancelled item with one message, and a trigger on
// ledgeritem refuses any UPDATE or DELETE of a cancelled row, whoever sends it.
//
// Who may cancel: the user who registered the item ("Zaveo") or the one it
// came from ("Upućeno od") while it is not accepted, as with deleting;
// an administrator any item. A pass-on copy is never cancelled on its own
// (it keeps its origin's number), nor an item that is not stored yet.

#include "KInterfaces.h"
#include "data/LedgerHistory.h"

#include <QDateTime>
#include <QString>
#include <optional>

class EDatabaseError;
class TLedgerDM;
class TZConnection;

// A reason is required and at most this long.
constexpr int CancelReasonMaxLength = 500;

// What a write of a cancelled item is refused with.
QString CancelledItemMessage(const QString &number);
// True when the error is the database's trigger refusing a cancelled row.
bool IsCancelledRowRefusal(const EDatabaseError &error);
// Throws KException (CancelledItemMessage) when the stored item is cancelled.
// Run inside the write's transaction, with the row held.
void RefuseCancelledItem(TZConnection &connection, const QVariant &itemID);

// The item's columns that decide whether user may cancel it.
struct TCancelTarget
{
    qint64 ItemID = 0;
    QString Number;
    bool PassOnCopy = false;
    bool Cancelled = false;
    bool Accepted = false;
    qint64 UserID = 0;
    qint64 InUserID = 0;
};
// Why user may not cancel the item; empty when they may.
QString CancelRefusal(const TCancelTarget &item, const TUserDesc &user);
// Why a reason is refused; empty when it is fine.
QString CancelReasonRefusal(const QString &reason);

// Cancels the stored item: one transaction holding its row, the rules checked
// again on the row as stored, a conditional UPDATE and the history entry.
// Throws KException with a Serbian message when refused.
void CancelLedgerItem(TZConnection &connection, qint64 itemID, const QString &reason, const TUserDesc &user,
                      const THistoryActor &actor);
// The same as the data module's user, telling every item set afterwards.
void CancelLedgerItem(TLedgerDM &dm, qint64 itemID, const QString &reason);

// How a cancelled item shows its cancellation.
struct TCancelNote
{
    QString Reason;
    QString ByName; // empty when the user is gone
    QDateTime At;
};
// nullopt when the stored item is not cancelled (or gone).
std::optional<TCancelNote> ReadCancelNote(TZConnection &connection, qint64 itemID);
// "Stornirano: reason (who, dd.MM.yyyy HH:mm)".
QString CancelNoteText(const TCancelNote &note);
