#include "ItemTypesWindow.h"

#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "RegisterEditDialog.h"
#include "RegisterTable.h"
#include "SecurityActor.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

const QString ItemTypesAdministratorsOnlyText =
    QStringLiteral("Listu vrsta dokumenta menja samo administrator. Obratite se administratoru programa.");

TItemTypesWindow::TItemTypesWindow(TZConnection &connection, ISecurity *security, QWidget *parent)
    : QDialog(parent), m_store(connection, CurrentRegisterActor(security))
{
    setObjectName(QStringLiteral("itemTypesWindow"));
    setWindowTitle(UiText(u"Vrste dokumenta"));
    resize(560, 460);
    m_table = new TRegisterTable({UiText(u"Naziv"), UiText(u"Aktivna")}, this);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *add = buttons->addButton(UiText(u"&Dodaj…"), QDialogButtonBox::ActionRole);
    add->setObjectName(QStringLiteral("addButton"));
    m_rename = buttons->addButton(UiText(u"&Preimenuj…"), QDialogButtonBox::ActionRole);
    m_rename->setObjectName(QStringLiteral("renameButton"));
    m_active = buttons->addButton(UiText(u"Deaktiviraj"), QDialogButtonBox::ActionRole);
    m_active->setObjectName(QStringLiteral("activeButton"));
    QPushButton *close = buttons->addButton(UiText(u"Zatvori"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    for (QPushButton *b : {add, m_rename, m_active, close})
        b->setAutoDefault(false);
    ConnectGuarded(add, [this] { this->add(); });
    ConnectGuarded(m_rename, [this] { rename(); });
    ConnectGuarded(m_active, [this] { toggleActive(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_table, &TRegisterTable::rowActivated, this, [this] { Guarded([this] { rename(); }); });
    connect(m_table, &TRegisterTable::currentChanged, this, &TItemTypesWindow::updateButtons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
    Reload();
    m_table->FilterEdit()->setFocus();
}

void TItemTypesWindow::Reload()
{
    m_types = m_store.All();
    QList<QStringList> rows;
    QList<qint64> ids;
    for (const TItemTypeRecord &t : m_types) {
        rows << QStringList{t.Name, t.Active ? UiText(u"da") : UiText(u"ne")};
        ids << t.ItemTypeID;
    }
    m_table->SetRows(rows, ids);
    updateButtons();
}

TItemTypeRecord TItemTypesWindow::current() const
{
    const qint64 id = m_table->CurrentID();
    for (const TItemTypeRecord &t : m_types)
        if (t.ItemTypeID == id)
            return t;
    return {};
}

void TItemTypesWindow::updateButtons()
{
    const TItemTypeRecord type = current();
    m_rename->setEnabled(type.ItemTypeID != 0);
    m_active->setEnabled(type.ItemTypeID != 0);
    m_active->setText(type.ItemTypeID != 0 && !type.Active ? UiText(u"Aktiviraj") : UiText(u"Deaktiviraj"));
}

bool TItemTypesWindow::askName(const QString &title, const QString &name,
                               const std::function<void(const QString &)> &save)
{
    TRegisterEditDialog form(title, {{UiText(u"Naziv"), QStringLiteral("nameEdit"), 100}}, {name},
                             [&](const QStringList &values) { save(values.value(0)); }, this);
    return Dialogs().ShowModal(form) == QDialog::Accepted;
}

void TItemTypesWindow::add()
{
    qint64 id = 0;
    if (!askName(UiText(u"Nova vrsta dokumenta"), QString(), [&](const QString &name) { id = m_store.Add(name); }))
        return;
    m_table->SetFilter(QString());
    Reload();
    m_table->SetCurrentID(id);
}

void TItemTypesWindow::rename()
{
    const TItemTypeRecord type = current();
    if (type.ItemTypeID == 0)
        return;
    if (askName(UiText(u"Preimenovanje vrste dokumenta"), type.Name,
                [&](const QString &name) { m_store.Rename(type.ItemTypeID, name); }))
        Reload();
}

void TItemTypesWindow::toggleActive()
{
    const TItemTypeRecord type = current();
    if (type.ItemTypeID == 0)
        return;
    m_store.SetActive(type.ItemTypeID, !type.Active);
    Reload();
}

void ShowItemTypesWindow(TZConnection &connection, ISecurity *security)
{
    if (!CurrentUserAdministers(security)) {
        MessageDlg(UiText(ItemTypesAdministratorsOnlyText), TMsgDlgType::Warning, mbOK);
        return;
    }
    TItemTypesWindow window(connection, security, QApplication::activeWindow());
    Dialogs().ShowModal(window);
}
