#pragma once
// Bringing a deleted item back ("Vrati stavku", administrators only): the item
// is inserted again from its last stored values, those its latest deletion
// entry in the history holds, with its old id and its old number, and the
// insert leaves its own history entry.
//
// Refused with a Serbian message when the item is back already, when its
// number has been given to another item of its direction meanwhile (the
// unique number index decides a race), when it was a pass-on copy whose
// origin is gone, or when the user who registered it is gone. A link to a
// partner, a document, an item or a user (Upućeno od, Namenjeno) that no
// longer exists is left empty, and the result names it. A closed year's
// rules in the database refuse the insert like any other write.

#include "KInterfaces.h"
#include "data/LedgerHistory.h"

#include <QStringList>

class TLedgerDM;
class TZConnection;

struct TRestoredItem
{
    qint64 ItemID = 0;
    QString Number;
    QStringList DroppedLinks; // captions of the links left empty
};

// Restores the item of deletion entry historyID. Throws KException when refused.
TRestoredItem RestoreDeletedItem(TZConnection &connection, qint64 historyID, const TUserDesc &user,
                                 const THistoryActor &actor);
// The same as the data module's user, telling every item set afterwards.
TRestoredItem RestoreDeletedItem(TLedgerDM &dm, qint64 historyID);
// "Stavka 12/26 je vraćena." and the links left empty, if any.
QString RestoredItemText(const TRestoredItem &item);
