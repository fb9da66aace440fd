#pragma once
// The users' register as the "Korisnici" window edits it: the list, a new
// user, names, role and activity, a new password, deactivation. Only an
// active administrator changes it, and at least one active administrator
// always stays: every change takes one lock that serialises the changes of
// users, checks the acting user's role and the administrators left inside
// it, and records itself in the registers' history in the same transaction.
// Refusals throw KException with a message for the user.

#include "KInterfaces.h"
#include "RegisterHistory.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class TZConnection;

struct TUserRecord
{
    qint64 UserID = 0;
    QString Login;
    QString FirstName;
    QString LastName;
    bool Administrator = false;
    bool Active = true;
};

// "Administrator" or "Službenik".
QString UserRoleText(bool administrator);

// What a clerk reads when asking for an administrator's task with users.
extern const QString UsersAdminOnlyText;

// The history's value of a password change: the column "lozinka", never the hash.
TRegisterValue PasswordChangedValue();

// Runs work in a transaction that holds the users' lock: another desk
// changing users waits until it ends, and work's reads see what that desk
// stored. Run again once when a cluster gave it up for a write conflict.
void ChangeUsers(TZConnection &connection, const std::function<void()> &work);

class TUserStore
{
public:
    // actingUser: the logged-in user, who must be an administrator to write.
    TUserStore(TZConnection &connection, const TUserDesc &actingUser);

    // Every user, by last name, first name and login in the order of the
    // interface's script (SerbianDisplayOrder.h).
    QList<TUserRecord> Users() const;
    std::optional<TUserRecord> User(qint64 userID) const;

    // Adds a user with that password; the new id. Refuses an empty login or
    // password and a login taken (the unique index decides a race).
    qint64 Add(const TUserRecord &user, const QString &password);
    // Stores the names, the role and the activity of user.UserID; the login
    // stays. Refuses to leave no active administrator.
    void Update(const TUserRecord &user);
    void ResetPassword(qint64 userID, const QString &password);
    void Deactivate(qint64 userID);

private:
    void change(const std::function<void()> &work);
    // Edits the stored row inside the lock, keeping an active administrator.
    void apply(qint64 userID, const std::function<void(TUserRecord &)> &edit);
    void requireAdministrator() const;
    TUserRecord stored(qint64 userID) const;

    TZConnection &m_connection;
    TUserDesc m_actingUser;
    TRegisterActor m_actor;
};
