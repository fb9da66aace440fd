#pragma once
// An item's own scan in the scanned-documents folder ("l12.pdf" for item 12)
// and its replacement by another PDF: the replaced file stays beside it under
// a time suffix ("l12_20261209-141503.pdf") and the item's history tells
// which file went where (column "scan").

#include <QDateTime>
#include <QString>

class TZConnection;
struct THistoryActor;

// "l12.pdf"
QString ItemScanName(qint64 itemID);
// "l12_20261209-141503.pdf"
QString KeptScanName(qint64 itemID, const QDateTime &when);
// Whether the file begins as a PDF does; a file that cannot be read is none.
bool LooksLikePdf(const QString &path);

// Makes chosen the item's scan in dir. The item's row is held meanwhile, so
// two desks replacing one scan take turns and neither file is lost. Returns
// the name the replaced scan is kept under, empty when there was none.
// Throws KException with the reason in Serbian, and then the folder and the
// history are as they were: chosen unreadable or no PDF, the item gone, the
// folder not writable.
QString ReplaceItemScan(TZConnection &connection, const QString &dir, qint64 itemID, const QString &chosen,
                        const THistoryActor &actor, const QDateTime &when);
