#include "UserStore.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "PasswordHash.h"
#include "SerbianDisplayOrder.h"
#include "ZConnection.h"
#include "ZTransaction.h"

#include <QSqlQuery>
#include <QVariant>

const QString UsersAdminOnlyText = QStringLiteral("Korisnike može da uređuje samo administrator.");

namespace {

// The settings row every change of users locks; made once, outside any transaction.
const QString LockSection = QStringLiteral("Users");
const QString LockKey = QStringLiteral("ChangeLock");

const QString LastAdminText =
    QStringLiteral("Mora ostati bar jedan aktivan administrator: poslednji ne može biti isključen niti postati službenik.");

void ensureLockRow(TZConnection &connection)
{
    const QString find = QStringLiteral("SELECT 1 FROM settings WHERE section = ? AND keyname = ?");
    if (connection.OpenQuery(find, {LockSection, LockKey})->next())
        return;
    try {
        connection.ExecSQL(QStringLiteral("INSERT INTO settings (section, keyname, value) VALUES (?, ?, '')"),
                           {LockSection, LockKey});
    } catch (const EDatabaseError &e) {
        // Another desk made it at the same moment.
        if (!IsUniqueViolation(e))
            throw;
    }
}

QString takenText(const QString &login)
{
    return UiText(u"Korisničko ime „%1“ je zauzeto.").arg(login);
}

QVariantMap columns(const TUserRecord &user)
{
    return {{QStringLiteral("firstname"), user.FirstName},
            {QStringLiteral("lastname"), user.LastName},
            {QStringLiteral("role"), user.Administrator ? QStringLiteral("a") : QStringLiteral("c")},
            {QStringLiteral("active"), user.Active ? QStringLiteral("y") : QStringLiteral("n")}};
}

// Names may stay empty, but never null: the columns take no NULL.
QString trimmedText(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text.trimmed();
}

TUserRecord trimmed(TUserRecord user)
{
    user.Login = user.Login.trimmed();
    user.FirstName = trimmedText(user.FirstName);
    user.LastName = trimmedText(user.LastName);
    return user;
}

TUserRecord readUser(const QSqlQuery &q)
{
    TUserRecord u;
    u.UserID = q.value(0).toLongLong();
    u.Login = q.value(1).toString();
    u.FirstName = q.value(2).toString();
    u.LastName = q.value(3).toString();
    u.Administrator = q.value(4).toString() == QLatin1String("a");
    u.Active = q.value(5).toString() == QLatin1String("y");
    return u;
}

TRegisterActor actorOf(const TUserDesc &user)
{
    const QString name = (user.FirstName + u' ' + user.LastName).trimmed();
    return RegisterActor(user.UserID, name.isEmpty() ? user.Login : name);
}

const QString UserColumns = QStringLiteral("SELECT userid, login, firstname, lastname, role, active FROM user");

} // namespace

QString UserRoleText(bool administrator)
{
    return administrator ? UiText(u"Administrator") : UiText(u"Službenik");
}

TRegisterValue PasswordChangedValue()
{
    return {QStringLiteral("lozinka"), QVariant(), QStringLiteral("promenjena")};
}

void ChangeUsers(TZConnection &connection, const std::function<void()> &work)
{
    ensureLockRow(connection);
    RetryOnWriteConflict(connection, [&] {
        TZTransaction transaction(connection);
        if (!transaction.LockRow(QStringLiteral("settings"), QStringLiteral("section"), LockSection))
            throw EDatabaseError(UiText(u"Izmena korisnika nije moguća: nedostaje red podešavanja."));
        work();
        transaction.Commit();
    });
}

TUserStore::TUserStore(TZConnection &connection, const TUserDesc &actingUser)
    : m_connection(connection),
      m_actingUser(actingUser),
      m_actor(actorOf(actingUser))
{
}

QList<TUserRecord> TUserStore::Users() const
{
    auto q = m_connection.OpenQuery(UserColumns + QStringLiteral(" ORDER BY %1, %2, %3")
                                                      .arg(m_connection.TextOrder(QStringLiteral("lastname")),
                                                           m_connection.TextOrder(QStringLiteral("firstname")),
                                                           m_connection.TextOrder(QStringLiteral("login"))));
    QList<TUserRecord> users;
    while (q->next())
        users << readUser(*q);
    SortForDisplayBy(users, [](const TUserRecord &u) { return QStringList{u.LastName, u.FirstName, u.Login}; });
    return users;
}

std::optional<TUserRecord> TUserStore::User(qint64 userID) const
{
    auto q = m_connection.OpenQuery(UserColumns + QStringLiteral(" WHERE userid = ?"), {userID});
    if (!q->next())
        return std::nullopt;
    return readUser(*q);
}

