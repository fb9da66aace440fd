// The detail form's actions that reach beyond the item itself: enclosures
// ("Prilog"), pass-on ("Predaj") and the scanned document ("Sken. dok.").

#include "LedgerDetailUnit.h"

#include "Dialogs.h"
#include "FileCopy.h"
#include "InterfaceScript.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/ILedger.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerResourceString.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

namespace {

constexpr char16_t UnstoredItemMsg[] =
    u"Stavka još nije sačuvana, pa skenirani dokument ne može da joj se priloži.";
constexpr char16_t NoScanDirMsg[] =
    u"Folder za skenirana dokumenta nije izabran, pa skenirani dokument nije otvoren.";
constexpr char16_t NotOpenedMsg[] = u"Datoteka %1 nije otvorena: nije pronađen program koji je otvara.";

// The file name inside the scanned-documents folder, joined the platform's way.
QString scanPath(const QString &dir, QChar kind, qint64 id)
{
    return QDir(dir).filePath(kind + QString::number(id) + QStringLiteral(".pdf"));
}

} // namespace

void TLedgerDetailForm::FormActionsUpdate()
{
    AdditionalItemActionUpdate();
    PassOnActionUpdate();
    CancelItemActionUpdate();
    clearActionsUpdate();
}

// Only an item without parent gets additional items.
void TLedgerDetailForm::AdditionalItemActionUpdate()
{
    AdditionalItemAction->setEnabled(FItems->LedgerItemZQparentid->AsInteger() <= 0
                                     && !FItems->LedgerItemZQcancelled->AsBoolean());
}

// Only the recipient, after accepting, passes an item on.
void TLedgerDetailForm::PassOnActionUpdate()
{
    PassOnAction->setEnabled(FItems->LedgerItemZQoutuserid->AsInteger() == FUserID && FItems->LedgerItemZQaccepted->AsBoolean()
                             && !FItems->LedgerItemZQcancelled->AsBoolean());
}

void TLedgerDetailForm::AdditionalItemActionExecute()
{
    CustomApplyExecute();
    UpdateActions();
    if (FLedgerItemID <= 0)
        return;
    const int newID = LedgerDM->AddAdditionalItem(FLedgerItemID);
    if (newID <= 0)
        return;
    MessageDlg(UiText(_LEDGER_ADD_ITEM_INF), TMsgDlgType::Information, mbOK);
    openCreatedItem(newID);
}

void TLedgerDetailForm::PassOnActionExecute()
{
    CustomApplyExecute();
    UpdateActions();
    if (FLedgerItemID <= 0)
        return;
    const std::optional<int> newID = LedgerDM->PassOnLedgerItem(FLedgerItemID, FUserID);
    if (!newID) {
        MessageDlg(UiText(_LEDGER_PASSON_ERR), TMsgDlgType::Error, mbOK);
        return;
    }
    if (*newID <= 0)
        return;
    MessageDlg(UiText(_LEDGER_PASS_ON_INF), TMsgDlgType::Information, mbOK);
    openCreatedItem(*newID);
}

// The new item opens in a form of its own; without the ledger service this
// form stays open on the old item.
void TLedgerDetailForm::openCreatedItem(int id)
{
    IRef<ILedger> ledger = LedgerService<ILedger>();
    if (!ledger)
        return;
    reject();
    ledger->OpenLedger(id);
}

// The item's own scan, else its stored document's scan, else a PDF the user
// picks, copied in as the item's scan. Never writes to the database.
void TLedgerDetailForm::ScannedDocumentExecute()
{
    TLedgerDM &dm = *LedgerDM;
    qint64 id = FItems->LedgerItemZQledgeritemid->AsLargeInt();
    if (id <= 0) {
        // A scan is named after the item's id: an unstored item has none yet.
        CustomApplyExecute();
        UpdateActions();
        id = FItems->LedgerItemZQledgeritemid->AsLargeInt();
        if (id <= 0) {
            MessageDlg(UiText(UnstoredItemMsg), TMsgDlgType::Warning, mbOK);
            return;
        }
    }
    const QString dir = dm.GetScannedDocumentFilePath();
    if (dir.isEmpty()) {
        MessageDlg(UiText(NoScanDirMsg), TMsgDlgType::Warning, mbOK);
        return;
    }
    const QString own = scanPath(dir, u'l', id);
    if (QFileInfo::exists(own)) {
        openScan(own);
        return;
    }

    // The document as stored, not one picked in the form and not yet applied.
    qint64 documentID = 0;
    {
        auto q = dm.ZConnection()->OpenQuery(QStringLiteral("SELECT documentid FROM ledgeritem WHERE ledgeritemid = ?"),
                                             {id});
        if (q->next())
            documentID = q->value(0).toLongLong();
    }
    if (documentID > 0) {
        const QString document = scanPath(dir, u'd', documentID);
        if (QFileInfo::exists(document)) {
            openScan(document);
            return;
        }
    }

    const QString chosen = Dialogs().OpenFileDialog(UiText(u"Učitaj PDF"), QStringLiteral("PDF (*.pdf)"));
    if (chosen.isEmpty())
        return;
    CopyFileReplacing(chosen, own, QDateTime::currentDateTime());
    openScan(own);
}

void TLedgerDetailForm::openScan(const QString &path)
{
    if (!Dialogs().OpenWithDefaultApplication(path))
        MessageDlg(UiText(NotOpenedMsg).arg(QDir::toNativeSeparators(path)), TMsgDlgType::Warning, mbOK);
}
