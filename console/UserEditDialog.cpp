#include "UserEditDialog.h"

#include "Dialogs.h"
#include "EditButtons.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "PasswordDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {
// The widths of the user table's columns.
constexpr int LoginLength = 50;
constexpr int NameLength = 50;

QLineEdit *lineEdit(const QString &name, const QString &text, int maxLength, QWidget *parent)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    return edit;
}
} // namespace

TUserEditDialog::TUserEditDialog(const TUserRecord &user, TSave save, QWidget *parent)
    : QDialog(parent), m_userID(user.UserID), m_save(std::move(save))
{
    const bool isNew = user.UserID == 0;
    setObjectName(QStringLiteral("userEditDialog"));
    setWindowTitle(isNew ? UiText(u"Novi korisnik") : UiText(u"Korisnik %1").arg(user.Login));
    LoginEdit = lineEdit(QStringLiteral("loginEdit"), user.Login, LoginLength, this);
    LoginEdit->setReadOnly(!isNew);
    FirstNameEdit = lineEdit(QStringLiteral("firstNameEdit"), user.FirstName, NameLength, this);
    LastNameEdit = lineEdit(QStringLiteral("lastNameEdit"), user.LastName, NameLength, this);
    RoleCombo = new QComboBox(this);
    RoleCombo->setObjectName(QStringLiteral("roleCombo"));
    RoleCombo->addItems({UserRoleText(false), UserRoleText(true)});
    RoleCombo->setCurrentIndex(user.Administrator ? 1 : 0);
    ActiveCheck = new QCheckBox(UiText(u"Nalog je &aktivan (korisnik može da se prijavi)"), this);
    ActiveCheck->setObjectName(QStringLiteral("activeCheck"));
    ActiveCheck->setChecked(user.Active);

    auto *form = new QFormLayout(this);
    form->addRow(UiText(u"&Korisničko ime:"), LoginEdit);
    form->addRow(UiText(u"&Ime:"), FirstNameEdit);
    form->addRow(UiText(u"&Prezime:"), LastNameEdit);
    form->addRow(UiText(u"&Uloga:"), RoleCombo);
    form->addRow(QString(), ActiveCheck);
    if (isNew) {
        PasswordEdit = PasswordLine(QStringLiteral("passwordEdit"), this);
        RepeatEdit = PasswordLine(QStringLiteral("repeatPasswordEdit"), this);
        form->addRow(UiText(u"&Lozinka:"), PasswordEdit);
        form->addRow(UiText(u"P&onovite lozinku:"), RepeatEdit);
    }
    form->addRow(EditButtons(*this, [this] { TrySave(); }));
    setMinimumWidth(420);
    (isNew ? LoginEdit : FirstNameEdit)->setFocus();
}

TUserRecord TUserEditDialog::User() const
{
    TUserRecord user;
    user.UserID = m_userID;
    user.Login = LoginEdit->text().trimmed();
    user.FirstName = FirstNameEdit->text().trimmed();
    user.LastName = LastNameEdit->text().trimmed();
    user.Administrator = RoleCombo->currentIndex() == 1;
    user.Active = ActiveCheck->isChecked();
    return user;
}

void TUserEditDialog::TrySave()
{
    if (PasswordEdit && PasswordEdit->text() != RepeatEdit->text()) {
        MessageDlg(UiText(PasswordsDifferText), TMsgDlgType::Warning, mbOK);
        RepeatEdit->setFocus();
        return;
    }
    try {
        m_save(User(), PasswordEdit ? PasswordEdit->text() : QString());
    } catch (const EDatabaseError &) {
        throw; // the guarded handler shows the database's details
    } catch (const KException &e) {
        MessageDlg(e.message(), TMsgDlgType::Warning, mbOK);
        return;
    }
    accept();
}
