#pragma once
// The console's ini file bears the executable's name (kconsole.ini); where it
// lives is ConsolePaths' choice.

#include "ConsolePaths.h"
#include "ZConnection.h"

#include <QString>

namespace ConsoleSettings {

// ConsolePaths::ForThisProgram for this product. Throws KException.
TConsolePaths Paths();

// Reads [Database]; keys that are missing are written with their defaults so
// the file shows what can be set. A relative SQLite file name is taken as
// inside bookFolder (empty: beside the ini file).
TConnectionParams LoadConnectionParams(const QString &iniPath, const QString &bookFolder = QString());

// Writes params into [Database] the way LoadConnectionParams reads them, so
// what a person typed reads back unchanged. An SQLite file inside bookFolder
// is written by its name alone (a copied installation keeps working); a
// MariaDB server replaces any list of Servers. Throws KException.
void SaveConnectionParams(const QString &iniPath, const TConnectionParams &params,
                          const QString &bookFolder = QString());

// The SQLite file a first start makes when the ini names none.
QString DefaultBookFile(const QString &iniPath, const QString &bookFolder = QString());

// How the status bar names the database: "SQLite: /path" or "MariaDB: db".
QString DatabaseCaption(const TConnectionParams &params);

// The login offered first in the login dialog.
QString LastLogin(const QString &iniPath);
void SetLastLogin(const QString &iniPath, const QString &login);

} // namespace ConsoleSettings
