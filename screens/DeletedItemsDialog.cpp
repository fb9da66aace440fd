#include "DeletedItemsDialog.h"

#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "data/LedgerContext.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerHistory.h"
#include "data/LedgerHistoryText.h"
#include "data/LedgerRestore.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

TDeletedItemsDialog::TDeletedItemsDialog(TZConnection &connection, qint64 userID, bool administrator, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DeletedItemsDialog"));
    setWindowTitle(UiText(u"Obrisane stavke"));
    auto *layout = new QVBoxLayout(this);
    ItemsTree = new QTreeWidget(this);
    ItemsTree->setObjectName(QStringLiteral("ItemsTree"));
    ItemsTree->setHeaderLabels({UiText(u"Delovodni broj"), UiText(u"Obrisano"), UiText(u"Obrisao"),
                                UiText(u"Računar")});
    for (const THistoryEntry &entry : DeletedLedgerItems(connection, userID, administrator)) {
        auto *item = new QTreeWidgetItem(ItemsTree, {entry.LedgerNumber, HistoryTime(entry.When),
                                                     entry.UserName, entry.HostName});
        item->setData(0, Qt::UserRole, entry.ID);
        for (const THistoryValue &v : entry.Values) {
            auto *value = new QTreeWidgetItem(item, {HistoryColumnCaption(v.Column) + QStringLiteral(": ")
                                                     + HistoryValueText(v.Column, v.OldValue, v.OldText)});
            value->setFirstColumnSpanned(true);
        }
    }
    // The last values are what the list is for: shown, not behind an arrow.
    ItemsTree->expandAll();
    for (int c = 1; c < ItemsTree->columnCount(); ++c)
        ItemsTree->resizeColumnToContents(c);
    ItemsTree->setColumnWidth(0, 140);
    EmptyLabel = new QLabel(administrator ? UiText(u"Nema obrisanih stavki.")
                                          : UiText(u"Nema obrisanih stavki koje ste zaveli, predali, primili ili obrisali."),
                            this);
    EmptyLabel->setObjectName(QStringLiteral("EmptyLabel"));
    EmptyLabel->setVisible(ItemsTree->topLevelItemCount() == 0);
    auto *buttons = new QDialogButtonBox(this);
    if (administrator) {
        RestoreButton = buttons->addButton(UiText(u"Vrati stavku"), QDialogButtonBox::ActionRole);
        RestoreButton->setObjectName(QStringLiteral("RestoreButton"));
        RestoreButton->setAutoDefault(false);
        RestoreButton->setEnabled(ItemsTree->topLevelItemCount() > 0);
        ConnectGuarded(RestoreButton, [this] { RestoreButtonClick(); });
    }
    buttons->addButton(UiText(u"Zatvori"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(EmptyLabel);
    layout->addWidget(ItemsTree, 1);
    layout->addWidget(buttons);
    resize(640, 420);
}

void TDeletedItemsDialog::RestoreButtonClick()
{
    QTreeWidgetItem *chosen = ItemsTree->currentItem();
    while (chosen && chosen->parent())
        chosen = chosen->parent();
    if (!chosen) {
        MessageDlg(UiText(u"Izaberite obrisanu stavku koju treba vratiti."), TMsgDlgType::Warning, mbOK);
        return;
    }
    const TRestoredItem restored = RestoreDeletedItem(*LedgerDM, chosen->data(0, Qt::UserRole).toLongLong());
    delete chosen;
    RestoreButton->setEnabled(ItemsTree->topLevelItemCount() > 0);
    EmptyLabel->setVisible(ItemsTree->topLevelItemCount() == 0);
    MessageDlg(RestoredItemText(restored), TMsgDlgType::Information, mbOK);
}

void DeletedItemsActionExecute(QWidget *owner)
{
    TZConnection *connection = LedgerDM->ZConnection();
    if (!connection)
        throw KException(UiText(u"Delovodnik nije povezan sa bazom podataka."));
    TUserDesc user;
    if (!LedgerDM->Context() || !LedgerDM->Context()->CurrentUser(user) || user.UserID <= 0) {
        MessageDlg(UiText(u"Obrisane stavke vidi samo prijavljeni korisnik."), TMsgDlgType::Warning, mbOK);
        return;
    }
    TDeletedItemsDialog dialog(*connection, user.UserID, user.Administrator, owner);
    Dialogs().ShowModal(dialog);
}
