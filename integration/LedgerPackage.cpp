// The package's unit table: start-up in this order, shut-down in reverse.
// Each unit keeps a nesting counter so that repeated start-ups do the work
// once and the matching last shut-down undoes it.

#include "ConsoleLedgerContext.h"
#include "LedgerRegistration.h"
#include "data/LedgerDMUnit.h"

namespace {

// The data module learns of the console only through its context.
void startLedgerDM()
{
    static TConsoleLedgerContext context;
    LedgerDMUnit_Initialize();
    LedgerDM->SetContext(&context);
}

struct TUnitCounter
{
    int count = 0;
    bool Start() { return --count == -1; }
    bool Stop() { return ++count == 0; }
};

template <int N>
TUnitCounter &counter()
{
    static TUnitCounter c;
    return c;
}

template <int N, void (*Work)() = nullptr>
void startUnit()
{
    if (counter<N>().Start() && Work)
        Work();
}

template <int N, void (*Work)() = nullptr>
void stopUnit()
{
    if (counter<N>().Stop() && Work)
        Work();
}

const TPackageUnitInfo kUnits[] = {
    {"LedgerResourceString", startUnit<0>, stopUnit<0>},
    {"LedgerSnapin", startUnit<1>, stopUnit<1>},
    {"LedgerRegistration", startUnit<2, LedgerRegistration_Initialize>, stopUnit<2, LedgerRegistration_Finalize>},
    {"LedgerDMUnit", startUnit<3, startLedgerDM>, stopUnit<3, LedgerDMUnit_Finalize>},
    {"LedgerNavigatorUnit", startUnit<4>, stopUnit<4>},
    {"GetLedgerUnit", startUnit<5>, stopUnit<5>},
    {"LedgerDetailUnit", startUnit<6>, stopUnit<6>},
    {"ProceedingUnit", startUnit<7>, stopUnit<7>},
    {"LedgerViewerUnit", startUnit<8>, stopUnit<8>},
};

const TPackageInfoTable kTable{int(std::size(kUnits)), kUnits};

} // namespace

const TPackageInfoTable *GetPackageInfoTable()
{
    return &kTable;
}

void Initialize()
{
    for (int i = 0; i < kTable.UnitCount; ++i)
        kTable.Units[i].Initialize();
}

void Finalize()
{
    for (int i = kTable.UnitCount - 1; i >= 0; --i)
        kTable.Units[i].Finalize();
}
