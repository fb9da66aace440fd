// The detail form's clear buttons: each empties one picked field (its id and
// the name shown with it) in the edit buffer. A required field emptied so is
// refused at the post like any other empty one.

#include "LedgerDetailUnit.h"

#include "DBControls.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"

#include <QAction>
#include <QStyle>

namespace {

struct TClearing
{
    const char *Name;
    QAction *TLedgerDetailForm::*Clear;
    QAction *TLedgerDetailForm::*Picker;
    TDBEdit *TLedgerDetailForm::*Edit;
    TField *TLedgerItems::*Id;
    TField *TLedgerItems::*Shown;
};

constexpr TClearing kClearings[] = {
    {"PartnerClearAction", &TLedgerDetailForm::PartnerClearAction, &TLedgerDetailForm::PartnerAction,
     &TLedgerDetailForm::DBEdit3, &TLedgerItems::LedgerItemZQpartnerid, &TLedgerItems::LedgerItemZQpartnername},
    {"DocumentClearAction", &TLedgerDetailForm::DocumentClearAction, &TLedgerDetailForm::DocumentAction,
     &TLedgerDetailForm::DBEdit2, &TLedgerItems::LedgerItemZQdocumentid, &TLedgerItems::LedgerItemZQdocumentnumber},
    {"InUserClearAction", &TLedgerDetailForm::InUserClearAction, &TLedgerDetailForm::InUserAction,
     &TLedgerDetailForm::DBEdit11, &TLedgerItems::LedgerItemZQinuserid, &TLedgerItems::LedgerItemZQinusername},
    {"OutUserClearAction", &TLedgerDetailForm::OutUserClearAction, &TLedgerDetailForm::OutUserAction,
     &TLedgerDetailForm::DBEdit10, &TLedgerItems::LedgerItemZQoutuserid, &TLedgerItems::LedgerItemZQoutusername},
    {"LinkToClearAction", &TLedgerDetailForm::LinkToClearAction, &TLedgerDetailForm::LinkToAction,
     &TLedgerDetailForm::DBEdit12, &TLedgerItems::LedgerItemZQparentid, &TLedgerItems::LedgerItemZQlinkedto},
};

} // namespace

void TLedgerDetailForm::makeClearActions()
{
    const QIcon icon = style()->standardIcon(QStyle::SP_LineEditClearButton);
    for (const TClearing &c : kClearings) {
        // The tool tip names it: a text would be drawn on the small button.
        auto *action = new QAction(icon, QString(), this);
        action->setObjectName(QString::fromLatin1(c.Name));
        action->setToolTip(UiText(u"Obriši"));
        this->*c.Clear = action;
        (this->*c.Edit)->addAction(action, QLineEdit::TrailingPosition);
        ConnectGuarded(action, [this, c] {
            if (!(this->*c.Clear)->isEnabled())
                return;
            editIfBrowsing();
            (FItems->*c.Id)->Clear();
            (FItems->*c.Shown)->Clear();
            UpdateActions();
        });
    }
}

// Shown only where there is something to clear and the picker could set it.
void TLedgerDetailForm::clearActionsUpdate()
{
    for (const TClearing &c : kClearings) {
        const bool can = (this->*c.Picker)->isEnabled() && !(FItems->*c.Id)->IsNull();
        QAction *action = this->*c.Clear;
        action->setEnabled(can);
        action->setVisible(can);
    }
}
