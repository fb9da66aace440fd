#pragma once
// The text of "O programu": the console's name and version, then each
// loaded module with its description and versions, or a word that it has
// none.

#include "ModuleLoader.h"

#include <QString>
#include <vector>

// The console's own name, and its version from the build.
QString ConsoleName();
QString ConsoleVersion();

QString AboutText(const QString &consoleName, const QString &consoleVersion,
                  const std::vector<TModuleLoader::Module> &modules);
