#pragma once
// Loads the module libraries from the modules folder and gets a snap-in
// from each. Libraries stay mapped until the process ends: objects a module
// created may outlive its Finalize (a frame, a leaked reference), and their
// code must still be there when they go.

#include "KInterfaces.h"
#include "KPackage.h"

#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QLibrary;
class TConsole;

class TModuleLoader
{
public:
    // What a module says of itself in its ModuleVersionInfo.
    struct Version
    {
        QString Description;
        QString FileVersion;
        QString ProductVersion;
    };

    struct Module
    {
        QString Path;
        std::optional<Version> VersionInfo; // none when the module exports none
        // Deleting a QLibrary does not unload it; the mapping stays.
        std::shared_ptr<QLibrary> Library;
        TFinalizeProc Finalize = nullptr;
        const TPackageInfoTable *Info = nullptr;
        IRef<ISnapinFactory> Factory;
        IRef<ISnapin> Snapin;
        bool Finalized = false;
    };

    TModuleLoader() = default;
    TModuleLoader(const TModuleLoader &) = delete;
    TModuleLoader &operator=(const TModuleLoader &) = delete;
    ~TModuleLoader();

    // The folder the environment variable the build names
    // (KCONSOLE_MODULE_DIR_VARIABLE) holds when set, else <applicationDirPath>/modules.
    static QString ModuleDir();

    // Loads every *.so of dir in name order; each snap-in is registered with
    // the console. A library that is not a module is skipped with a warning.
    void LoadAll(const QString &dir, const IRef<TConsole> &console);

    const std::vector<Module> &Modules() const { return m_modules; }
    QStringList Warnings() const { return m_warnings; }

    // Shutdown, in this order: the console and the window must have let go
    // of the snap-ins first. Both walk the modules in reverse load order.
    void ReleaseReferences(TConsole *console);
    void FinalizeAll();

private:
    void warn(const QString &text);
    std::vector<Module> m_modules;
    QStringList m_warnings;
};
