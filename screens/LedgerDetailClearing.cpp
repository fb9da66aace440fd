// The detail form's clear buttons: each empties one picked field (its id and
// the name shown with it) in the edit buffer. A required field emptied so is
// refused at the post like any other empty one.

#include "LedgerDetailUnit.h"

#include "DBControls.h"
#include "Guard.h"
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
    TField *TLedgerDM::*Id;
    TField *TLedgerDM::*Shown;
};

constexpr TClearing kClearings[] = {
    {"PartnerClearAction", &TLedgerDetailForm::PartnerClearAction, &TLedgerDetailForm::PartnerAction,
     &TLedgerDetailForm::DBEdit3, &TLedgerDM::LedgerItemZQpartnerid, &TLedgerDM::LedgerItemZQpartnername},
    {"DocumentClearAction", &TLedgerDetailForm::DocumentClearAction, &TLedgerDetailForm::DocumentAction,
     &TLedgerDetailForm::DBEdit2, &TLedgerDM::LedgerItemZQdocumentid, &TLedgerDM::LedgerItemZQdocumentnumber},
    {"InUserClearAction", &TLedgerDetailForm::InUserClearAction, &TLedgerDetailForm::InUserAction,
     &TLedgerDetailForm::DBEdit11, &TLedgerDM::LedgerItemZQinuserid, &TLedgerDM::LedgerItemZQinusername},
    {"OutUserClearAction", &TLedgerDetailForm::OutUserClearAction, &TLedgerDetailForm::OutUserAction,
     &TLedgerDetailForm::DBEdit10, &TLedgerDM::LedgerItemZQoutuserid, &TLedgerDM::LedgerItemZQoutusername},
    {"LinkToClearAction", &TLedgerDetailForm::LinkToClearAction, &TLedgerDetailForm::LinkToAction,
     &TLedgerDetailForm::DBEdit12, &TLedgerDM::LedgerItemZQparentid, &TLedgerDM::LedgerItemZQlinkedto},
};

} // namespace

void TLedgerDetailForm::makeClearActions()
{
    const QIcon icon = style()->standardIcon(QStyle::SP_LineEditClearButton);
    for (const TClearing &c : kClearings) {
        // The tool tip names it: a text would be drawn on the small button.
        auto *action = new QAction(icon, QString(), this);
        action->setObjectName(QString::fromLatin1(c.Name));
        action->setToolTip(QStringLiteral("Obriši"));
        this->*c.Clear = action;
        (this->*c.Edit)->addAction(action, QLineEdit::TrailingPosition);
        ConnectGuarded(action, [this, c] {
            if (!(this->*c.Clear)->isEnabled())
                return;
            editIfBrowsing();
            (LedgerDM->*c.Id)->Clear();
            (LedgerDM->*c.Shown)->Clear();
            UpdateActions();
        });
    }
}

// Shown only where there is something to clear and the picker could set it.
void TLedgerDetailForm::clearActionsUpdate()
{
    const TLedgerDM &dm = *LedgerDM;
    for (const TClearing &c : kClearings) {
        const bool can = (this->*c.Picker)->isEnabled() && !(dm.*c.Id)->IsNull();
        QAction *action = this->*c.Clear;
        action->setEnabled(can);
        action->setVisible(can);
    }
}
