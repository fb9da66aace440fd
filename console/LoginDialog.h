#pragma once
// "Prijava": asks for login and password and checks them against the
// security service; a wrong pair keeps the dialog open for another try.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TSecurityService;

class TLoginDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TLoginDialog(TSecurityService *security, QWidget *parent = nullptr);

    void SetLogin(const QString &login);
    QString Login() const;
    // What the login button does; public so scripts and tests can press it.
    void TryLogin();

private:
    TSecurityService *m_security;
    QLineEdit *m_login;
    QLineEdit *m_password;
    QLabel *m_error;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
