#include "ModuleLoader.h"

#include "Console.h"
#include "InterfaceScript.h"
#include "KException.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace {

// Module code may throw anything; none of it may stop the console starting.
template <class Fn>
bool callModule(Fn &&fn, QString &error)
{
    try {
        fn();
        return true;
    } catch (const KException &e) {
        error = e.message();
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    } catch (...) {
        error = UiText(u"nepoznata greška");
    }
    return false;
}

// Copied at once: the texts are the module's, and a module without the
// symbol (or with a null entry) is one that says nothing of itself.
std::optional<TModuleLoader::Version> readVersion(QLibrary &library)
{
    const auto *info = reinterpret_cast<const TModuleVersionInfo *>(library.resolve("ModuleVersionInfo"));
    if (!info)
        return std::nullopt;
    return TModuleLoader::Version{QString::fromUtf8(info->Description), QString::fromUtf8(info->FileVersion),
                                  QString::fromUtf8(info->ProductVersion)};
}

} // namespace

TModuleLoader::~TModuleLoader()
{
    ReleaseReferences(nullptr);
    FinalizeAll();
}

QString TModuleLoader::ModuleDir()
{
    const QString env = qEnvironmentVariable(KCONSOLE_MODULE_DIR_VARIABLE);
    if (!env.isEmpty())
        return env;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("modules"));
}

void TModuleLoader::warn(const QString &text)
{
    m_warnings << text;
    qWarning("%s", qPrintable(text));
}

void TModuleLoader::LoadAll(const QString &dir, const IRef<TConsole> &console)
{
    const QFileInfoList files =
        QDir(dir).entryInfoList({QStringLiteral("*.so")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString path = file.absoluteFilePath();
        const QString name = file.fileName();
        auto library = std::make_shared<QLibrary>(path);
        if (!library->load()) {
            warn(UiText(u"Modul %1 nije učitan: %2").arg(name, library->errorString()));
            continue;
        }
        const auto initialize = reinterpret_cast<TInitializeProc>(library->resolve("Initialize"));
        const auto finalize = reinterpret_cast<TFinalizeProc>(library->resolve("Finalize"));
        const auto infoTable = reinterpret_cast<TGetPackageInfoTableProc>(library->resolve("GetPackageInfoTable"));
        const auto getFactory = reinterpret_cast<TGetSnapinFactoryProc>(library->resolve("GetSnapinFactory"));
        if (!initialize || !finalize || !infoTable || !getFactory) {
            warn(UiText(u"%1 nije modul konzole (nedostaju ulazne tačke) i preskočen je.").arg(name));
            // Nothing of it ran yet, so it can go.
            library->unload();
            continue;
        }

        Module module;
        module.Path = path;
        module.Library = library;
        module.VersionInfo = readVersion(*library);
        QString error;
        if (!callModule([&] { initialize(); }, error)) {
            warn(UiText(u"Modul %1 nije pokrenut: %2").arg(name, error));
            m_modules.push_back(std::move(module)); // kept mapped; it may have half started
            m_modules.back().Finalized = true;
            continue;
        }
        module.Finalize = finalize;
        const bool ok = callModule(
            [&] {
                module.Info = infoTable();
                module.Factory = IRef<ISnapinFactory>::adopt(getFactory());
                if (!module.Factory)
                    throw KException(UiText(u"modul nema fabriku"));
                module.Snapin = module.Factory->GetSnapin(IRef<IConsole>(console));
                if (!module.Snapin)
                    throw KException(UiText(u"modul nije dao snap-in"));
            },
            error);
        if (!ok)
            warn(UiText(u"Modul %1 nije dao snap-in: %2").arg(name, error));
        else
            console->AddSnapin(module.Snapin);
        m_modules.push_back(std::move(module));
    }
}

void TModuleLoader::ReleaseReferences(TConsole *console)
{
    for (auto it = m_modules.rbegin(); it != m_modules.rend(); ++it) {
        if (console && it->Snapin)
            console->RemoveSnapin(it->Snapin);
        QString error;
        callModule([&] { it->Snapin.reset(); }, error);
        callModule([&] { it->Factory.reset(); }, error);
    }
}

void TModuleLoader::FinalizeAll()
{
    for (auto it = m_modules.rbegin(); it != m_modules.rend(); ++it) {
        if (it->Finalized || !it->Finalize)
            continue;
        it->Finalized = true;
        QString error;
        if (!callModule([&] { it->Finalize(); }, error))
            qWarning("Modul %s: greška pri završetku: %s", qPrintable(it->Path), qPrintable(error));
    }
}
