#pragma once
// The console's commands for scheduled jobs: after the login they run
// without a window, each through an interface a loaded module offers, and
// say what went wrong on standard error, in Serbian, with a non-zero exit.
// --export-csv FILE with the search's criteria (--year, --direction,
// --from, --to), --register-pdf FILE --year Y and --continuity-report FILE
// --year Y, through ILedgerReports.

#include <QString>
#include <memory>

class IDialogs;
class TConsole;
struct TCommandLine;

enum TCommandExit : int {
    ceDone = 0,
    ceFailed = 1,      // the command could not be done (bad criterion, file, database)
    ceNoModule = 6,    // no loaded module offers the command
    ceBadLine = 7,     // options that do not go together
};

// True when the line asks for a command instead of the window.
bool HasCommand(const TCommandLine &line);
// Options that belong to a command but came without one, or a command
// without --user; empty when the line is sound.
QString CommandLineProblem(const TCommandLine &line);
// Dialogs for a run without a window: messages go to standard error, and
// nothing waits for an answer.
std::unique_ptr<IDialogs> MakeCommandDialogs();
// Runs the command against the console's snap-ins; the process's exit code.
int RunCommand(const TCommandLine &line, TConsole &console);
