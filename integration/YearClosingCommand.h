#pragma once
// Closing a year from the command line, without a window:
// kconsole --user U --close-year Y --closing-pdf FILE. Administrators only.
// Exit 0: the year was closed and its note written to FILE; 1: it was not
// (standard error says why; when the note could not be written after the
// closing, it says so and the year stays closed); 7: the year was closed
// already, and nothing was done.

#include "ModuleCommands.h"

#include <functional>

constexpr int kYearClosedAlready = 7;

QList<TCommandOption> YearClosingCommandOptions();
bool IsYearClosingCommand(const TCommandValues &values);
// A closing without its file or its login, a file without a closing, or the
// closing beside another command (otherCommands: how many the line names).
QString YearClosingCommandLineProblem(const TCommandValues &values, bool withLogin, int otherCommands);
// connect as with RunLedgerCommand.
int RunYearClosingCommand(const TCommandValues &values, const TCommandContext &context,
                          const std::function<void()> &connect);
