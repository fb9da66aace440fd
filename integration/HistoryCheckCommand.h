#pragma once
// Checking the history's hash chain from the command line, without a window:
// kconsole --user U --verify-history. Administrators only. Progress goes to
// standard error, the finding to standard output. Exit 0: the history is
// intact; 3: it was rewritten (the first entry changed, missing, added or
// moved is named); 1: the check could not run (standard error says why).

#include "ModuleCommands.h"

#include <functional>

constexpr int kHistoryBroken = 3;

QList<TCommandOption> HistoryCheckCommandOptions();
bool IsHistoryCheckCommand(const TCommandValues &values);
// The check beside another command (otherCommands: how many the line
// names), or without a login.
QString HistoryCheckCommandLineProblem(const TCommandValues &values, bool withLogin, int otherCommands);
// connect as with RunLedgerCommand.
int RunHistoryCheckCommand(const TCommandContext &context, const std::function<void()> &connect);
