#pragma once
// QR codes on a page's picture, read with ZBar, and the receipt stamp's own
// code among them: "DELOVODNIK:<book id>:<item id>:<ledger number>" names
// the item a scan of the stamped paper belongs to.

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

// The texts of the QR codes on picture, top to bottom; other kinds of
// barcode are not looked for. Thread-safe: each call has its own scanner.
QStringList ReadQrCodes(const QImage &picture);

struct TStampReference
{
    QString BookID; // eight hexadecimal digits, upper case
    qint64 ItemID = 0;
    QString LedgerNumber;
};

// The item a stamp's QR text names; nullopt for any other text.
std::optional<TStampReference> ParseStampPayload(const QString &text);
