#pragma once
// "Obrisane stavke": the deleted items the logged-in user may see (a clerk
// those they deleted, registered, sent on or were meant to receive, an
// administrator all), newest deletion first: when, by whom, from which desk, and under each its last
// values. Read only.

#include <QDialog>

class QLabel;
class QTreeWidget;
class TZConnection;

class TDeletedItemsDialog : public QDialog
{
    Q_OBJECT
public:
    TDeletedItemsDialog(TZConnection &connection, qint64 userID, bool administrator, QWidget *parent = nullptr);

    QTreeWidget *ItemsTree = nullptr;
    QLabel *EmptyLabel = nullptr;
};

// The list frame's action: the dialog for the logged-in user.
void DeletedItemsActionExecute(QWidget *owner);
