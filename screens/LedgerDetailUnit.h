#pragma once
// The detail form of one ledger item: the current row of the item set it is
// given and then owns (an item opened by id, or a row being appended).
// Opened from the list (new and existing items) and by ILedger::OpenLedger; only the item's author or the colleague who handed it
// over may change it, and only until it is accepted. An item without parent
// gets enclosures ("Prilog"); its recipient, once accepted, passes it on
// ("Predaj"); "Sken. dok." opens or attaches its scanned PDF. The page
// "Sken" shows that PDF and replaces it ("Zameni…"); the first page tells
// whether there is one. "Štampaj štambilj" prints the paper's receipt stamp.
// The page "Istorija" lists its changes and opens its custody timeline.
// A locked item says why in a line above its page. Every picked field
// (partner, document, the two users, the linked item) has a clear button
// inside its edit, usable exactly when its picker is and the field is set.

#include "CustomDetailForm.h"

#include <memory>

class QAction;
class QLabel;
class QPushButton;
class TDBCheckBox;
class TDBComboBox;
class TDBEdit;
class TDataLink;
class TLedgerHistoryPage;
class TLedgerItemTypeField;
class TLedgerItems;
class TPartnerCompletion;
class TScanPage;

class Ui_LedgerDetailForm;

class TLedgerDetailForm : public TCustomDetailForm
{
    Q_OBJECT
public:
    TLedgerDetailForm(QWidget *owner, std::unique_ptr<TLedgerItems> items);
    ~TLedgerDetailForm() override;

    // The form's own item set.
    TLedgerItems &Items() const { return *FItems; }

    TDBComboBox *TypeDBCB = nullptr;
    TDBEdit *DatetimeDBE = nullptr;
    QPushButton *DateTimeButton = nullptr;
    TDBEdit *NumberDBE = nullptr;
    TDBEdit *DBEdit12 = nullptr; // linked to
    QPushButton *LinkedToButton = nullptr;
    TDBEdit *DBEdit3 = nullptr; // partner, typed with its list of matches
    TPartnerCompletion *PartnerCompletion = nullptr;
    QPushButton *PartnerButton = nullptr;
    TDBComboBox *ItemTypeDBCB = nullptr;
    TLedgerItemTypeField *ItemTypeField = nullptr; // its list, completion and new types
    TDBEdit *ItemDateDBE = nullptr;
    QPushButton *ItemDateButton = nullptr;
    TDBEdit *ItemNumberDBE = nullptr;
    TDBEdit *DBEdit2 = nullptr; // document
    QPushButton *Button5 = nullptr;
    QPushButton *ScannedDocumentButton = nullptr;
    // What the item is about, the classification plan's mark and the
    // organisational unit, as plain bound controls; their lists and
    // completion are attached by their own fields.
    TDBEdit *SubjectDBE = nullptr;
    TDBEdit *ClassificationDBE = nullptr;
    TDBComboBox *OrgUnitDBCB = nullptr;
    TDBComboBox *InMailTypeDBCB = nullptr;
    TDBEdit *InMailNumberDBE = nullptr;
    TDBEdit *DBEdit11 = nullptr; // handed over by
    QPushButton *InUserButton = nullptr;
    TDBEdit *DBEdit4 = nullptr; // author
    TDBComboBox *OutMailTypeDBCB = nullptr;
    TDBEdit *OutMailNumberDBE = nullptr;
    TDBEdit *DBEdit10 = nullptr; // handed over to
    QPushButton *OutUserButton = nullptr;
    TDBCheckBox *DBCheckBox1 = nullptr; // accepted
    TDBCheckBox *DBCheckBox2 = nullptr; // archived
    TDBEdit *DBEdit13 = nullptr;        // archive number
    QPushButton *AdditionalItemButton = nullptr;
    QPushButton *PassOnButton = nullptr;
    // "Storniraj": cancels the stored item after asking for the reason; a
    // cancelled item opens read-only with its reason, who and when.
    QAction *CancelItemAction = nullptr;
    QPushButton *CancelItemButton = nullptr;

