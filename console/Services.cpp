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
        qWarning("%s", e.what());
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

bool TSecurityService::SelectUser(TUserDesc &desc)
{
    std::vector<TUserDesc> users;
    QList<QStringList> rows;
    int current = -1;
    auto q = m_connection->OpenQuery(
        QStringLiteral("SELECT userid, login, firstname, lastname FROM user ORDER BY lastname, firstname, login"));
    while (q->next()) {
        TUserDesc u;
        u.UserID = q->value(0).toInt();
        u.Login = text(*q, 1);
        u.FirstName = text(*q, 2);
        u.LastName = text(*q, 3);
        if (u.UserID == desc.UserID && desc.UserID != 0)
            current = int(users.size());
        rows << QStringList{u.LastName, u.FirstName, u.Login};
        users.push_back(u);
    }
    const int chosen = pick(QStringLiteral("Izbor korisnika"),
                            {QStringLiteral("Prezime"), QStringLiteral("Ime"), QStringLiteral("Korisničko ime")},
                            rows, current);
    if (chosen < 0 || chosen >= int(users.size()))
        return false;
    desc = users[size_t(chosen)];
    return true;
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
    std::vector<TPartnerDesc> partners;
    QList<QStringList> rows;
    int current = -1;
    auto q = m_connection->OpenQuery(
        QStringLiteral("SELECT partnerid, name, address, city FROM partner ORDER BY name, partnerid"));
    while (q->next()) {
        TPartnerDesc p;
        p.PartnerID = q->value(0).toInt();
        p.Name = text(*q, 1);
        p.Address = text(*q, 2);
        if (p.PartnerID == desc.PartnerID && desc.PartnerID != 0)
            current = int(partners.size());
        rows << QStringList{p.Name, p.Address, text(*q, 3)};
        partners.push_back(p);
    }
    const int chosen = pick(QStringLiteral("Izbor partnera"),
                            {QStringLiteral("Naziv"), QStringLiteral("Adresa"), QStringLiteral("Mesto")}, rows,
                            current);
    if (chosen < 0 || chosen >= int(partners.size()))
        return false;
    desc = partners[size_t(chosen)];
    return true;
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
    std::vector<TDocumentDesc> documents;
    QList<QStringList> rows;
    int current = -1;
    auto q = m_connection->OpenQuery(
        QStringLiteral("SELECT documentid, number, description FROM document ORDER BY number, documentid"));
    while (q->next()) {
        TDocumentDesc d;
        d.DocumentID = q->value(0).toInt();
        d.Number = text(*q, 1);
        d.Description = text(*q, 2);
        if (d.DocumentID == desc.DocumentID && desc.DocumentID != 0)
            current = int(documents.size());
        rows << QStringList{d.Number, d.Description};
        documents.push_back(d);
    }
    const int chosen = pick(QStringLiteral("Izbor dokumenta"), {QStringLiteral("Broj"), QStringLiteral("Opis")}, rows,
                            current);
    if (chosen < 0 || chosen >= int(documents.size()))
        return false;
    desc = documents[size_t(chosen)];
    return true;
}
