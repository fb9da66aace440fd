#pragma once
// Copying a file over another without ever leaving a half-written target.

#include "KExport.h"

#include <QDateTime>
#include <QString>

// Copies source to target, replacing target when it exists. The bytes go to
// a temporary file beside target that is renamed over it only when complete,
// so a failed copy leaves the old target as it was. The copy's modification
// time is set to modified. Throws KException with the reason in Serbian.
KCOMMON_EXPORT void CopyFileReplacing(const QString &source, const QString &target, const QDateTime &modified);
