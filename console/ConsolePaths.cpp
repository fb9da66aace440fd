#include "ConsolePaths.h"

#include "InterfaceScript.h"
#include "KException.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ConsolePaths {

TConsolePaths Pick(const QString &exeFolder, const QString &iniName, bool exeFolderWritable,
                   const QString &configFolder, const QString &dataFolder)
{
    const QDir exe(exeFolder);
    // An ini beside the executable wins even where new files cannot be
    // made: it is a copied installation's own.
    if (QFileInfo::exists(exe.filePath(iniName)) || exeFolderWritable)
        return {exe.filePath(iniName), exe.absolutePath()};
    return {QDir(configFolder).filePath(iniName), QDir(dataFolder).absolutePath()};
}

TConsolePaths ForThisProgram(const QString &productName)
{
    const QString exeFolder = QCoreApplication::applicationDirPath();
    const QString iniName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + QStringLiteral(".ini");
    const auto userFolder = [&](QStandardPaths::StandardLocation where) {
        return QDir(QStandardPaths::writableLocation(where)).filePath(productName);
    };
    const TConsolePaths paths = Pick(exeFolder, iniName, QFileInfo(exeFolder).isWritable(),
                                     userFolder(QStandardPaths::GenericConfigLocation),
                                     userFolder(QStandardPaths::GenericDataLocation));
    for (const QString &folder : {QFileInfo(paths.Ini).absolutePath(), paths.BookFolder}) {
        if (!QDir().mkpath(folder))
            throw KException(UiText(u"Fascikla za podešavanja ne može da se napravi: %1").arg(QDir::toNativeSeparators(folder)));
    }
    return paths;
}

} // namespace ConsolePaths
