#pragma once
// Who is logged in, the users' picker and the users' passwords. Reads the
// user table directly through the console's connection.

#include "KInterfaces.h"

#include <optional>

class TZConnection;
struct TRegisterActor;

class TSecurityService : public TInterfacedObject, public ISecurity
{
public:
    explicit TSecurityService(TZConnection *connection);

    bool QueryInterface(const QUuid &iid, void **out) override;

    TZConnection *GetConnection() override;
    bool Connect() override;
    bool GetCurrentUser(TUserDesc &desc, int flags) override;
    bool SelectUser(TUserDesc &desc) override;

    // Checks the password against the stored hash; on success that user is
    // the current one. The same error for an unknown login and a wrong
    // password, so the answer does not tell which logins exist; an inactive
    // user is told so only after giving the right password. LoginError says
    // why the last attempt failed.
    bool Login(const QString &login, const QString &password);
    QString LoginError() const { return m_loginError; }
    void Logout() { m_user.reset(); }
    QString CurrentUserName() const; // "Ana Petrović", empty when nobody is logged in

    // Adds a login, or gives an existing one new names and a new password;
    // only the password's salted hash is stored. Throws on an empty login
    // or password.
    // Recorded in the registers' history, the password only as changed.
    void SaveUser(const QString &login, const QString &firstName, const QString &lastName, const QString &password);

    // The logged-in user's own password; throws with a message for the user
    // when nobody is logged in, the old password is wrong or the new empty.
    void ChangePassword(const QString &oldPassword, const QString &newPassword);

private:
    TRegisterActor actor() const; // who the registers' history names

    TZConnection *m_connection;
    std::optional<TUserDesc> m_user;
    QString m_loginError;
};
