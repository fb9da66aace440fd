#include "Services.h"

#include "Dialogs.h"
#include "PasswordHash.h"
#include "PickerDialog.h"
#include "ZConnection.h"
#include "KException.h"

#include <QApplication>
#include <QSqlQuery>
#include <QVariant>
#include <vector>

namespace {

QWidget *dialogParent()
{
    return QApplication::activeWindow();
}

// Runs the picker over rows and returns the chosen index, -1 on cancel.
int pick(const QString &title, const QStringList &headers, const QList<QStringList> &rows, int current)
{
    TPickerDialog dialog(title, headers, rows, dialogParent());
    dialog.SetCurrentRow(current);
    if (Dialogs().ShowModal(dialog) != QDialog::Accepted)
        return -1;
    return dialog.SelectedRow();
}

QString text(const QSqlQuery &q, int column)
{
    return q.value(column).toString();
}

// Lists the rows of sql in the picker, with the descriptor's own row current;
// read makes a descriptor and its shown cells from a row. Fills desc and
// answers true when the user chose one; desc stays as it was otherwise.
template <class Desc, class Read>
bool selectRow(TZConnection *connection, const QString &sql, const QString &title, const QStringList &headers,
               qint32 Desc::*id, Read read, Desc &desc)
{
    std::vector<Desc> found;
    QList<QStringList> rows;
    int current = -1;
    auto q = connection->OpenQuery(sql);
    while (q->next()) {
        Desc d;
        rows << read(*q, d);
        if (d.*id == desc.*id && desc.*id != 0)
            current = int(found.size());
        found.push_back(d);
    }
    const int chosen = pick(title, headers, rows, current);
    if (chosen < 0 || chosen >= int(found.size()))
        return false;
    desc = found[size_t(chosen)];
    return true;
}

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
    const QString name = login.trimmed();
    auto q = m_connection->OpenQuery(
        QStringLiteral("SELECT userid, login, firstname, lastname, passwordhash FROM user WHERE login = ?"), {name});
    if (!name.isEmpty() && q->next()) {
        if (!VerifyPassword(password, text(*q, 4)))
            return false;
        TUserDesc user;
        user.UserID = q->value(0).toInt();
        user.Login = text(*q, 1);
        user.FirstName = text(*q, 2);
        user.LastName = text(*q, 3);
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
    return selectRow(
        m_connection, QStringLiteral("SELECT userid, login, firstname, lastname FROM user ORDER BY %1, %2, %3")
                          .arg(m_connection->TextOrder(QStringLiteral("lastname")),
                               m_connection->TextOrder(QStringLiteral("firstname")),
                               m_connection->TextOrder(QStringLiteral("login"))),
        QStringLiteral("Izbor korisnika"),
        {QStringLiteral("Prezime"), QStringLiteral("Ime"), QStringLiteral("Korisničko ime")}, &TUserDesc::UserID,
        [](const QSqlQuery &q, TUserDesc &u) {
            u.UserID = q.value(0).toInt();
            u.Login = text(q, 1);
            u.FirstName = text(q, 2);
            u.LastName = text(q, 3);
            return QStringList{u.LastName, u.FirstName, u.Login};
        },
        desc);
}

// ---- TPartnerService --------------------------------------------------------

bool TPartnerService::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == IPartner::IID())
        return answer<IPartner>(this, out);
    return TInterfacedObject::QueryInterface(iid, out);
}

bool TPartnerService::SelectPartner(TPartnerDesc &desc)
{
    return selectRow(
        m_connection, QStringLiteral("SELECT partnerid, name, address, city FROM partner ORDER BY %1, partnerid")
                          .arg(m_connection->TextOrder(QStringLiteral("name"))),
        QStringLiteral("Izbor partnera"), {QStringLiteral("Naziv"), QStringLiteral("Adresa"), QStringLiteral("Mesto")},
        &TPartnerDesc::PartnerID,
        [](const QSqlQuery &q, TPartnerDesc &p) {
            p.PartnerID = q.value(0).toInt();
            p.Name = text(q, 1);
            p.Address = text(q, 2);
            return QStringList{p.Name, p.Address, text(q, 3)};
        },
        desc);
}

// ---- TDocumentService -------------------------------------------------------

bool TDocumentService::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == IDocument::IID())
        return answer<IDocument>(this, out);
    return TInterfacedObject::QueryInterface(iid, out);
}

bool TDocumentService::SelectDocument(TDocumentDesc &desc)
{
    return selectRow(
        m_connection, QStringLiteral("SELECT documentid, number, description FROM document ORDER BY %1, documentid")
                          .arg(m_connection->TextOrder(QStringLiteral("number"))),
        QStringLiteral("Izbor dokumenta"), {QStringLiteral("Broj"), QStringLiteral("Opis")}, &TDocumentDesc::DocumentID,
        [](const QSqlQuery &q, TDocumentDesc &d) {
            d.DocumentID = q.value(0).toInt();
            d.Number = text(q, 1);
            d.Description = text(q, 2);
            return QStringList{d.Number, d.Description};
        },
        desc);
}
