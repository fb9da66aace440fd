#include "SecurityService.h"

#include "KException.h"
#include "PasswordHash.h"
#include "PickRows.h"
#include "ZConnection.h"

#include <QSqlQuery>
#include <QVariant>

// ---- TSecurityService -------------------------------------------------------

TSecurityService::TSecurityService(TZConnection *connection)
    : m_connection(connection)
{
}

bool TSecurityService::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == ISecurity::IID())
        return answer<ISecurity>(this, out);
    return TInterfacedObject::QueryInterface(iid, out);
}

TZConnection *TSecurityService::GetConnection()
{
    return m_connection;
}

bool TSecurityService::Connect()
{
    if (!m_connection)
        return false;
    try {
        m_connection->Connect();
    } catch (const KException &e) {
        qWarning("Veza sa bazom podataka nije uspostavljena: %s", e.what());
        return false;
    }
    return true;
}

bool TSecurityService::GetCurrentUser(TUserDesc &desc, int)
{
    if (!m_user)
        return false;
    desc = *m_user;
    return true;
}

QString TSecurityService::CurrentUserName() const
{
    return m_user ? (m_user->FirstName + u' ' + m_user->LastName).trimmed() : QString();
}

bool TSecurityService::Login(const QString &login, const QString &password)
{
    m_user.reset();
    const QString name = login.trimmed();
    auto q = m_connection->OpenQuery(
        QStringLiteral("SELECT userid, login, firstname, lastname, passwordhash FROM user WHERE login = ?"), {name});
    if (!name.isEmpty() && q->next()) {
        if (!VerifyPassword(password, RowText(*q, 4)))
            return false;
        TUserDesc user;
        user.UserID = q->value(0).toInt();
        user.Login = RowText(*q, 1);
        user.FirstName = RowText(*q, 2);
        user.LastName = RowText(*q, 3);
        m_user = user;
        return true;
    }
    // Spend the same time as for a known login.
    static const QString decoy = HashPassword(QStringLiteral("decoy"));
    VerifyPassword(password, decoy);
    return false;
}

void TSecurityService::SaveUser(const QString &login, const QString &firstName, const QString &lastName,
                                const QString &password)
{
    const QString name = login.trimmed();
    if (name.isEmpty() || password.isEmpty())
        throw KException(QStringLiteral("Korisničko ime i lozinka moraju biti zadati."));
    const QString hash = HashPassword(password);
    if (m_connection->ExecSQL(QStringLiteral("UPDATE user SET firstname = ?, lastname = ?, passwordhash = ? WHERE login = ?"),
                              {firstName.trimmed(), lastName.trimmed(), hash, name}) == 0)
        m_connection->ExecSQL(QStringLiteral("INSERT INTO user (firstname, lastname, login, passwordhash) VALUES (?, ?, ?, ?)"),
                              {firstName.trimmed(), lastName.trimmed(), name, hash});
}

bool TSecurityService::SelectUser(TUserDesc &desc)
{
    return SelectRow(
        m_connection, QStringLiteral("SELECT userid, login, firstname, lastname FROM user ORDER BY %1, %2, %3")
                          .arg(m_connection->TextOrder(QStringLiteral("lastname")),
                               m_connection->TextOrder(QStringLiteral("firstname")),
                               m_connection->TextOrder(QStringLiteral("login"))),
        QStringLiteral("Izbor korisnika"),
        {QStringLiteral("Prezime"), QStringLiteral("Ime"), QStringLiteral("Korisničko ime")}, &TUserDesc::UserID,
        [](const QSqlQuery &q, TUserDesc &u) {
            u.UserID = q.value(0).toInt();
            u.Login = RowText(q, 1);
            u.FirstName = RowText(q, 2);
            u.LastName = RowText(q, 3);
            return QStringList{u.LastName, u.FirstName, u.Login};
        },
        desc);
}
