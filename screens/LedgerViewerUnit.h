#pragma once
// The ledger's list frame: its own ledger items in a grid, adding, editing
// and deleting items, the quick date filters (today, this week, this month)
// and the handover record, the printout and the CSV file of what the list
// shows; "Prijem dokumenta…" (IntakeDesk.h) makes an item from a file. The date filters read the day from TClock. A
// click on a column title sorts the loaded items; a new search or filter
// shows them newest first again.

#include "CustomViewerForm.h"
#include "DBGrid.h" // users of the frame reach its grid

class QAction;
class TLedgerItems;

class TLedgerViewerForm : public TCustomViewerForm
{
    Q_OBJECT
public:
    explicit TLedgerViewerForm(QWidget *owner);
    ~TLedgerViewerForm() override;

    // The items the list shows; searches and filters set their condition.
    TLedgerItems &Items() const { return *FItems; }

    QAction *const CustomAdd;
    QAction *const CustomEdit;
    QAction *const CustomDelete;
    QAction *const TodayAction;
    QAction *const ThisWeekAction;
    QAction *const ThisMonthAction;
    QAction *const ProceedingAction;
    QAction *const PrintListAction;
    QAction *const ExportCsvAction;
    // "Storniraj": cancels the current item after asking for the reason.
    QAction *CancelItemAction = nullptr;
    // "Štampaj štambilj": the current item's receipt stamp, through the preview.
    QAction *PrintStampAction = nullptr;

    // Action handlers; the actions run them guarded.
    void CustomAddExecute();
    void CustomEditExecute();
    void CustomDeleteExecute();
    void TodayActionExecute();
    void ThisWeekActionExecute();
    void ThisMonthActionExecute();
    void ProceedingActionExecute();
    // The rows the list holds, in its order, with its shown columns in
    // their order on screen: printed through the preview, or written to a
    // CSV file the user chooses.
    void PrintListActionExecute();
    void ExportCsvActionExecute();
    void CancelItemActionExecute();
    void PrintStampActionExecute();

    void DBGDblClick() override;

    // The list the frame starts with: today's items, newest first, when
    // today is set and the list is not open already.
    void ShowStartList(bool today);

private:
    // The constructor's steps, in order.
    void loadImages();
    void setUpGrid();
    void bindActions();
    void fillToolbar();
    void fillPopupMenu();
    // "Storniraj" in the toolbar and the menu; a cancelled row struck through,
    // its reason in the tooltip.
    void addCancelling();
    // "Štampaj štambilj" in the menu, below the printout and the CSV file.
    void addStamp();
    // A stored item shown in its sorted place as the current row.
    void showStored(qint64 id);
    // Shows the items of [fromDate, toDate], whole days, newest first.
    void setDateFilter(const QDate &fromDate, const QDate &toDate);

    TLedgerItems *FItems; // owned as a child, freed after the grid
};
