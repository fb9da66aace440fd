#pragma once
// The modules' commands for scheduled jobs: every loaded snap-in that offers
// IModuleCommands adds its options to the console's command line; after the
// login the command runs without a window and says what went wrong on
// standard error, in Serbian, with a non-zero exit.

#include "ModuleCommands.h"

#include <QList>
#include <QString>
#include <memory>

class IDialogs;
class TConsole;
struct TCommandLine;

enum TConsoleExit : int {
    ceBadLine = 7, // options that do not go together
};

// The options every loaded module offers, in load order.
QList<TCommandOption> ModuleCommandOptions(TConsole &console);
// True when the line names a module's command instead of the window.
bool HasCommand(const TCommandLine &line, TConsole &console);
// Module options that do not go together (a module's own verdict, or the
// commands of two modules); empty when the line is sound.
QString CommandLineProblem(const TCommandLine &line, TConsole &console);
// Dialogs for a run without a window: messages go to standard error, and
// nothing waits for an answer.
std::unique_ptr<IDialogs> MakeCommandDialogs();
// Runs the command through the module that offers it, as the user who
// logged in; the process's exit code.
int RunCommand(const TCommandLine &line, TConsole &console, const TUserDesc &user);
