#pragma once
// "Organizacione jedinice": the office's units with their codes and whether
// they are active. Administrators add units, change their code and name,
// deactivate or activate them again; clerks only read the list. The rules
// and refusals are the store's (OrgUnitStore.h).

#include "OrgUnitStore.h"

#include <QDialog>
#include <functional>

class ISecurity;
class QPushButton;
class TRegisterTable;
class TZConnection;

class TOrgUnitsWindow : public QDialog
{
    Q_OBJECT
public:
    TOrgUnitsWindow(TZConnection &connection, ISecurity *security, QWidget *parent = nullptr);

    TRegisterTable *Table() const { return m_table; }
    void Reload();

private:
    TOrgUnitRecord current() const;
    // The unit's form; true when save stored what was typed.
    bool askUnit(const QString &title, const TOrgUnitRecord &shown,
                 const std::function<void(const QString &code, const QString &name)> &save);
    void add();
    void edit();
    void toggleActive();
    void updateButtons();

    TOrgUnitStore m_store;
    const bool m_administrator;
    QList<TOrgUnitRecord> m_units;
    TRegisterTable *m_table;
    QPushButton *m_add;
    QPushButton *m_edit;
    QPushButton *m_active;
};

// Opens the window modally; a clerk sees it read-only.
void ShowOrgUnitsWindow(TZConnection &connection, ISecurity *security);
