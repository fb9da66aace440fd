#include "LedgerSnapin.h"

#include "CommonStrings.h"
#include "DBGrid.h"
#include "Dialogs.h"
#include "InterfaceScript.h"
#include "ZConnection.h"
#include "KException.h"
#include "LedgerCommands.h"
#include "screens/HistoryCheckAction.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerSampleData.h"
#include "data/LedgerResourceString.h"
#include "screens/GetLedgerUnit.h"
#include "screens/LedgerDetailUnit.h"
#include "screens/LedgerNavigatorUnit.h"
#include "screens/LedgerViewerUnit.h"

// ---- Snap-in ------------------------------------------------------------------------

TLedgerSnapin::TLedgerSnapin(const IRef<IConsole> &console) : TCustomSnapin(console)
{
    FImage = LedgerDM && !LedgerDM->ImageList.isEmpty() ? LedgerDM->ImageList.first().copy() : QImage();
    // The name keys the saved layouts too: it stays Latin, the console shows it in the script.
    FName = _LEDGER_MOD_NAME;
    FDescription = UiText(_LEDGER_MOD_DESC);
    FSnapinType = LedgerSnapinType;
    auto *viewer = new TLedgerViewer(FConsole);
    FViewer = IRef<IViewer>(viewer);
    auto *navigator = new TLedgerNavigator(FConsole);
    navigator->SetViewer(viewer);
    FNavigator = IRef<INavigable>(navigator);
}

TLedgerSnapin::~TLedgerSnapin()
{
    if (auto *navigator = dynamic_cast<TLedgerNavigator *>(FNavigator.get()))
        navigator->SetViewer(nullptr);
    FViewer.reset();
    FNavigator.reset();
}

bool TLedgerSnapin::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == ILedger::IID())
        return answer<ILedger>(this, out);
    if (iid == IModuleCommands::IID())
        return answer<IModuleCommands>(this, out);
    if (iid == IModuleMenuActions::IID())
        return answer<IModuleMenuActions>(this, out);
    if (iid == ISampleData::IID())
        return answer<ISampleData>(this, out);
    if (iid == IViewer::IID() && FViewer) {
        FViewer->AddRef();
        *out = FViewer.get();
        return true;
    }
    if (iid == INavigable::IID() && FNavigator) {
        FNavigator->AddRef();
        *out = FNavigator.get();
        return true;
    }
    return TCustomSnapin::QueryInterface(iid, out);
}

TDataSet *TLedgerSnapin::GetDataSet()
{
    const auto *viewer = dynamic_cast<const TLedgerViewer *>(FViewer.get());
    TLedgerItems *items = viewer ? viewer->Items() : nullptr;
    return items ? items->LedgerItemZQ : nullptr;
}

bool TLedgerSnapin::GetLedger(TLedgerDesc &desc)
{
    FViewer->Load(IRef<ISnapin>());
    return LedgerGet(desc);
}

void TLedgerSnapin::OpenLedger(qint32 id)
{
    FViewer->Load(IRef<ISnapin>());
    // A form of its own: the list keeps its rows.
    auto items = LedgerDM->NewLedgerItems();
    if (items->OpenItem(id)) {
        TLedgerDetailForm form(nullptr, std::move(items));
        Dialogs().ShowModal(form);
    }
}

QList<TCommandOption> TLedgerSnapin::CommandOptions()
{
    return LedgerCommandOptions();
}

QString TLedgerSnapin::CommandLineProblem(const TCommandValues &values, bool withLogin)
{
    return LedgerCommandLineProblem(values, withLogin);
}

QList<TModuleMenuAction> TLedgerSnapin::HelpMenuActions()
{
    return {{UiText(u"Provera &integriteta…"), QStringLiteral("historyCheckAction"), &HistoryCheckActionExecute}};
}

int TLedgerSnapin::RunCommand(const TCommandValues &values, const TCommandContext &context)
{
    return RunLedgerCommand(values, context, [this] { FViewer->Load(IRef<ISnapin>()); });
}

void TLedgerSnapin::CreateSampleData(TZConnection &connection)
{
    FillLedgerSampleData(connection);
}

// ---- Viewer ---------------------------------------------------------------------------

TLedgerViewer::TLedgerViewer(const IRef<IConsole> &console) : TCustomViewer(console)
{
    FTypeCode = LedgerSnapinType;
}

TLedgerViewer::~TLedgerViewer()
{
    if (FFrame)
        InternalDestroyFrame();
}

void TLedgerViewer::InternalCreateFrame()
{
    auto *frame = new TLedgerViewerForm(nullptr);
    FFrame = frame;
    FActionList = frame->ActionList();
}

void TLedgerViewer::InternalDestroyFrame()
{
    delete FFrame.data();
    FFrame = nullptr;
    FActionList.clear();
}

void TLedgerViewer::Load(const IRef<ISnapin> &)
{
    if (LedgerDM->ZConnection() && LedgerDM->ZConnection()->Connected())
        return;
    IRef<ISecurity> security = FConsole ? FConsole->service<ISecurity>() : IRef<ISecurity>();
    if (security) {
        if (!LedgerDM->ZConnection())
            LedgerDM->SetZConnection(security->GetConnection());
        // The security module logs the reason.
        if (!security->Connect())
            MessageDlg(UiText(u"Veza sa bazom podataka nije uspostavljena."), TMsgDlgType::Error, mbOK, 0);
        return;
    }
    MessageDlg(FormatStr(UiText(_CMN_NO_MODULE), {UiText(_CMN_MOD_SECURITY_NAME)}), TMsgDlgType::Error, mbOK, 0);
}

void TLedgerViewer::Show(QWidget *parent)
{
    TCustomViewer::Show(parent);
    auto *frame = static_cast<TLedgerViewerForm *>(FFrame.data());
    if (FConsole)
        FConsole->SetActiveGrid(frame->DBG);
    // Without a connection there is nothing to show; Load has said why.
    if (LedgerDM->ZConnection() && LedgerDM->ZConnection()->Connected())
        frame->ShowStartList(TLedgerDM::OpenOnToday(TLedgerDM::ApplicationIniFileName()));
}

TLedgerItems *TLedgerViewer::Items() const
{
    auto *frame = qobject_cast<TLedgerViewerForm *>(FFrame.data());
    return frame ? &frame->Items() : nullptr;
}

void TLedgerViewer::Hide()
{
    TCustomViewer::Hide();
    if (FConsole)
        FConsole->SetActiveGrid(nullptr);
}

// ---- Navigator ------------------------------------------------------------------------------

TLedgerNavigator::~TLedgerNavigator()
{
    if (FFrame)
        InternalDestroyFrame();
}

void TLedgerNavigator::InternalCreateFrame()
{
    auto *frame = new TLedgerNavigatorForm(nullptr);
    // Asked on each search: the list frame comes and goes with the viewer.
    frame->SetSearchTarget([this]() -> TLedgerItems * { return FListViewer ? FListViewer->Items() : nullptr; });
    FFrame = frame;
}

void TLedgerNavigator::InternalDestroyFrame()
{
    delete FFrame.data();
    FFrame = nullptr;
}
