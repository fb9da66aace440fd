#pragma once
// Intake from the command line, without a window:
// kconsole --user U --password-stdin --intake FILE [--dry-run]. The file is
// read as the window reads it; --dry-run prints the proposals one a line
// ("partner: Opština Čačak (PIB u tekstu, 98 %)") and stores nothing.
// Without it an incoming item is registered from the proposals that fill,
// the file as its scan, and its number printed; a file carrying this book's
// stamp becomes the scan of the stamped item instead. A file already
// registered (the same file, or the same partner and sender's number) is
// refused. Exit 0 when done, 1 when not (standard error says why).

#include "ModuleCommands.h"
#include "data/IntakeDocument.h"

#include <functional>

QList<TCommandOption> IntakeCommandOptions();
bool IsIntakeCommand(const TCommandValues &values);
// --dry-run without --intake, the intake beside another command
// (otherCommands: how many the line names), without a login or a file.
QString IntakeCommandLineProblem(const TCommandValues &values, bool withLogin, int otherCommands);

using TIntakeReader = std::function<TIntakeDocument(const QString &path, TIntakeControl &control)>;

// connect as with RunLedgerCommand; read: ReadIntakeFile unless a test gives its own.
int RunIntakeCommand(const TCommandValues &values, const TCommandContext &context,
                     const std::function<void()> &connect, const TIntakeReader &read = {});
