#pragma once
// The error log: what went wrong, when, and the details a user is not shown
// in full (the database's own words, the statement, the code). The console
// keeps it beside its ini file; without a file set, entries go to the
// process's warnings.

#include "KExport.h"

#include <QString>

KCOMMON_EXPORT void SetErrorLogPath(const QString &path);
KCOMMON_EXPORT QString ErrorLogPath();
// Appends one entry with the current time; never throws.
KCOMMON_EXPORT void LogError(const QString &message, const QString &details = {});
