#pragma once
// Registering a document brought to the desk: what the proposals are made
// against (the active partners with PIB and e-mail, the item types), the item
// a stamp's QR code names, a new incoming item with the document as its scan
// and its text, or the document attached as the scan of a stamped item.
//
// A new item keeps its document in the item's own write: the text, a history
// line for the scan and the files (l<id>.pdf, and for an e-mail l<id>.eml
// beside it) are written in the insert's transaction, and a post that does
// not commit leaves no file behind.

#include "data/IntakeDocument.h"
#include "data/IntakeProposals.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class TLedgerDM;
class TLedgerItems;
class TZConnection;
struct THistoryActor;

// The active partners in name order, with their PIB and e-mail.
QList<TIntakePartner> IntakePartners(TZConnection &connection);
// The active item types in name order.
QStringList IntakeItemTypes(TZConnection &connection);

struct TStampedItem
{
    qint64 ItemID = 0;
    QString LedgerNumber; // as stored now
};

// The first code that is this book's stamp of an item still in the book;
// nullopt when none is (another book's stamp, another QR code, an item deleted).
std::optional<TStampedItem> FindStampedItem(TZConnection &connection, const QStringList &qrCodes);

// Puts one proposal in the row items is editing: the partner (its id and
// name), the sender's number or date, the subject or the item type.
void ApplyIntakeProposal(TLedgerItems &items, const TProposal &proposal);
// Puts every proposal that fills (the best of each field) in the row.
void ApplyFillingProposals(TLedgerItems &items, const TIntakeProposals &proposals);

// While it lives, the next item items inserts keeps document as its scan in
// dir. Hooks the item set's write; gives the hooks back when it goes.
class TIntakeKeeping
{
public:
    // mailFile: the .eml's bytes, kept beside the scan; empty for no mail.
    TIntakeKeeping(TLedgerItems &items, const TIntakeDocument &document, const QString &dir,
                   const QByteArray &mailFile = {});
    ~TIntakeKeeping();
    TIntakeKeeping(const TIntakeKeeping &) = delete;
    TIntakeKeeping &operator=(const TIntakeKeeping &) = delete;

    // The item stored with the document, 0 until then.
    qint64 StoredItemID() const { return m_storedID; }

private:
    void keep(TZConnection &connection, qint64 itemID);
    void removeWritten() noexcept;

    struct THooks;
    TLedgerItems &m_items;
    const TIntakeDocument &m_document;
    QString m_dir;
    QByteArray m_mailFile;
    QStringList m_written; // files of a write not committed yet
    qint64 m_pendingID = 0; // written, not committed yet
    qint64 m_storedID = 0;
    std::unique_ptr<THooks> m_previous;
};

// The .eml's bytes for a mail, empty for any other document; throws
// KException when the file can no longer be read.
QByteArray IntakeMailFile(const TIntakeDocument &document);

// Registers a new incoming item from the proposals that fill, the document
// as its scan in dir. The item type left unproposed is the first of
// itemTypes. Returns the stored item's id; throws KException with the reason.
qint64 RegisterIntakeItem(TLedgerDM &dm, const TIntakeDocument &document, const TIntakeProposals &proposals,
                          const QStringList &itemTypes, const QString &dir);

// Makes the document the scan of itemID (the old one kept, ScanFile.h) and
// keeps its text with the item.
void AttachIntakeScan(TZConnection &connection, const QString &dir, qint64 itemID, const TIntakeDocument &document,
                      const THistoryActor &actor, const QDateTime &when);
