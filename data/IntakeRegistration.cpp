#include "IntakeRegistration.h"

#include "Clock.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ZConnection.h"
#include "ZTransaction.h"
#include "data/IntakeQr.h"
#include "data/ItemDocumentText.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerHistory.h"
#include "data/LedgerItems.h"
#include "data/ScanFile.h"
#include "data/Stamp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString mailName(qint64 itemID)
{
    return u'l' + QString::number(itemID) + QStringLiteral(".eml");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw KException(UiText(u"Dokument nije sačuvan: %1 ne može da se upiše (%2).")
                             .arg(native(path), file.errorString()));
}

} // namespace

QList<TIntakePartner> IntakePartners(TZConnection &connection)
{
    QList<TIntakePartner> partners;
    auto q = connection.OpenQuery(
        QStringLiteral("SELECT partnerid, name, pib, email FROM partner WHERE active = 'y' ORDER BY %1, partnerid")
            .arg(connection.TextOrder(QStringLiteral("name"))));
    while (q->next())
        partners << TIntakePartner{q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toString(),
                                   q->value(3).toString()};
    return partners;
}

QStringList IntakeItemTypes(TZConnection &connection)
{
    QStringList types;
    auto q = connection.OpenQuery(QStringLiteral("SELECT name FROM itemtype WHERE active = 'y' ORDER BY %1")
                                      .arg(connection.TextOrder(QStringLiteral("name"))));
    while (q->next())
        types << q->value(0).toString();
    return types;
}

std::optional<TStampedItem> FindStampedItem(TZConnection &connection, const QStringList &qrCodes)
{
    if (qrCodes.isEmpty())
        return std::nullopt;
    const QString book = LedgerBookID(connection);
    for (const QString &code : qrCodes) {
        const std::optional<TStampReference> stamp = ParseStampPayload(code);
        if (!stamp || stamp->BookID.compare(book, Qt::CaseInsensitive) != 0)
            continue;
        auto q = connection.OpenQuery(QStringLiteral("SELECT ledgernumber FROM ledgeritem WHERE ledgeritemid = ?"),
                                      {stamp->ItemID});
        if (q->next())
            return TStampedItem{stamp->ItemID, q->value(0).toString()};
    }
    return std::nullopt;
}

void ApplyIntakeProposal(TLedgerItems &items, const TProposal &proposal)
{
    switch (proposal.Field) {
    case TProposalField::Partner:
        // A partner not in the list yet is made through "Novi partner…".
        if (proposal.PartnerID > 0) {
            items.LedgerItemZQpartnerid->SetAsLargeInt(proposal.PartnerID);
            items.LedgerItemZQpartnername->SetAsString(proposal.Value);
        }
        break;
    case TProposalField::ItemNumber:
        items.LedgerItemZQitemnumber->SetAsString(proposal.Value);
        break;
    case TProposalField::ItemDate:
        items.LedgerItemZQitemdate->SetValue(proposal.Date);
        break;
    case TProposalField::Subject:
        items.LedgerItemZQsubject->SetAsString(proposal.Value);
        break;
    case TProposalField::ItemType:
        items.LedgerItemZQitemtype->SetAsString(proposal.Value);
        break;
    }
}

void ApplyFillingProposals(TLedgerItems &items, const TIntakeProposals &proposals)
{
    for (TProposalField field : {TProposalField::Partner, TProposalField::ItemNumber, TProposalField::ItemDate,
                                 TProposalField::Subject, TProposalField::ItemType})
        if (const TProposal *best = proposals.Best(field); best && best->Fills())
            ApplyIntakeProposal(items, *best);
}

// ---- Keeping the document with a new item -------------------------------------------

struct TIntakeKeeping::THooks
{
    decltype(TZQuery::OnJournal) Journal;
    TDataSet::TDataSetNotifyEvent AfterPost;
    TDataSet::TPostErrorEvent PostError;
};

TIntakeKeeping::TIntakeKeeping(TLedgerItems &items, const TIntakeDocument &document, const QString &dir,
                               const QByteArray &mailFile)
    : m_items(items), m_document(document), m_dir(dir), m_mailFile(mailFile), m_previous(std::make_unique<THooks>())
{
    TZQuery &query = *items.LedgerItemZQ;
    m_previous->Journal = query.OnJournal;
    m_previous->AfterPost = query.AfterPost;
    m_previous->PostError = query.OnPostError;
    query.OnJournal = [this](TZConnection &c, TZQuery::TWriteKind kind, const QVariant &key,
                             const std::vector<TField *> &changed) {
        // A write conflict's second run starts afresh.
        removeWritten();
        if (m_previous->Journal)
            m_previous->Journal(c, kind, key, changed);
        if (kind == TZQuery::TWriteKind::Insert && m_storedID == 0)
            keep(c, key.toLongLong());
    };
    query.AfterPost = [this](TDataSet &ds) {
        // Committed: the files stay.
        if (m_pendingID > 0)
            m_storedID = std::exchange(m_pendingID, 0);
        m_written.clear();
        if (m_previous->AfterPost)
            m_previous->AfterPost(ds);
    };
    query.OnPostError = [this](TDataSet &ds, const EDatabaseError &e) {
        removeWritten();
        if (m_previous->PostError)
            m_previous->PostError(ds, e);
    };
}

