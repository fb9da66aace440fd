#include "OrgUnitsWindow.h"

#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "RegisterEditDialog.h"
#include "RegisterTable.h"
#include "RegisterWindowParts.h"
#include "SecurityActor.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TOrgUnitsWindow::TOrgUnitsWindow(TZConnection &connection, ISecurity *security, QWidget *parent)
    : QDialog(parent), m_store(connection, CurrentRegisterActor(security)),
      m_administrator(CurrentUserAdministers(security))
{
    setObjectName(QStringLiteral("orgUnitsWindow"));
    setWindowTitle(UiText(u"Organizacione jedinice"));
    resize(600, 460);
    m_table = new TRegisterTable({UiText(u"Šifra"), UiText(u"Naziv"), UiText(u"Aktivna")}, this);

    auto *buttons = new QDialogButtonBox(this);
    m_add = AddRegisterButton(*buttons, UiText(u"&Dodaj…"), "addButton");
    m_edit = AddRegisterButton(*buttons, UiText(u"&Izmeni…"), "editButton");
    m_active = AddRegisterButton(*buttons, UiText(u"Deaktiviraj"), "activeButton");
    AddRegisterCloseButton(*this, *buttons);
    ConnectGuarded(m_add, [this] { add(); });
    ConnectGuarded(m_edit, [this] { edit(); });
    ConnectGuarded(m_active, [this] { toggleActive(); });
    connect(m_table, &TRegisterTable::rowActivated, this, [this] {
        if (m_administrator)
            Guarded([this] { edit(); });
    });
    connect(m_table, &TRegisterTable::currentChanged, this, &TOrgUnitsWindow::updateButtons);

    LayOutRegisterWindow(*this, *m_table, *buttons,
                         m_administrator ? QString() : UiText(u"Organizacione jedinice menja samo administrator; ovde ih možete pregledati."));
    Reload();
    m_table->FilterEdit()->setFocus();
}

void TOrgUnitsWindow::Reload()
{
    m_units = m_store.All();
    QList<QStringList> rows;
    QList<qint64> ids;
    for (const TOrgUnitRecord &u : m_units) {
        rows << QStringList{u.Code, u.Name, u.Active ? UiText(u"da") : UiText(u"ne")};
        ids << u.OrgUnitID;
    }
    m_table->SetRows(rows, ids);
    updateButtons();
}

TOrgUnitRecord TOrgUnitsWindow::current() const
{
    const qint64 id = m_table->CurrentID();
    for (const TOrgUnitRecord &u : m_units)
        if (u.OrgUnitID == id)
            return u;
    return {};
}

void TOrgUnitsWindow::updateButtons()
{
    const TOrgUnitRecord unit = current();
    const bool chosen = unit.OrgUnitID != 0;
    m_add->setEnabled(m_administrator);
    m_edit->setEnabled(m_administrator && chosen);
    m_active->setEnabled(m_administrator && chosen);
    m_active->setText(chosen && !unit.Active ? UiText(u"Aktiviraj") : UiText(u"Deaktiviraj"));
}

bool TOrgUnitsWindow::askUnit(const QString &title, const TOrgUnitRecord &shown,
                              const std::function<void(const QString &, const QString &)> &save)
{
    TRegisterEditDialog form(title,
                             {{UiText(u"Šifra"), QStringLiteral("codeEdit"), 20},
                              {UiText(u"Naziv"), QStringLiteral("nameEdit"), 100}},
                             {shown.Code, shown.Name},
                             [&](const QStringList &values) { save(values.value(0), values.value(1)); }, this);
    return Dialogs().ShowModal(form) == QDialog::Accepted;
}

void TOrgUnitsWindow::add()
{
    qint64 id = 0;
    if (!askUnit(UiText(u"Nova organizaciona jedinica"), {},
                 [&](const QString &code, const QString &name) { id = m_store.Add(code, name); }))
        return;
    m_table->SetFilter(QString());
    Reload();
    m_table->SetCurrentID(id);
}

void TOrgUnitsWindow::edit()
{
    const TOrgUnitRecord unit = current();
    if (unit.OrgUnitID == 0)
        return;
    if (askUnit(UiText(u"Izmena organizacione jedinice"), unit,
                [&](const QString &code, const QString &name) { m_store.Update(unit.OrgUnitID, code, name); }))
        Reload();
}

void TOrgUnitsWindow::toggleActive()
{
    const TOrgUnitRecord unit = current();
    if (unit.OrgUnitID == 0)
        return;
    m_store.SetActive(unit.OrgUnitID, !unit.Active);
    Reload();
}

void ShowOrgUnitsWindow(TZConnection &connection, ISecurity *security)
{
    TOrgUnitsWindow window(connection, security, QApplication::activeWindow());
    Dialogs().ShowModal(window);
}
