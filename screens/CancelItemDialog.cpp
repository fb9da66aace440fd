#include "CancelItemDialog.h"

#include "data/ClosedYears.h"

#include "Dialogs.h"
#include "InterfaceScript.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerStorno.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

TCancelItemDialog::TCancelItemDialog(const QString &question, QWidget *parent)
    : QDialog(parent), QuestionLabel(new QLabel(question, this)), ReasonEdit(new QPlainTextEdit(this)),
      CancelItemButton(new QPushButton(UiText(u"Storniraj"), this)),
      CloseButton(new QPushButton(UiText(u"Odustani"), this))
{
    setObjectName(QStringLiteral("CancelItemDialog"));
    setWindowTitle(UiText(u"Storniranje stavke"));
    QuestionLabel->setObjectName(QStringLiteral("QuestionLabel"));
    QuestionLabel->setWordWrap(true);
    ReasonEdit->setObjectName(QStringLiteral("ReasonEdit"));
    ReasonEdit->setTabChangesFocus(true);
    CancelItemButton->setObjectName(QStringLiteral("CancelItemButton"));
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    // Nothing final happens on a stray Enter: "Odustani" is the default.
    CancelItemButton->setAutoDefault(false);
    CloseButton->setDefault(true);

    auto *reasonLabel = new QLabel(UiText(u"&Razlog storniranja:"), this);
    reasonLabel->setBuddy(ReasonEdit);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(CancelItemButton, QDialogButtonBox::ActionRole);
    buttons->addButton(CloseButton, QDialogButtonBox::RejectRole);
    connect(CancelItemButton, &QPushButton::clicked, this, [this] { CancelItemButtonClick(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(QuestionLabel);
    layout->addWidget(reasonLabel);
    layout->addWidget(ReasonEdit, 1);
    layout->addWidget(buttons);
    resize(440, 260);
    ReasonEdit->setFocus();
}

QString TCancelItemDialog::Reason() const
{
    return ReasonEdit->toPlainText().trimmed();
}

void TCancelItemDialog::CancelItemButtonClick()
{
    if (const QString refusal = CancelReasonRefusal(ReasonEdit->toPlainText()); !refusal.isEmpty()) {
        MessageDlg(refusal, TMsgDlgType::Warning, mbOK);
        ReasonEdit->setFocus();
        return;
    }
    accept();
}

bool CancelCurrentItem(QWidget *owner, TLedgerItems &items)
{
    TZQuery *query = items.LedgerItemZQ;
    if (!query->Active() || query->IsEmpty())
        return false;
    if (query->State() != TDataSetState::Browse) {
        MessageDlg(UiText(u"Stavka se stornira bez nesačuvanih izmena: sačuvajte ih ili otkažite, pa stornirajte."),
                   TMsgDlgType::Warning, mbOK);
        return false;
    }
    TCancelTarget target;
    target.ItemID = items.LedgerItemZQledgeritemid->AsLargeInt();
    target.Number = items.LedgerItemZQledgernumber->AsString();
    target.PassOnCopy = !items.LedgerItemZQpassonparentid->IsNull();
    target.Cancelled = items.LedgerItemZQcancelled->AsBoolean();
    target.Accepted = items.LedgerItemZQaccepted->AsBoolean();
    target.UserID = items.LedgerItemZQuserid->AsLargeInt();
    target.InUserID = items.LedgerItemZQinuserid->AsLargeInt();
    TUserDesc user;
    if (!LedgerDM->Context() || !LedgerDM->Context()->CurrentUser(user))
        user = TUserDesc();
    if (const QString refusal = CancelRefusal(target, user); !refusal.isEmpty()) {
        MessageDlg(refusal, TMsgDlgType::Warning, mbOK);
        return false;
    }
    // Said before the reason is typed, not after.
    if (const std::optional<int> closed = ClosedYearOfItem(*LedgerDM->ZConnection(), target.ItemID)) {
        MessageDlg(ClosedYearMessage(*closed), TMsgDlgType::Warning, mbOK);
        return false;
    }
    TCancelItemDialog dialog(UiText(u"Stornirati stavku %1 (%2, %3)?\nStavka ostaje u delovodniku pod svojim "
                                            u"brojem, ali se posle storniranja više ne može menjati.")
                                 .arg(target.Number, items.LedgerItemZQdirection->DisplayText(),
                                      items.LedgerItemZQitemtype->AsString()),
                             owner);
    if (Dialogs().ShowModal(dialog) != QDialog::Accepted)
        return false;
    CancelLedgerItem(*LedgerDM, target.ItemID, dialog.Reason());
    return true;
}
