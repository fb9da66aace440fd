#pragma once
// What a module library exports with C linkage; the console resolves these
// by name after loading the library.

#include "KInterfaces.h"

extern "C" {
struct TPackageUnitInfo
{
    const char *Name;
    void (*Initialize)();
    void (*Finalize)();
};

struct TPackageInfoTable
{
    int UnitCount;
    const TPackageUnitInfo *Units; // in start-up order
};

using TInitializeProc = void (*)();
using TFinalizeProc = void (*)();
using TGetPackageInfoTableProc = const TPackageInfoTable *(*)();
// Returns an added reference; the caller adopts it.
using TGetSnapinFactoryProc = ISnapinFactory *(*)();

// A module's version data, exported as the data symbol "ModuleVersionInfo";
// a module without it simply has none. UTF-8 texts.
struct TModuleVersionInfo
{
    const char *Description;
    const char *FileVersion;
    const char *ProductVersion;
};
}
