#include "SecurityService.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "PasswordHash.h"
#include "PickRows.h"
#include "RegisterHistory.h"
#include "UserStore.h"
#include "ZConnection.h"

#include <QSqlQuery>
#include <QVariant>

namespace {
const QString WrongLoginText = QStringLiteral("Pogrešno korisničko ime ili lozinka.");
const QString InactiveText = QStringLiteral("Korisnički nalog je isključen. Obratite se administratoru.");
} // namespace

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
    m_loginError = UiText(WrongLoginText);
    const QString name = login.trimmed();
    auto q = m_connection->OpenQuery(
        QStringLiteral("SELECT userid, login, firstname, lastname, passwordhash, role, active FROM user WHERE login = ?"),
        {name});
    if (!name.isEmpty() && q->next()) {
        if (!VerifyPassword(password, RowText(*q, 4)))
            return false;
        // Said only to whoever knows the password.
        if (RowText(*q, 6) != QLatin1String("y")) {
            m_loginError = UiText(InactiveText);
            return false;
        }
        TUserDesc user;
        user.UserID = q->value(0).toInt();
        user.Login = RowText(*q, 1);
        user.FirstName = RowText(*q, 2);
        user.LastName = RowText(*q, 3);
        user.Administrator = RowText(*q, 5) == QLatin1String("a");
        m_user = user;
        m_loginError.clear();
        return true;
    }
    // Spend the same time as for a known login.
    static const QString decoy = HashPassword(QStringLiteral("decoy"));
    VerifyPassword(password, decoy);
    return false;
}

TRegisterActor TSecurityService::actor() const
{
    if (!m_user)
        return RegisterActor(0, QStringLiteral("komandna linija"));
    const QString name = CurrentUserName();
    return RegisterActor(m_user->UserID, name.isEmpty() ? m_user->Login : name);
}

void TSecurityService::SaveUser(const QString &login, const QString &firstName, const QString &lastName,
                                const QString &password)
{
    const QString name = login.trimmed();
    if (name.isEmpty() || password.isEmpty())
        throw KException(UiText(u"Korisničko ime i lozinka moraju biti zadati."));
    const QString hash = HashPassword(password);
    const QVariantMap names{{QStringLiteral("firstname"), firstName.trimmed()},
                            {QStringLiteral("lastname"), lastName.trimmed()}};
    ChangeUsers(*m_connection, [&] {
        auto q = m_connection->OpenQuery(QStringLiteral("SELECT userid, firstname, lastname FROM user WHERE login = ?"),
                                         {name});
        if (q->next()) {
            const qint64 id = q->value(0).toLongLong();
            const QVariantMap before{{QStringLiteral("firstname"), q->value(1)}, {QStringLiteral("lastname"), q->value(2)}};
            m_connection->ExecSQL(QStringLiteral("UPDATE user SET firstname = ?, lastname = ?, passwordhash = ? WHERE userid = ?"),
                                  {firstName.trimmed(), lastName.trimmed(), hash, id});
            RecordRegisterChange(*m_connection, QStringLiteral("user"), id, TRegisterChangeKind::Update, actor(),
                                 ChangedValues(before, names) << PasswordChangedValue());
            return;
        }
        m_connection->ExecSQL(QStringLiteral("INSERT INTO user (firstname, lastname, login, passwordhash) VALUES (?, ?, ?, ?)"),
                              {firstName.trimmed(), lastName.trimmed(), name, hash});
        QList<TRegisterValue> values{{QStringLiteral("login"), QVariant(), name}};
        values << ChangedValues({}, names) << PasswordChangedValue();
        RecordRegisterChange(*m_connection, QStringLiteral("user"), m_connection->LastInsertID(),
                             TRegisterChangeKind::Insert, actor(), values);
    });
}

void TSecurityService::ChangePassword(const QString &oldPassword, const QString &newPassword)
{
    if (!m_user)
        throw KException(UiText(u"Lozinku menja samo prijavljeni korisnik."));
    if (newPassword.isEmpty())
        throw KException(UiText(u"Upišite novu lozinku."));
    const QString hash = HashPassword(newPassword);
    ChangeUsers(*m_connection, [&] {
        auto q = m_connection->OpenQuery(QStringLiteral("SELECT passwordhash FROM user WHERE userid = ?"), {m_user->UserID});
        if (!q->next() || !VerifyPassword(oldPassword, RowText(*q, 0)))
            throw KException(UiText(u"Stara lozinka nije tačna."));
        m_connection->ExecSQL(QStringLiteral("UPDATE user SET passwordhash = ? WHERE userid = ?"), {hash, m_user->UserID});
        RecordRegisterChange(*m_connection, QStringLiteral("user"), m_user->UserID, TRegisterChangeKind::Update, actor(),
                             {PasswordChangedValue()});
    });
}

bool TSecurityService::SelectUser(TUserDesc &desc)
{
    return SelectRow(
        m_connection, QStringLiteral("SELECT userid, login, firstname, lastname FROM user WHERE active = 'y' ORDER BY %1, %2, %3")
                          .arg(m_connection->TextOrder(QStringLiteral("lastname")),
                               m_connection->TextOrder(QStringLiteral("firstname")),
                               m_connection->TextOrder(QStringLiteral("login"))),
        UiText(u"Izbor korisnika"),
        {UiText(u"Prezime"), UiText(u"Ime"), UiText(u"Korisničko ime")}, &TUserDesc::UserID,
        [](const QSqlQuery &q, TUserDesc &u) {
            u.UserID = q.value(0).toInt();
            u.Login = RowText(q, 1);
            u.FirstName = RowText(q, 2);
            u.LastName = RowText(q, 3);
            return QStringList{u.LastName, u.FirstName, u.Login};
        },
        desc);
}
