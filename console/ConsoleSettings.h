#pragma once
// The console's ini file lives beside the executable and bears its name
// (kconsole.ini), so a copied installation carries its own settings.

#include "ZConnection.h"

#include <QString>

namespace ConsoleSettings {

// <applicationDirPath>/<executable base name>.ini
QString IniPath();

// Reads [Database]; keys that are missing are written with their defaults so
// the file shows what can be set. A relative SQLite file name is taken as
// beside the ini file.
TConnectionParams LoadConnectionParams(const QString &iniPath);

// How the status bar names the database: "SQLite: /path" or "MariaDB: db".
QString DatabaseCaption(const TConnectionParams &params);

// The login offered first in the login dialog.
QString LastLogin(const QString &iniPath);
void SetLastLogin(const QString &iniPath, const QString &login);

} // namespace ConsoleSettings
