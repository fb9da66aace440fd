#include "LoginDialog.h"

#include "Guard.h"
#include "InterfaceScript.h"
#include "Services.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TLoginDialog::TLoginDialog(TSecurityService *security, QWidget *parent)
    : QDialog(parent)
    , m_security(security)
{
    setObjectName(QStringLiteral("loginDialog"));
    setWindowTitle(UiText(u"Prijava"));

    m_login = new QLineEdit(this);
    m_login->setObjectName(QStringLiteral("loginEdit"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("passwordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("errorLabel"));
    m_error->setStyleSheet(QStringLiteral("color: #b00020;"));
    m_error->hide();

    auto *form = new QFormLayout;
    form->addRow(UiText(u"&Korisnik:"), m_login);
    form->addRow(UiText(u"&Lozinka:"), m_password);

    auto *buttons = new QDialogButtonBox(this);
    // Not AcceptRole: the dialog closes only after the check succeeds.
    m_ok = buttons->addButton(UiText(u"Prijavi se"), QDialogButtonBox::ActionRole);
    m_ok->setObjectName(QStringLiteral("loginButton"));
    m_ok->setDefault(true);
    m_cancel = buttons->addButton(UiText(u"Otkaži"), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ConnectGuarded(m_ok, [this] { TryLogin(); });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_error);
    layout->addWidget(buttons);
    setMinimumWidth(340);
    m_login->setFocus();
}

void TLoginDialog::SetLogin(const QString &login)
{
    m_login->setText(login);
    (login.isEmpty() ? m_login : m_password)->setFocus();
}

QString TLoginDialog::Login() const
{
    return m_login->text().trimmed();
}

void TLoginDialog::TryLogin()
{
    if (m_security->Login(m_login->text(), m_password->text())) {
        m_error->hide();
        accept();
        return;
    }
    m_error->setText(m_security->LoginError());
    m_error->show();
    m_password->clear();
    m_password->setFocus();
}
