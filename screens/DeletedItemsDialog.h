#pragma once
// "Obrisane stavke": the deleted items the logged-in user may see (a clerk
// those they deleted, registered, sent on or were meant to receive, an
// administrator all), newest deletion first: when, by whom, from which desk, and under each its last
// values. An administrator brings the chosen one back with "Vrati stavku"
// (LedgerRestore.h); a clerk does not get the button.

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;
class TZConnection;

class TDeletedItemsDialog : public QDialog
{
    Q_OBJECT
public:
    TDeletedItemsDialog(TZConnection &connection, qint64 userID, bool administrator, QWidget *parent = nullptr);

    QTreeWidget *ItemsTree = nullptr;
    QLabel *EmptyLabel = nullptr;
    QPushButton *RestoreButton = nullptr; // administrators only

    // Restores the chosen deleted item and takes it off the list.
    void RestoreButtonClick();
};

// The list frame's action: the dialog for the logged-in user.
void DeletedItemsActionExecute(QWidget *owner);
