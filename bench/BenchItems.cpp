#include "BenchSupport.h"

#include "data/LedgerDMUnit.h"

#include <memory>

namespace {
std::unique_ptr<TLedgerItems> g_benchItems;
}

TLedgerItems &BenchItems()
{
    if (!g_benchItems)
        g_benchItems = LedgerDM->NewLedgerItems();
    return *g_benchItems;
}

void FreeBenchItems()
{
    g_benchItems.reset();
}
