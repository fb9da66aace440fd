#pragma once
// "Vrste dokumenta": the book's list of document types, kept by its
// administrators. Add, rename, and deactivate or activate again the current
// type; an inactive type is no longer offered on items, which keep their
// own text whatever happens here.

#include "ItemTypeStore.h"

#include <QDialog>
#include <functional>

class ISecurity;
class QPushButton;
class TRegisterTable;
class TZConnection;

// What a clerk is told who asks for the list's work.
extern const QString ItemTypesAdministratorsOnlyText;

class TItemTypesWindow : public QDialog
{
    Q_OBJECT
public:
    TItemTypesWindow(TZConnection &connection, ISecurity *security, QWidget *parent = nullptr);

    TRegisterTable *Table() const { return m_table; }
    void Reload();

private:
    TItemTypeRecord current() const;
    // The name form; true when save stored what was typed.
    bool askName(const QString &title, const QString &name, const std::function<void(const QString &)> &save);
    void add();
    void rename();
    void toggleActive();
    void updateButtons();

    TItemTypeStore m_store;
    QList<TItemTypeRecord> m_types;
    TRegisterTable *m_table;
    QPushButton *m_rename;
    QPushButton *m_active;
};

// Opens the window modally for an administrator; a clerk gets the refusal.
void ShowItemTypesWindow(TZConnection &connection, ISecurity *security);
