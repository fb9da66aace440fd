#include "PasswordDialog.h"

#include "Dialogs.h"
#include "Guard.h"
#include "KException.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

const QString PasswordsDifferText = QStringLiteral("Lozinka i njena potvrda se ne poklapaju; upišite je ponovo.");

namespace {
QLineEdit *passwordEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}
} // namespace

TPasswordDialog::TPasswordDialog(const QString &title, bool askOld, TSave save, QWidget *parent)
    : QDialog(parent), m_save(std::move(save))
{
    setObjectName(QStringLiteral("passwordDialog"));
    setWindowTitle(title);
    auto *form = new QFormLayout(this);
    if (askOld) {
        OldEdit = passwordEdit(QStringLiteral("oldPasswordEdit"), this);
        form->addRow(QStringLiteral("&Stara lozinka:"), OldEdit);
    }
    NewEdit = passwordEdit(QStringLiteral("newPasswordEdit"), this);
    RepeatEdit = passwordEdit(QStringLiteral("repeatPasswordEdit"), this);
    form->addRow(QStringLiteral("&Nova lozinka:"), NewEdit);
    form->addRow(QStringLiteral("&Ponovite novu:"), RepeatEdit);
    auto *buttons = new QDialogButtonBox(this);
    // Not AcceptRole: the dialog closes only once the password is stored.
    QPushButton *ok = buttons->addButton(QStringLiteral("Sačuvaj"), QDialogButtonBox::ActionRole);
    ok->setObjectName(QStringLiteral("saveButton"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Otkaži"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ConnectGuarded(ok, [this] { TrySave(); });
    form->addRow(buttons);
    setMinimumWidth(360);
}

void TPasswordDialog::TrySave()
{
    if (NewEdit->text() != RepeatEdit->text()) {
        MessageDlg(PasswordsDifferText, TMsgDlgType::Warning, mbOK);
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
