#pragma once
// Where the console keeps its ini file and a new SQLite book. A copied
// installation carries its own files beside the executable; an installed one
// (whose folder the user cannot write to) keeps them in the user's folders:
// ~/.config/Delovodnik/kconsole.ini and ~/.local/share/Delovodnik/.

#include <QString>

struct TConsolePaths
{
    QString Ini;        // the ini file
    QString BookFolder; // a relative SQLite file name is taken as inside it
};

namespace ConsolePaths {

// Beside the executable when the ini is already there or the folder takes new
// files; else iniName in configFolder and the book in dataFolder. Whether the
// folder is writable comes in, so the choice is the same for root.
TConsolePaths Pick(const QString &exeFolder, const QString &iniName, bool exeFolderWritable,
                   const QString &configFolder, const QString &dataFolder);

// The paths of this run (<executable base name>.ini, the user's XDG folders
// under productName); creates the user's folders when they are picked, and
// throws KException when that is impossible.
TConsolePaths ForThisProgram(const QString &productName);

} // namespace ConsolePaths
