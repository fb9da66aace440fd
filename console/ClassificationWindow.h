#pragma once
// "Klasifikacioni plan": the office's plan, each group above its subgroups
// and indented by its level, with the name, the retention period and
// whether the mark is active. Administrators add marks (a subgroup of the
// current one is begun with its mark), change a mark's name and retention,
// deactivate or activate it again, and delete one no item carries; clerks
// only read it. The rules and refusals are the store's (ClassificationStore.h).

#include "ClassificationStore.h"

#include <QDialog>
#include <functional>

class ISecurity;
class QLabel;
class QPushButton;
class TRegisterTable;
class TZConnection;

class TClassificationWindow : public QDialog
{
    Q_OBJECT
public:
    TClassificationWindow(TZConnection &connection, ISecurity *security, QWidget *parent = nullptr);

    TRegisterTable *Table() const { return m_table; }
    void Reload();

private:
    TClassificationRecord current() const;
    // The mark's form; true when save stored what was typed.
    bool askMark(const QString &title, const TClassificationRecord &shown, bool markFixed,
                 const std::function<void(const QString &mark, const QString &name, std::optional<int> years)> &save);
    void add();
    void edit();
    void toggleActive();
    void remove();
    void updateButtons();

    TClassificationStore m_store;
    const bool m_administrator;
    QList<TClassificationRecord> m_plan;
    TRegisterTable *m_table;
    QPushButton *m_add;
    QPushButton *m_edit;
    QPushButton *m_active;
    QPushButton *m_delete;
};

// Opens the window modally; a clerk sees it read-only.
void ShowClassificationWindow(TZConnection &connection, ISecurity *security);
