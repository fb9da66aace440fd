#pragma once
// The ledger snap-in the console lists and opens, its viewer (the list
// frame) and its navigator (the search frame). The snap-in also answers
// ILedger for the other modules, IModuleCommands for the console's command
// line, IModuleMenuActions for the console's menus ("Provera integriteta")
// and ISampleData for a new database.

#include "BaseSnapin.h"
#include "ModuleCommands.h"
#include "ModuleMenuActions.h"
#include "ModuleSampleData.h"
#include "data/ILedger.h"

constexpr qint32 LedgerSnapinType = 2025;

class TLedgerItems;

class TLedgerSnapin : public TCustomSnapin, public ILedger, public IModuleCommands, public IModuleMenuActions,
                      public ISampleData
{
public:
    explicit TLedgerSnapin(const IRef<IConsole> &console);
    bool QueryInterface(const QUuid &iid, void **out) override;

    // The rows of the list frame, once it exists (the console counts them).
    TDataSet *GetDataSet() override;

    // ILedger
    bool GetLedger(TLedgerDesc &desc) override;
    void OpenLedger(qint32 id) override;

    // IModuleCommands (LedgerCommands.h)
    QList<TCommandOption> CommandOptions() override;
    QString CommandLineProblem(const TCommandValues &values, bool withLogin) override;
    int RunCommand(const TCommandValues &values, const TCommandContext &context) override;

    // IModuleMenuActions: "Provera integriteta…" (HistoryCheckAction.h)
    QList<TModuleMenuAction> HelpMenuActions() override;

    // ISampleData
    void CreateSampleData(TZConnection &connection) override;

    IRef<IViewer> Viewer() const { return FViewer; }
    IRef<INavigable> Navigator() const { return FNavigator; }

protected:
    ~TLedgerSnapin() override;

private:
    IRef<IViewer> FViewer;
    IRef<INavigable> FNavigator;
};

class TLedgerViewer : public TCustomViewer
{
public:
    explicit TLedgerViewer(const IRef<IConsole> &console);
    void InternalCreateFrame() override;
    void InternalDestroyFrame() override;
    // Makes sure the data module holds the security module's connection.
    void Load(const IRef<ISnapin> &snapin) override;
    void Hide() override;
    void Show(QWidget *parent) override;
    // The list frame's items; null while there is no frame.
    TLedgerItems *Items() const;

protected:
    ~TLedgerViewer() override;
};

class TLedgerNavigator : public TCustomNavigator
{
public:
    using TCustomNavigator::TCustomNavigator;
    // The viewer whose list the searches fill.
    void SetViewer(TLedgerViewer *viewer) { FListViewer = viewer; }
    void InternalCreateFrame() override;
    void InternalDestroyFrame() override;

protected:
    ~TLedgerNavigator() override;

private:
    TLedgerViewer *FListViewer = nullptr; // the snap-in's; lives as long as this
};
