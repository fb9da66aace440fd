#pragma once
// Commands a module runs from the console's command line without a window,
// for scheduled jobs. The console asks every loaded snap-in for
// IModuleCommands (QueryInterface), offers the options they list beside its
// own, and hands the options given to the module whose command the line names.

#include "KInterfaces.h"

#include <QList>
#include <QMap>
#include <QString>

class QTextStream;

// One option a module reads from the command line.
struct TCommandOption
{
    QString Name;           // without the dashes: "export-csv"
    QString Description;    // for --help
    QString ValueName;      // "FILE.csv"; empty for a switch without a value
    bool IsCommand = false; // names something to do, not only how to do it
};

// The options of one module given on the line, by name; a switch maps to an
// empty text.
using TCommandValues = QMap<QString, QString>;

// What a command runs with, after the login.
struct TCommandContext
{
    TUserDesc User;   // who logged in
    QTextStream &Out; // what was done
    QTextStream &Err; // progress and what went wrong
};

enum TCommandExit : int {
    ceDone = 0,
    ceFailed = 1, // the command could not be done; Err says why
};

class KCOMMON_EXPORT IModuleCommands : public virtual IInterface
{
public:
    K_IID("{2DB1DE12-AA06-4483-B6DA-F36C395CF3BC}")
    virtual QList<TCommandOption> CommandOptions() = 0;
    // Why the module's options given do not go together, for the user; empty
    // when they do. withLogin: the line logs in without the dialog (--user).
    virtual QString CommandLineProblem(const TCommandValues &values, bool withLogin) = 0;
    // Runs the command the values name; the process's exit code
    // (TCommandExit). Called only for values without a problem.
    virtual int RunCommand(const TCommandValues &values, const TCommandContext &context) = 0;
};
