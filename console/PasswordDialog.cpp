#include "PasswordDialog.h"

#include "Dialogs.h"
#include "EditButtons.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

const QString PasswordsDifferText = QStringLiteral("Lozinka i njena potvrda se ne poklapaju; upišite je ponovo.");

TPasswordDialog::TPasswordDialog(const QString &title, bool askOld, TSave save, QWidget *parent)
    : QDialog(parent), m_save(std::move(save))
{
    setObjectName(QStringLiteral("passwordDialog"));
    setWindowTitle(title);
    auto *form = new QFormLayout(this);
    if (askOld) {
        OldEdit = PasswordLine(QStringLiteral("oldPasswordEdit"), this);
        form->addRow(UiText(u"&Stara lozinka:"), OldEdit);
    }
    NewEdit = PasswordLine(QStringLiteral("newPasswordEdit"), this);
    RepeatEdit = PasswordLine(QStringLiteral("repeatPasswordEdit"), this);
    form->addRow(UiText(u"&Nova lozinka:"), NewEdit);
    form->addRow(UiText(u"&Ponovite novu:"), RepeatEdit);
    form->addRow(EditButtons(*this, [this] { TrySave(); }));
    setMinimumWidth(360);
}

void TPasswordDialog::TrySave()
{
    if (NewEdit->text() != RepeatEdit->text()) {
        MessageDlg(UiText(PasswordsDifferText), TMsgDlgType::Warning, mbOK);
        RepeatEdit->setFocus();
        return;
    }
    try {
        m_save(OldEdit ? OldEdit->text() : QString(), NewEdit->text());
    } catch (const EDatabaseError &) {
        throw; // the guarded handler shows the database's details
    } catch (const KException &e) {
        MessageDlg(e.message(), TMsgDlgType::Warning, mbOK);
        return;
    }
    accept();
}
