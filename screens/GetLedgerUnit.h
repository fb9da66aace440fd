#pragma once
// The ledger item picker other modules open through ILedger::GetLedger: the
// search frame beside the list, confirmed with OK, Enter or a double click
// on the list. It never opens an item for editing.

#include "KInterfaces.h"
#include "data/ILedger.h"

#include <QDialog>
#include <memory>

class QFrame;
class QPushButton;
class QSplitter;
class TLedgerNavigatorForm;
class TLedgerViewerForm;

class Ui_GetLedgerForm;

class TGetLedgerForm : public QDialog
{
    Q_OBJECT
public:
    explicit TGetLedgerForm(QWidget *owner = nullptr);
    ~TGetLedgerForm() override;

    QFrame *NavigatorPanel = nullptr;
    TLedgerNavigatorForm *FNavigator = nullptr;
    QSplitter *Splitter1 = nullptr;
    QFrame *ViewerPanel = nullptr;
    TLedgerViewerForm *FViewer = nullptr;
    QFrame *BottomPanel = nullptr;
    QFrame *Bevel1 = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

    // True once the user confirmed a row of the list.
    bool Selected() const { return FSelected; }

    void FormCreate();
    void OKButtonClick();
    void CancelButtonClick();

private:
    std::unique_ptr<Ui_GetLedgerForm> ui;
    bool FSelected = false;
};

// Shows the picker; on a confirmed row fills desc from it and answers true.
// On cancel desc is left as it was.
bool LedgerGet(TLedgerDesc &desc);
