#pragma once
// Who is logged in, the users' picker and the users' passwords. Reads the
// user table directly through the console's connection.

#include "KInterfaces.h"

#include <optional>

class TZConnection;

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
    // password, so the answer does not tell which logins exist.
    bool Login(const QString &login, const QString &password);
    void Logout() { m_user.reset(); }
    QString CurrentUserName() const; // "Ana Petrović", empty when nobody is logged in

    // Adds a login, or gives an existing one new names and a new password;
    // only the password's salted hash is stored. Throws on an empty login
    // or password.
    void SaveUser(const QString &login, const QString &firstName, const QString &lastName, const QString &password);

private:
    TZConnection *m_connection;
    std::optional<TUserDesc> m_user;
};