TUserRecord TUserStore::stored(qint64 userID) const
{
    const std::optional<TUserRecord> user = User(userID);
    if (!user)
        throw KException(UiText(u"Korisnik više ne postoji u bazi podataka."));
    return *user;
}

void TUserStore::requireAdministrator() const
{
    // The role as stored now: another administrator may have taken it away.
    const std::optional<TUserRecord> me = m_actingUser.Administrator ? User(m_actingUser.UserID) : std::nullopt;
    if (!me || !me->Administrator || !me->Active)
        throw KException(UiText(UsersAdminOnlyText));
}

void TUserStore::change(const std::function<void()> &work)
{
    if (!m_actingUser.Administrator)
        throw KException(UiText(UsersAdminOnlyText));
    ChangeUsers(m_connection, [&] {
        requireAdministrator();
        work();
    });
}

qint64 TUserStore::Add(const TUserRecord &typed, const QString &password)
{
    const TUserRecord user = trimmed(typed);
    if (!m_actingUser.Administrator)
        throw KException(UiText(UsersAdminOnlyText));
    if (user.Login.isEmpty())
        throw KException(UiText(u"Upišite korisničko ime."));
    if (password.isEmpty())
        throw KException(UiText(u"Upišite lozinku."));
    const QString hash = HashPassword(password); // slow on purpose: not while holding the lock
    qint64 id = 0;
    change([&] {
        if (m_connection.OpenQuery(QStringLiteral("SELECT 1 FROM user WHERE login = ?"), {user.Login})->next())
            throw KException(takenText(user.Login));
        const QVariantMap values = columns(user);
        try {
            m_connection.ExecSQL(QStringLiteral("INSERT INTO user (login, firstname, lastname, role, active, "
                                                "passwordhash) VALUES (?, ?, ?, ?, ?, ?)"),
                                 {user.Login, values[QStringLiteral("firstname")], values[QStringLiteral("lastname")],
                                  values[QStringLiteral("role")], values[QStringLiteral("active")],
                                  hash});
        } catch (const EDatabaseError &e) {
            if (IsUniqueViolation(e))
                throw KException(takenText(user.Login));
            throw;
        }
        id = m_connection.LastInsertID();
        QList<TRegisterValue> history = ChangedValues({}, values);
        history.prepend({QStringLiteral("login"), QVariant(), user.Login});
        history << PasswordChangedValue();
        RecordRegisterChange(m_connection, QStringLiteral("user"), id, TRegisterChangeKind::Insert, m_actor, history);
    });
    return id;
}

void TUserStore::Update(const TUserRecord &typed)
{
    const TUserRecord user = trimmed(typed);
    apply(user.UserID, [&](TUserRecord &row) {
        row.FirstName = user.FirstName;
        row.LastName = user.LastName;
        row.Administrator = user.Administrator;
        row.Active = user.Active;
    });
}

void TUserStore::apply(qint64 userID, const std::function<void(TUserRecord &)> &edit)
{
    change([&] {
        const TUserRecord before = stored(userID);
        TUserRecord after = before;
        edit(after);
        if (before.Administrator && before.Active && !(after.Administrator && after.Active)) {
            auto others = m_connection.OpenQuery(
                QStringLiteral("SELECT COUNT(*) FROM user WHERE role = 'a' AND active = 'y' AND userid <> ?"), {userID});
            if (!others->next() || others->value(0).toInt() == 0)
                throw KException(UiText(LastAdminText));
        }
        const QList<TRegisterValue> changed = ChangedValues(columns(before), columns(after));
        if (changed.isEmpty())
            return;
        const QVariantMap values = columns(after);
        m_connection.ExecSQL(
            QStringLiteral("UPDATE user SET firstname = ?, lastname = ?, role = ?, active = ? WHERE userid = ?"),
            {values[QStringLiteral("firstname")], values[QStringLiteral("lastname")], values[QStringLiteral("role")],
             values[QStringLiteral("active")], userID});
        RecordRegisterChange(m_connection, QStringLiteral("user"), userID, TRegisterChangeKind::Update, m_actor,
                             changed);
    });
}

void TUserStore::ResetPassword(qint64 userID, const QString &password)
{
    if (!m_actingUser.Administrator)
        throw KException(UiText(UsersAdminOnlyText));
    if (password.isEmpty())
        throw KException(UiText(u"Upišite novu lozinku."));
    const QString hash = HashPassword(password);
    change([&] {
        stored(userID);
        m_connection.ExecSQL(QStringLiteral("UPDATE user SET passwordhash = ? WHERE userid = ?"), {hash, userID});
        RecordRegisterChange(m_connection, QStringLiteral("user"), userID, TRegisterChangeKind::Update, m_actor,
                             {PasswordChangedValue()});
    });
}

void TUserStore::Deactivate(qint64 userID)
{
    apply(userID, [](TUserRecord &row) { row.Active = false; });
}
