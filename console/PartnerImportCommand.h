#pragma once
// kconsole --import-partners FILE [--merge-duplicates]: the partner import
// without a window. Prints how many partners were added, merged, skipped
// and refused, and each refused row with its line and reason.

#include <QString>

class TZConnection;
struct TRegisterActor;

// The exit code: 0 imported (refused rows do not stop the others), 1 when
// the file cannot be read or is malformed, or the database refused; then
// nothing is stored.
int ImportPartnersCommand(TZConnection &connection, const QString &file, bool mergeDuplicates,
                          const TRegisterActor &actor);
