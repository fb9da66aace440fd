#pragma once
// "Korisnici": the users of the book with a filter line, and their changes
// for an administrator (new user, names, role and activity, a new password,
// deactivation) through the user store. Modal through the dialog seam.

#include "KInterfaces.h"
#include "UserStore.h"

#include <QDialog>

class QLineEdit;
class QTableWidget;
class TSecurityService;
class TZConnection;

class TUsersWindow : public QDialog
{
    Q_OBJECT
public:
    TUsersWindow(TZConnection &connection, const TUserDesc &actingUser, QWidget *parent = nullptr);

    // Shows the rows whose login, last or first name holds text (any case,
    // diacritics or script).
    void SetFilter(const QString &text);
    int VisibleRows() const;
    // Makes the row of that login current; false when it is not shown.
    bool SelectLogin(const QString &login);

    // The buttons' work on the current row; public so tests can press them.
    void AddUser();
    void EditUser();
    void ResetPassword();
    void DeactivateUser();

    QLineEdit *FilterEdit = nullptr;
    QTableWidget *UsersTable = nullptr;

private:
    void reload(qint64 currentID);
    const TUserRecord *current() const;

    TUserStore m_store;
    QList<TUserRecord> m_users;
};

// The "Korisnici" register of the console's menu: the window for an
// administrator; a clerk, or nobody logged in, is told it is not theirs.
void OpenUsersWindow(TSecurityService &security, QWidget *parent);
