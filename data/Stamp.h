#pragma once
// The receipt stamp (prijemni štambilj) of a registered item: what is printed
// on the paper original, and the text of its QR code.
//
// QR code text: "DELOVODNIK:<book id>:<item id>:<ledger number>", for example
// "DELOVODNIK:7F3A90C2:123:15/26". The book id is eight hexadecimal digits
// made once per book and kept in the settings ([Book] Id); a scan that
// carries the code belongs to this book's item <item id>, and the number,
// which never holds a colon, lets a person check it.

#include <QDateTime>
#include <QString>
#include <QStringList>

class TZConnection;

struct TStamp
{
    QString BookID;
    qint64 ItemID = 0;
    QString Organization;
    QString OrgUnit; // the item's unit, else the book's; may be empty
    QString LedgerNumber;
    QDateTime Registered;
    int Enclosures = 0; // the item's enclosures ("Prilog") not cancelled
};

QString StampPayload(const TStamp &stamp);
// The stamp's lines of text, top to bottom (the unit's line only when set).
QStringList StampLines(const TStamp &stamp);

// This book's id, made by the first desk that asks; every desk gets the same.
QString LedgerBookID(TZConnection &connection);
// Throws KException when the item is not in the book.
TStamp ReadStamp(TZConnection &connection, qint64 itemID);
