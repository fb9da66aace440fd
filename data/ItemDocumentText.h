#pragma once
// The text read from an item's scan or e-mail, kept beside the item so that
// the search row "Tekst" finds items by what their documents say, and the
// SHA-256 of the file that became the scan, so that the same file brought
// again is recognised. The text is searched by its folded words (SerbianFold:
// case, diacritics and script do not matter), index-backed on both backends.

#include <QList>
#include <QString>
#include <QVariantList>

class TZConnection;

// Replaces what is kept for itemID. Runs in the caller's transaction (the
// item's write or the scan's attachment), holding the item's row till its
// end; throws EDatabaseError, also when the item no longer exists.
void StoreItemDocumentText(TZConnection &connection, qint64 itemID, const QString &text, const QString &fileSha256);

// The text kept for itemID; empty when none.
QString ItemDocumentText(TZConnection &connection, qint64 itemID);

struct TIntakeDuplicate
{
    qint64 ItemID = 0;
    QString LedgerNumber; // "12/26"
    // For the warning: "isti fajl je već sken stavke 12/26",
    // "isti partner i broj dokumenta već su zavedeni pod 12/26".
    QString Reason;
};

// The items a new intake would repeat: the same file (SHA-256) kept for an
// item, or the same partner with the same sender's number. Cancelled items
// count too (the clerk decides); deleted ones do not.
QList<TIntakeDuplicate> FindIntakeDuplicates(TZConnection &connection, const QString &fileSha256, qint64 partnerID,
                                             const QString &itemNumber);