    QAction *DateTimeAction = nullptr;
    QAction *LinkToAction = nullptr;
    QAction *PartnerAction = nullptr;
    QAction *DocumentDateAction = nullptr;
    QAction *DocumentAction = nullptr;
    QAction *InUserAction = nullptr;
    QAction *OutUserAction = nullptr;
    QAction *AdditionalItemAction = nullptr;
    QAction *PassOnAction = nullptr;
    QAction *ScannedDocument = nullptr;
    // Clear buttons of the picked fields, each shown inside its edit.
    QAction *PartnerClearAction = nullptr;
    QAction *DocumentClearAction = nullptr;
    QAction *InUserClearAction = nullptr;
    QAction *OutUserClearAction = nullptr;
    QAction *LinkToClearAction = nullptr;
    // The page "Istorija": read when it is shown.
    TLedgerHistoryPage *HistoryTS = nullptr;
    // The page "Sken": the file is read when the page is shown.
    TScanPage *ScanTS = nullptr;
    QLabel *ScanStateLabel = nullptr;       // "Sken: postoji" / "Sken: nema"
    QPushButton *ShowScanButton = nullptr;  // opens the page "Sken"
    QAction *PrintStampAction = nullptr;    // "Štampaj štambilj"
    QPushButton *PrintStampButton = nullptr;
    // "Samo za čitanje: ..." above the page; hidden on an editable item.
    QLabel *ReadOnlyLabel = nullptr;

    qint32 LedgerItemID() const { return FLedgerItemID; }
    qint32 UserID() const { return FUserID; }

    void CustomOKExecute() override;
    void CustomApplyExecute() override;
    void CustomCancelExecute() override;
    void CustomApplyUpdate(QAction &action) override;
    bool FormCloseQuery() override;
    void ReloadForm() override;

    void FormCreate();
    void InitControls();
    void SetActivity();
    void TypeDBCBChange();

    void DateTimeActionExecute();
    void DocumentDateActionExecute();
    void PartnerActionExecute();
    void DocumentActionExecute();
    void InUserActionExecute();
    void OutUserActionExecute();
    void LinkToActionExecute();

    // Enclosures, pass-on and the scanned document.
    void AdditionalItemActionUpdate();
    void PassOnActionUpdate();
    void AdditionalItemActionExecute();
    void PassOnActionExecute();
    void ScannedDocumentExecute();

    // Storno; and a date moved to another year renumbers the item as a
    // change of direction does.
    void CancelItemActionUpdate();
    void CancelItemActionExecute();
    void DatetimeChange();

    // The scan page, "Zameni…" (after a question; the old file is kept and the
    // change written into the history) and the receipt stamp. An item not
    // stored yet is stored first, as for "Sken. dok.".
    void ShowScan();
    void ReplaceScanExecute();
    void PrintStampExecute();

    // The history page and the custody timeline (through Dialogs().ShowModal).
    void ShowHistory();
    void CustodyExecute();

    // Why the item is locked; empty when the current user may change it.
    QString LockReason() const;

protected:
    void FormActionsUpdate() override;

private:
    void setUpGeneralPage();
    void layoutBottomPanel();
    void fitScreen(int height);
    void addHistoryPage();
    void addScanPage();
    void showScanState();
    QString ownScanPath() const; // empty when there is no folder or no stored item
    qint64 storedItemID();       // stores a new item first; 0 when that is refused
    void makeClearActions();
    void clearActionsUpdate();
    void showLocked(const QString &reason);
    void bindControls();
    void editIfBrowsing();
    void showLinkedTo();
    void openCreatedItem(int id);
    void openScan(const QString &path);
    void addCancelling();
    void lockCancelled();

    std::unique_ptr<Ui_LedgerDetailForm> ui;
    TLedgerItems *FItems; // a child from the end of construction on
    qint32 FLedgerItemID = 0;
    qint32 FUserID = 0;
    int FDirection = 0; // the direction the item's number was given for
    std::unique_ptr<TDataLink> FDateLink; // tells DatetimeChange
};
