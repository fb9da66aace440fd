#include "UsersWindow.h"

#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "PasswordDialog.h"
#include "SecurityService.h"
#include "SerbianFold.h"
#include "UserEditDialog.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {
enum Column { LoginColumn, LastNameColumn, FirstNameColumn, RoleColumn, ActiveColumn };

QPushButton *button(const QString &text, const QString &name, QWidget *parent, std::function<void()> run)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    ConnectGuarded(b, std::move(run));
    return b;
}
} // namespace

TUsersWindow::TUsersWindow(TZConnection &connection, const TUserDesc &actingUser, QWidget *parent)
    : QDialog(parent), m_store(connection, actingUser)
{
    setObjectName(QStringLiteral("usersWindow"));
    setWindowTitle(UiText(u"Korisnici"));
    FilterEdit = new QLineEdit(this);
    FilterEdit->setObjectName(QStringLiteral("filterEdit"));
    FilterEdit->setPlaceholderText(UiText(u"Traži po korisničkom imenu, prezimenu ili imenu"));
    FilterEdit->setClearButtonEnabled(true);
    UsersTable = new QTableWidget(0, 5, this);
    UsersTable->setObjectName(QStringLiteral("usersTable"));
    UsersTable->setHorizontalHeaderLabels({UiText(u"Korisničko ime"), UiText(u"Prezime"),
                                           UiText(u"Ime"), UiText(u"Uloga"), UiText(u"Aktivan")});
    UsersTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    UsersTable->setSelectionMode(QAbstractItemView::SingleSelection);
    UsersTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    UsersTable->verticalHeader()->hide();
    UsersTable->horizontalHeader()->setStretchLastSection(true);
    connect(FilterEdit, &QLineEdit::textChanged, this, &TUsersWindow::SetFilter);
    connect(UsersTable, &QTableWidget::cellDoubleClicked, this, [this] { Guarded([this] { EditUser(); }); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(button(UiText(u"&Novi…"), QStringLiteral("addButton"), this, [this] { AddUser(); }));
    buttons->addWidget(button(UiText(u"&Izmeni…"), QStringLiteral("editButton"), this, [this] { EditUser(); }));
    buttons->addWidget(button(UiText(u"Nova &lozinka…"), QStringLiteral("passwordButton"), this,
                              [this] { ResetPassword(); }));
    buttons->addWidget(button(UiText(u"I&sključi"), QStringLiteral("deactivateButton"), this,
                              [this] { DeactivateUser(); }));
    buttons->addStretch(1);
    buttons->addWidget(button(UiText(u"&Zatvori"), QStringLiteral("closeButton"), this, [this] { accept(); }));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FilterEdit);
    layout->addWidget(UsersTable, 1);
    layout->addLayout(buttons);
    resize(720, 460);
    reload(0);
}

void TUsersWindow::reload(qint64 currentID)
{
    m_users = m_store.Users();
    UsersTable->setRowCount(0);
    UsersTable->setRowCount(int(m_users.size()));
    for (int row = 0; row < m_users.size(); ++row) {
        const TUserRecord &u = m_users[row];
        const QStringList cells{u.Login, u.LastName, u.FirstName, UserRoleText(u.Administrator),
                                u.Active ? UiText(u"da") : UiText(u"ne")};
        for (int column = 0; column < cells.size(); ++column)
            UsersTable->setItem(row, column, new QTableWidgetItem(cells[column]));
        if (u.UserID == currentID)
            UsersTable->setCurrentCell(row, LoginColumn);
    }
    UsersTable->resizeColumnsToContents();
    SetFilter(FilterEdit->text());
}

void TUsersWindow::SetFilter(const QString &text)
{
    const QString wanted = SerbianFold(text.trimmed());
    for (int row = 0; row < m_users.size(); ++row) {
        const TUserRecord &u = m_users[row];
        const QString shown = SerbianFold(u.Login + u'\n' + u.LastName + u'\n' + u.FirstName);
        UsersTable->setRowHidden(row, !wanted.isEmpty() && !shown.contains(wanted));
    }
}

int TUsersWindow::VisibleRows() const
{
    int visible = 0;
    for (int row = 0; row < UsersTable->rowCount(); ++row)
        visible += UsersTable->isRowHidden(row) ? 0 : 1;
    return visible;
}

bool TUsersWindow::SelectLogin(const QString &login)
{
    for (int row = 0; row < m_users.size(); ++row)
        if (!UsersTable->isRowHidden(row) && m_users[row].Login.compare(login, Qt::CaseInsensitive) == 0) {
            UsersTable->setCurrentCell(row, LoginColumn);
            return true;
        }
    return false;
}

const TUserRecord *TUsersWindow::current() const
{
    const int row = UsersTable->currentRow();
    if (row < 0 || row >= m_users.size() || UsersTable->isRowHidden(row)) {
        MessageDlg(UiText(u"Izaberite korisnika u spisku."), TMsgDlgType::Warning, mbOK);
        return nullptr;
    }
    return &m_users[row];
}

void TUsersWindow::AddUser()
{
    qint64 added = 0;
    TUserEditDialog dialog(TUserRecord{}, [&](const TUserRecord &user, const QString &password) {
        added = m_store.Add(user, password);
    }, this);
    if (Dialogs().ShowModal(dialog) == QDialog::Accepted)
        reload(added);
}

void TUsersWindow::EditUser()
{
    const TUserRecord *user = current();
    if (!user)
        return;
    const qint64 id = user->UserID;
    TUserEditDialog dialog(*user, [this](const TUserRecord &typed, const QString &) { m_store.Update(typed); }, this);
    if (Dialogs().ShowModal(dialog) == QDialog::Accepted)
        reload(id);
}

void TUsersWindow::ResetPassword()
{
    const TUserRecord *user = current();
    if (!user)
        return;
    const qint64 id = user->UserID;
    TPasswordDialog dialog(UiText(u"Nova lozinka za %1").arg(user->Login), false,
                           [this, id](const QString &, const QString &password) { m_store.ResetPassword(id, password); },
                           this);
    if (Dialogs().ShowModal(dialog) == QDialog::Accepted)
        MessageDlg(UiText(u"Lozinka je promenjena."), TMsgDlgType::Information, mbOK);
}

void TUsersWindow::DeactivateUser()
{
    const TUserRecord *user = current();
    if (!user)
        return;
    const qint64 id = user->UserID;
    if (!user->Active) {
        MessageDlg(UiText(u"Korisnik „%1“ je već isključen.").arg(user->Login), TMsgDlgType::Information, mbOK);
        return;
    }
    if (MessageDlg(UiText(u"Isključiti korisnika „%1“? Neće moći da se prijavi, a ostaje na svojim stavkama.")
                       .arg(user->Login),
                   TMsgDlgType::Confirmation, mbYes | mbNo) != mbYes)
        return;
    try {
        m_store.Deactivate(id);
    } catch (const EDatabaseError &) {
        throw;
    } catch (const KException &e) {
        MessageDlg(e.message(), TMsgDlgType::Warning, mbOK);
    }
    reload(id);
}

void OpenUsersWindow(TSecurityService &security, QWidget *parent)
{
    TUserDesc user;
    if (!security.GetCurrentUser(user, 0) || !user.Administrator) {
        MessageDlg(UiText(UsersAdminOnlyText), TMsgDlgType::Warning, mbOK);
        return;
    }
    TUsersWindow window(*security.GetConnection(), user, parent);
    Dialogs().ShowModal(window);
}
