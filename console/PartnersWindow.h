#pragma once
// The partners' register: every partner with its numbers and whether it is
// active, narrowed by a filter line that ignores case, diacritics and script
// ("cacak" finds "Čačak"). Clerks add and edit partners; an administrator
// also deactivates, activates and merges them, and a clerk asking for that
// is told it is an administrator's task.

#include "KInterfaces.h"

#include <QDialog>
#include <vector>

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QTableWidget;
class TZConnection;

class TPartnersWindow : public QDialog
{
    Q_OBJECT
public:
    TPartnersWindow(TZConnection &connection, const TUserDesc &user, QWidget *parent = nullptr);

    // Reads the partners again, keeping the current one current.
    void Reload();
    qint64 CurrentPartnerID() const; // 0 when none
    void SetCurrentPartner(qint64 id);
    // The names of the rows the filter lets through, in their order.
    QStringList ShownNames() const;

    // What its buttons do.
    void AddPartner();
    void EditCurrent();
    void ToggleActive();   // administrators only
    void MergeCurrent();   // the current partner into one chosen; administrators only
    void ImportPartners(); // from a CSV file (PartnerImportDialog)

private:
    void applyFilter();
    void updateButtons();
    bool refusedToClerk();
    QPushButton *addButton(const QString &caption, const QString &objectName);

    TZConnection &m_connection;
    TUserDesc m_user;
    std::vector<qint64> m_ids;   // one per row of m_list
    std::vector<bool> m_active;
    QLineEdit *m_filter = nullptr;
    QTableWidget *m_list = nullptr;
    QPushButton *m_activeButton = nullptr;
    QHBoxLayout *m_buttons = nullptr;
};
