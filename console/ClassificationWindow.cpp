#include "ClassificationWindow.h"

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

namespace {

QString retentionCell(std::optional<int> years)
{
    return years ? UiText(u"%1 god.").arg(*years) : UiText(u"trajno");
}

// Each level further in, so the plan reads as a tree.
QString indented(const QString &mark, const QString &text)
{
    return QString(3 * (mark.size() - 1), u' ') + text;
}

} // namespace

TClassificationWindow::TClassificationWindow(TZConnection &connection, ISecurity *security, QWidget *parent)
    : QDialog(parent), m_store(connection, CurrentRegisterActor(security)),
      m_administrator(CurrentUserAdministers(security))
{
    setObjectName(QStringLiteral("classificationWindow"));
    setWindowTitle(UiText(u"Klasifikacioni plan"));
    resize(720, 520);
    m_table = new TRegisterTable({UiText(u"Oznaka"), UiText(u"Naziv"), UiText(u"Rok čuvanja"),
                                  UiText(u"Aktivna")},
                                 this);

    auto *buttons = new QDialogButtonBox(this);
    m_add = AddRegisterButton(*buttons, UiText(u"&Dodaj…"), "addButton");
    m_edit = AddRegisterButton(*buttons, UiText(u"&Izmeni…"), "editButton");
    m_active = AddRegisterButton(*buttons, UiText(u"Deaktiviraj"), "activeButton");
    m_delete = AddRegisterButton(*buttons, UiText(u"O&briši"), "deleteButton");
    AddRegisterCloseButton(*this, *buttons);
    ConnectGuarded(m_add, [this] { add(); });
    ConnectGuarded(m_edit, [this] { edit(); });
    ConnectGuarded(m_active, [this] { toggleActive(); });
    ConnectGuarded(m_delete, [this] { remove(); });
    connect(m_table, &TRegisterTable::rowActivated, this, [this] {
        if (m_administrator)
            Guarded([this] { edit(); });
    });
    connect(m_table, &TRegisterTable::currentChanged, this, &TClassificationWindow::updateButtons);

    LayOutRegisterWindow(*this, *m_table, *buttons,
                         m_administrator ? QString() : UiText(u"Plan menja samo administrator; ovde ga možete pregledati."));
    Reload();
    m_table->FilterEdit()->setFocus();
}

void TClassificationWindow::Reload()
{
    m_plan = m_store.All();
    QList<QStringList> rows;
    QList<qint64> ids;
    for (const TClassificationRecord &c : m_plan) {
        rows << QStringList{indented(c.Mark, c.Mark), indented(c.Mark, c.Name), retentionCell(c.RetentionYears),
                            c.Active ? UiText(u"da") : UiText(u"ne")};
        ids << c.ClassificationID;
    }
    m_table->SetRows(rows, ids);
    updateButtons();
}

TClassificationRecord TClassificationWindow::current() const
{
    const qint64 id = m_table->CurrentID();
    for (const TClassificationRecord &c : m_plan)
        if (c.ClassificationID == id)
            return c;
    return {};
}

void TClassificationWindow::updateButtons()
{
    const TClassificationRecord mark = current();
    const bool chosen = mark.ClassificationID != 0;
    m_add->setEnabled(m_administrator);
    for (QPushButton *b : {m_edit, m_active, m_delete})
        b->setEnabled(m_administrator && chosen);
    m_active->setText(chosen && !mark.Active ? UiText(u"Aktiviraj") : UiText(u"Deaktiviraj"));
}

bool TClassificationWindow::askMark(
    const QString &title, const TClassificationRecord &shown, bool markFixed,
    const std::function<void(const QString &, const QString &, std::optional<int>)> &save)
{
    TRegisterEditDialog form(title,
                             {{UiText(u"Oznaka"), QStringLiteral("markEdit"), 30},
                              {UiText(u"Naziv"), QStringLiteral("nameEdit"), 200},
                              {UiText(u"Rok čuvanja (godina ili „trajno“)"), QStringLiteral("retentionEdit"), 10}},
                             {shown.Mark, shown.Name,
                              shown.ClassificationID != 0 ? TClassificationStore::RetentionInput(shown.RetentionYears)
                                                          : QString()},
                             [&](const QStringList &values) {
                                 save(values.value(0), values.value(1),
                                      TClassificationStore::ParseRetention(values.value(2)));
                             },
                             this);
    if (markFixed) {
        // Items carry the mark as text: it stays what it was.
        auto *mark = form.findChild<QLineEdit *>(QStringLiteral("markEdit"));
        mark->setReadOnly(true);
        form.findChild<QLineEdit *>(QStringLiteral("nameEdit"))->setFocus();
    }
    return Dialogs().ShowModal(form) == QDialog::Accepted;
}

void TClassificationWindow::add()
{
    // Begun with the current mark: one more digit makes its subgroup.
    TClassificationRecord shown;
    shown.Mark = current().Mark;
    qint64 id = 0;
    if (!askMark(UiText(u"Nova klasifikaciona oznaka"), shown, false,
                 [&](const QString &mark, const QString &name, std::optional<int> years) {
                     id = m_store.Add(mark, name, years);
                 }))
        return;
    m_table->SetFilter(QString());
    Reload();
    m_table->SetCurrentID(id);
}

void TClassificationWindow::edit()
{
    const TClassificationRecord mark = current();
    if (mark.ClassificationID == 0)
        return;
    if (askMark(UiText(u"Izmena klasifikacione oznake"), mark, true,
                [&](const QString &, const QString &name, std::optional<int> years) {
                    m_store.Update(mark.ClassificationID, name, years);
                }))
        Reload();
}

void TClassificationWindow::toggleActive()
{
    const TClassificationRecord mark = current();
    if (mark.ClassificationID == 0)
        return;
    m_store.SetActive(mark.ClassificationID, !mark.Active);
    Reload();
}

void TClassificationWindow::remove()
{
    const TClassificationRecord mark = current();
    if (mark.ClassificationID == 0)
        return;
    if (MessageDlg(UiText(u"Obrisati oznaku „%1 – %2“ iz klasifikacionog plana?").arg(mark.Mark, mark.Name),
                   TMsgDlgType::Confirmation, mbYes | mbNo | mbDefaultNo)
        != mbYes)
        return;
    m_store.Delete(mark.ClassificationID);
    Reload();
}

void ShowClassificationWindow(TZConnection &connection, ISecurity *security)
{
    TClassificationWindow window(connection, security, QApplication::activeWindow());
    Dialogs().ShowModal(window);
}
