#include "LedgerSnapin.h"

#include "CommonStrings.h"
#include "DBGrid.h"
#include "Dialogs.h"
#include "ZConnection.h"
#include "KException.h"
#include "data/LedgerContinuity.h"
#include "data/LedgerCsvExport.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerRegisterBook.h"
#include "data/ReportText.h"
#include "data/LedgerSearchCriteria.h"
#include "integration/LedgerResourceString.h"
#include "screens/GetLedgerUnit.h"
#include "screens/LedgerDetailUnit.h"
#include "screens/LedgerNavigatorUnit.h"
#include "screens/LedgerViewerUnit.h"

namespace {

// The year as typed on a command line; throws when it is none.
int typedYear(const QString &text)
{
    int year = 0;
    if (!ParseLedgerYear(text, year))
        throw KException(QStringLiteral("Godina '%1' nije ispravna: upišite godinu od 1900 do 9999 (npr. 2026).").arg(text));
    return year;
}

TZConnection &reportConnection()
{
    if (TZConnection *connection = LedgerDM->ZConnection())
        return *connection;
    throw KException(QStringLiteral("Delovodnik nema vezu sa bazom podataka."));
}

} // namespace

// ---- Snap-in ------------------------------------------------------------------------

namespace {
// The data set must be known before the base is built.
TDataSet *ledgerDataSet()
{
    return LedgerDM ? LedgerDM->LedgerItemZQ : nullptr;
}
} // namespace

TLedgerSnapin::TLedgerSnapin(const IRef<IConsole> &console) : TCustomSnapin(console)
{
    FDataSet = ledgerDataSet();
    FImage = LedgerDM && !LedgerDM->ImageList.isEmpty() ? LedgerDM->ImageList.first().copy() : QImage();
    FName = _LEDGER_MOD_NAME;
    FDescription = _LEDGER_MOD_DESC;
    FSnapinType = LedgerSnapinType;
    FViewer = IRef<IViewer>(new TLedgerViewer(FConsole));
    FNavigator = IRef<INavigable>(new TLedgerNavigator(FConsole));
}

TLedgerSnapin::~TLedgerSnapin()
{
    FViewer.reset();
    FNavigator.reset();
}

bool TLedgerSnapin::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == ILedger::IID())
        return answer<ILedger>(this, out);
    if (iid == ILedgerReports::IID())
        return answer<ILedgerReports>(this, out);
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

bool TLedgerSnapin::GetLedger(TLedgerDesc &desc)
{
    FViewer->Load(IRef<ISnapin>());
    return LedgerGet(desc);
}

void TLedgerSnapin::OpenLedger(qint32 id)
{
    FViewer->Load(IRef<ISnapin>());
    TZQuery *q = LedgerDM->LedgerItemZQ;
    if (q->Active())
        q->Close();
    q->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.ledgeritemid = ?")), {id});
    q->Open();
    q->First();
    if (!q->Eof()) {
        TLedgerDetailForm form(nullptr);
        Dialogs().ShowModal(form);
    }
}

qint64 TLedgerSnapin::ExportCsv(const QMap<QString, QString> &criteria, const QString &fileName,
                                const TProgress &progress)
{
    const TLedgerSearchCriteria search = LedgerExportCriteria(criteria);
    FViewer->Load(IRef<ISnapin>());
    return ExportLedgerCsv(reportConnection(), search, fileName, progress);
}


void TLedgerSnapin::SaveRegisterBook(const QString &year, const QString &fileName)
{
    const int y = typedYear(year);
    FViewer->Load(IRef<ISnapin>());
    if (!::SaveRegisterBook(reportConnection(), y, {}, fileName))
        throw EAbort();
}

void TLedgerSnapin::SaveContinuityReport(const QString &year, const QString &fileName)
{
    const int y = typedYear(year);
    FViewer->Load(IRef<ISnapin>());
    if (!::SaveContinuityReport(reportConnection(), y, fileName))
        throw EAbort();
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
            MessageDlg(QStringLiteral("Veza sa bazom podataka nije uspostavljena."), TMsgDlgType::Error, mbOK, 0);
        return;
    }
    MessageDlg(FormatStr(_CMN_NO_MODULE, {_CMN_MOD_SECURITY_NAME}), TMsgDlgType::Error, mbOK, 0);
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
    FFrame = new TLedgerNavigatorForm(nullptr);
}

void TLedgerNavigator::InternalDestroyFrame()
{
    delete FFrame.data();
    FFrame = nullptr;
}
