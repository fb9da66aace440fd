#include "GetLedgerUnit.h"

#include "DBGrid.h"
#include "DBIniFile.h"
#include "Dialogs.h"
#include "Guard.h"
#include "Help.h"
#include "ValueListEditor.h"
#include "data/LedgerDMUnit.h"
#include "screens/LedgerHelpContexts.h"
#include "screens/LedgerNavigatorUnit.h"
#include "screens/LedgerViewerUnit.h"

#include "ui_GetLedgerUnit.h"

#include <QPointer>

TGetLedgerForm::TGetLedgerForm(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                         | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui_GetLedgerForm>())
{
    ui->setupUi(this);
    NavigatorPanel = ui->NavigatorPanel;
    FNavigator = ui->FNavigator;
    Splitter1 = ui->Splitter1;
    ViewerPanel = ui->ViewerPanel;
    FViewer = ui->FViewer;
    BottomPanel = ui->BottomPanel;
    Bevel1 = ui->Bevel1;
    OKButton = ui->OKButton;
    CancelButton = ui->CancelButton;
    // The embedded frames bring their own contexts; here they are the picker.
    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(FNavigator), static_cast<QWidget *>(FViewer)})
        SetHelpContext(w, LedgerPickerHelp);

    // The key column is 94 wide, or as wide as its longest caption needs in
    // this font; the search panel grows by the same amount.
    TValueListEditor *vle = FNavigator->SearchVLE;
    int keyWidth = 94;
    for (const QString &key : vle->Keys())
        keyWidth = std::max(keyWidth, vle->fontMetrics().horizontalAdvance(vle->ItemProps(key).Caption) + 12);
    vle->SetKeyColumnWidth(keyWidth);
    vle->SetValueColumnWidth(125);
    const int panelWidth = 233 + keyWidth - 94;
    NavigatorPanel->setMinimumWidth(panelWidth);

    // The search panel keeps its width when the dialog grows.
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({panelWidth, width() - 6 - panelWidth - Splitter1->handleWidth()});

    // The search fills the picker's own list.
    FNavigator->SetSearchTarget([viewer = QPointer<TLedgerViewerForm>(FViewer)]() -> TLedgerItems * {
        return viewer ? &viewer->Items() : nullptr;
    });
    // A double click picks the row here; the frame's own handler would open
    // the item's detail form.
    FViewer->DBG->OnDblClick = [this] { OKButtonClick(); };

    ConnectGuarded(OKButton, [this] { OKButtonClick(); });
    ConnectGuarded(CancelButton, [this] { CancelButtonClick(); });

    FNavigator->SearchVLE->setFocus();
    Guarded([this] { FormCreate(); });
}

TGetLedgerForm::~TGetLedgerForm() = default;

void TGetLedgerForm::FormCreate()
{
    FSelected = false;
    FViewer->EnableCommands();
}

void TGetLedgerForm::OKButtonClick()
{
    TZQuery *query = FViewer->Items().LedgerItemZQ;
    if (query->Bof() && query->Eof())
        return;
    FSelected = true;
    accept();
}

void TGetLedgerForm::CancelButtonClick()
{
    reject();
}

bool LedgerGet(TLedgerDesc &desc)
{
    auto form = std::make_unique<TGetLedgerForm>(nullptr);
    if (TDBIniFile(LedgerDM->ZConnection()).ReadBool(QStringLiteral("Appearance"), QStringLiteral("GetWindow"), false)) {
        // Where it was designed, not centred: maximised it covers the screen.
        form->move(form->pos());
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
    }
    Dialogs().ShowModal(*form);
    if (!form->Selected())
        return false;
    const TLedgerItems &chosen = form->FViewer->Items();
    desc.LedgerItemID = chosen.LedgerItemZQledgeritemid->AsInteger();
    desc.LedgerNumber = chosen.LedgerItemZQledgernumber->AsString();
    desc.ParentID = chosen.LedgerItemZQparentid->AsInteger();
    desc.LedgerDateTime = chosen.LedgerItemZQledgerdatetime->AsDateTime();
    return true;
}
