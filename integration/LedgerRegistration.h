#pragma once
// Module entry: the unit table, the one snap-in factory, the console of
// the latest request for the snap-in, the module's version data and the
// registration of its user guide.

#include "BaseSnapin.h"
#include "GlobalConsole.h" // kept here for the units that reached it through this header
#include "KInterfaces.h"
#include "KPackage.h"

class TLedgerSnapinFactory : public TCustomSnapinFactory
{
public:
    IRef<ISnapin> GetSnapin(const IRef<IConsole> &console) override;
    // The snap-in made by the first request, for tests.
    IRef<ISnapin> Snapin() const { return FSnapin; }
};

// Work of the registration unit's start-up and shut-down.
void LedgerRegistration_Initialize();
void LedgerRegistration_Finalize();
// The factory object while the unit is started (no added reference).
TLedgerSnapinFactory *LedgerFactoryObject();

extern "C" {
Q_DECL_EXPORT void Initialize();
Q_DECL_EXPORT void Finalize();
Q_DECL_EXPORT const TPackageInfoTable *GetPackageInfoTable();
// A new counted reference to the one factory; the caller adopts it.
Q_DECL_EXPORT ISnapinFactory *GetSnapinFactory();
Q_DECL_EXPORT ISnapinFactory *LedgerRegistration_GetSnapinFactory();
Q_DECL_EXPORT extern const TModuleVersionInfo ModuleVersionInfo;
}
