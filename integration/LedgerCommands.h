#pragma once
// The ledger's commands for scheduled jobs, run from the console's command
// line without a window: --export-csv FILE with the search's criteria
// (--year, --direction, --from, --to, --text, --partner), --register-pdf
// FILE --year Y [--partner TEXT] [--data-script cyrillic|latin] and
// --continuity-report FILE --year Y, --close-year Y --closing-pdf FILE
// (YearClosingCommand.h), --verify-history (HistoryCheckCommand.h) and
// --intake FILE [--dry-run] (IntakeCommand.h). The
// snap-in offers them through IModuleCommands.

#include "ModuleCommands.h"

#include <functional>

QList<TCommandOption> LedgerCommandOptions();
// Criteria without a command, two commands, a command without --user or a
// file, a book without a year or with the export's criteria, a data script
// other than with --register-pdf or unknown.
QString LedgerCommandLineProblem(const TCommandValues &values, bool withLogin);
// connect: makes sure the data module holds a connected connection (throws
// KException when it cannot). 0 when done, 1 when not (Err says why).
int RunLedgerCommand(const TCommandValues &values, const TCommandContext &context,
                     const std::function<void()> &connect);
