#pragma once
// "Storniranje stavke": the question whether to cancel an item, with the
// reason typed below it. "Storniraj" with no reason says so and the dialog
// stays open with what was typed; "Odustani" leaves the item as it is.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TLedgerItems;

class TCancelItemDialog : public QDialog
{
    Q_OBJECT
public:
    // question: what the user is asked, naming the item.
    explicit TCancelItemDialog(const QString &question, QWidget *parent = nullptr);

    QLabel *const QuestionLabel;
    QPlainTextEdit *const ReasonEdit;
    QPushButton *const CancelItemButton; // "Storniraj"
    QPushButton *const CloseButton;      // "Odustani"

    QString Reason() const;

    void CancelItemButtonClick();
};

// Asks for the reason and cancels the current item of items as the logged-in
// user; a refusal (who may, an item not stored, a pass-on copy) is said
// before the question. True when the item was cancelled.
bool CancelCurrentItem(QWidget *owner, TLedgerItems &items);
