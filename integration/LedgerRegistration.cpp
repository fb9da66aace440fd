#include "LedgerRegistration.h"

#include "LedgerSnapin.h"
#include "screens/LedgerHelpContexts.h"

// From the build: the module's description and versions in one place.
const TModuleVersionInfo ModuleVersionInfo = {LEDGER_DESCRIPTION, LEDGER_FILE_VERSION, LEDGER_PRODUCT_VERSION};

namespace {
IRef<ISnapinFactory> g_factory;
TLedgerSnapinFactory *g_factoryObject = nullptr;
}

IRef<ISnapin> TLedgerSnapinFactory::GetSnapin(const IRef<IConsole> &console)
{
    const IRef<IConsole> hold = console;
    if (!FSnapin)
        FSnapin = IRef<ISnapin>(new TLedgerSnapin(hold));
    IRef<ISnapin> result = FSnapin;
    GlobalConsole = hold;
    return result;
}

void LedgerRegistration_Initialize()
{
    g_factoryObject = new TLedgerSnapinFactory;
    g_factory = IRef<ISnapinFactory>(g_factoryObject);
    RegisterLedgerHelp();
}

void LedgerRegistration_Finalize()
{
    UnregisterLedgerHelp();
    g_factory.reset();
    g_factoryObject = nullptr;
    GlobalConsole.reset();
}

TLedgerSnapinFactory *LedgerFactoryObject()
{
    return g_factoryObject;
}

ISnapinFactory *GetSnapinFactory()
{
    if (!g_factory)
        return nullptr;
    g_factory->AddRef();
    return g_factory.get();
}

ISnapinFactory *LedgerRegistration_GetSnapinFactory()
{
    return GetSnapinFactory();
}
