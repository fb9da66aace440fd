#pragma once
// The handover record ("Zapisnik"): the items meant for the logged-in user
// and not accepted yet, narrowed to one colleague if the user wishes; the
// user accepts them all at once or one by one and prints the record both
// sides sign. Every acceptance is stored at once through the safe path
// (HandoverAcceptance.h), which keeps the record; an acceptance of this
// dialog can be withdrawn while it is open. The dialog reads its items into
// an item set of its own; the other windows show what it stored. Whoever
// shows it frees it once it has closed.

#include <QDialog>
#include <memory>

class QComboBox;
class QEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TApplicationEvents;
class TDBGrid;
class TLedgerItems;
class THandoverAcceptance;

class Ui_ProceedingForm;

class TProceedingForm : public QDialog
{
    Q_OBJECT
public:
    explicit TProceedingForm(QWidget *owner);
    ~TProceedingForm() override;

    QLabel *Label15 = nullptr;
    QLineEdit *InUsernameEdit = nullptr;
    QPushButton *InUserButton = nullptr;
    QPushButton *AcceptAllButton = nullptr;
    TDBGrid *ProceedingDBG = nullptr;
    QPushButton *PrintButton = nullptr;
    QComboBox *DataScriptCombo = nullptr; // the script of the printed data, beside the closing button
    QFrame *Bevel1 = nullptr;
    QPushButton *CloseButton = nullptr;
    // Sees the whole application's events for as long as the dialog exists.
    TApplicationEvents *ApplicationEvents = nullptr;

    // The dialog's own items.
    TLedgerItems &Items() const { return *FItems; }

    // "l.accepted = 'n' AND l.cancelled = 'n' AND l.outuserid = ?", bound to the user's id.
    static QString HandoverCondition();

    // The record this dialog keeps; null before its first acceptance.
    const THandoverAcceptance *Acceptance() const { return FAcceptance.get(); }
    // Accepts the current row, or withdraws it when this dialog accepted it
    // (Space, a double click).
    void ToggleCurrentRow();

    // Handlers; the buttons run them guarded.
    void FormCreate();
    void InUserButtonClick();
    void AcceptAllButtonClick();
    void PrintButtonClick();
    void CloseButtonClick();
    // Nothing can be typed into the grid, and Delete works only with Ctrl.
    void ProceedingDBGKeyDown(int &key, Qt::KeyboardModifiers shift);
    void ProceedingDBGKeyPress(QChar &key);
    // One wheel notch moves the grid's current row by one.
    void ApplicationEventsMessage(QObject *receiver, QEvent *event, bool &handled);

private:
    void fitGrid();
    void setCondition(const QString &condition, const QVariantList &params);
    THandoverAcceptance &acceptance();
    // Accepts (or withdraws) the current row; the choice of the pick list.
    void chooseCurrent(bool accept);
    // The rows as stored now, here and in every other item set.
    void showStored(const QList<qint64> &ids);
    // What was skipped, said once.
    void tellSkipped(bool withdrawing);

    std::unique_ptr<Ui_ProceedingForm> ui;
    TLedgerItems *FItems; // a child; the grid lets go of it first
    std::unique_ptr<THandoverAcceptance> FAcceptance;
};