TIntakeKeeping::~TIntakeKeeping()
{
    removeWritten();
    TZQuery &query = *m_items.LedgerItemZQ;
    query.OnJournal = m_previous->Journal;
    query.AfterPost = m_previous->AfterPost;
    query.OnPostError = m_previous->PostError;
}

void TIntakeKeeping::keep(TZConnection &connection, qint64 itemID)
{
    m_pendingID = itemID;
    StoreItemDocumentText(connection, itemID, m_document.Text(), m_document.Sha256);
    const bool scan = !m_document.ScanPdf.isEmpty();
    if (scan) {
        auto q = connection.OpenQuery(QStringLiteral("SELECT ledgernumber FROM ledgeritem WHERE ledgeritemid = ?"),
                                      {itemID});
        const QString number = q->next() ? q->value(0).toString() : QString();
        JournalLedgerItemValues(connection, itemID, number,
                                {{QStringLiteral("scan"), QVariant(), QFileInfo(m_document.SourcePath).fileName(),
                                  QString(), QString()}},
                                m_items.DM().HistoryActor());
    }
    // The files last: after them only the commit can fail, and then they go.
    const QDir folder(m_dir);
    if (scan && !folder.exists() && !QDir().mkpath(m_dir))
        throw KException(UiText(u"Dokument nije sačuvan: folder skeniranih dokumenata %1 ne može da se napravi.")
                             .arg(native(m_dir)));
    try {
        if (scan) {
            const QString target = folder.filePath(ItemScanName(itemID));
            // A file left by an item deleted long ago is put aside, never lost.
            if (QFileInfo::exists(target))
                QFile::rename(target, folder.filePath(KeptScanName(itemID, TClock::Now())));
            m_written << target;
            writeFile(target, m_document.ScanPdf);
        }
        if (!m_mailFile.isEmpty()) {
            m_written << folder.filePath(mailName(itemID));
            writeFile(m_written.last(), m_mailFile);
        }
    } catch (...) {
        removeWritten();
        throw;
    }
}

void TIntakeKeeping::removeWritten() noexcept
{
    for (const QString &path : std::as_const(m_written))
        QFile::remove(path);
    m_written.clear();
    m_pendingID = 0;
}

// ---- Registering and attaching ------------------------------------------------------

QByteArray IntakeMailFile(const TIntakeDocument &document)
{
    if (document.Kind != TIntakeKind::Mail)
        return {};
    QFile file(document.SourcePath);
    if (!file.open(QIODevice::ReadOnly))
        throw KException(UiText(u"Poruka %1 više ne može da se pročita.").arg(native(document.SourcePath)));
    return file.readAll();
}

qint64 RegisterIntakeItem(TLedgerDM &dm, const TIntakeDocument &document, const TIntakeProposals &proposals,
                          const QStringList &itemTypes, const QString &dir)
{
    std::unique_ptr<TLedgerItems> items = dm.NewLedgerItems();
    items->ShowCondition(QStringLiteral("l.ledgeritemid = -1"));
    TIntakeKeeping keeping(*items, document, dir, IntakeMailFile(document));
    items->LedgerItemZQ->Append();
    items->LedgerItemZQdirection->SetAsInteger(1);
    if (!itemTypes.isEmpty())
        items->LedgerItemZQitemtype->SetAsString(itemTypes.first());
    ApplyFillingProposals(*items, proposals);
    if (items->LedgerItemZQitemtype->AsString().isEmpty())
        throw KException(UiText(u"Stavka nije zavedena: vrsta dokumenta nije prepoznata, a u šifarniku nema "
                                        u"nijedne vrste dokumenta."));
    try {
        items->LedgerItemZQ->Post();
    } catch (...) {
        items->LedgerItemZQ->Cancel();
        throw;
    }
    return keeping.StoredItemID();
}

void AttachIntakeScan(TZConnection &connection, const QString &dir, qint64 itemID, const TIntakeDocument &document,
                      const THistoryActor &actor, const QDateTime &when)
{
    // The replacement takes a file, as "Zameni…" does.
    QTemporaryDir temporary;
    const QString chosen = temporary.filePath(QFileInfo(document.SourcePath).completeBaseName() + QStringLiteral(".pdf"));
    writeFile(chosen, document.ScanPdf);
    ReplaceItemScan(connection, dir, itemID, chosen, actor, when);
    TZTransaction transaction(connection);
    StoreItemDocumentText(connection, itemID, document.Text(), document.Sha256);
    transaction.Commit();
}
