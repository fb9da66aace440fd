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

// How the status bar names the database: "SQLite: /path" or "MariaDB: db".
QString DatabaseCaption(const TConnectionParams &params);

// The login offered first in the login dialog.
QString LastLogin(const QString &iniPath);
void SetLastLogin(const QString &iniPath, const QString &login);

} // namespace ConsoleSettings
