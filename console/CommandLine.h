#pragma once
// The console's command line: what a script or a user asked for at start.

#include "InterfaceScript.h"
#include "ModuleCommands.h"

#include <QSize>
#include <QString>
#include <optional>

class QCoreApplication;

struct TCommandLine
{
    std::optional<QString> User;       // --user: log in without the dialog
    QString Password;                  // --password, with --user
    bool PasswordFromStdin = false;    // --password-stdin: the first line of standard input instead
    std::optional<QString> Screenshot; // --screenshot: save the window as PNG and quit
    QString Select;                    // --select: the snap-in to select
    std::optional<QString> Action;     // --action: the selected snap-in's action to trigger
    std::optional<QString> AddUser;    // --add-user: save a user and quit
    QString FirstName;                 // --first-name, with --add-user or --admin
    QString LastName;                  // --last-name, with --add-user or --admin
    bool NewBook = false;              // --new-book: make an office's own empty book and quit
    QString Organization;              // --organization, with --new-book
    QString Admin;                     // --admin: the new book's first administrator
    std::optional<QString> ImportPartners; // --import-partners: import a partner list (CSV) and quit
    bool MergeDuplicates = false;      // --merge-duplicates, with --import-partners
    QString Size;                      // --size, "WxH"
    bool SizeGiven = false;            // --size was on the line: it wins over the remembered size
    std::optional<TScript> Script;     // --script: the interface's, instead of the user's setting
    TCommandValues ModuleValues;       // the loaded modules' options given, by name
    std::optional<int> Exit;           // --help or a line that cannot be read: end with this code

    // Run from a script: no message boxes that wait for a click. The
    // modules' options are their commands', which run without a window.
    bool Scripted() const { return User || Screenshot || AddUser || NewBook || ImportPartners || !ModuleValues.isEmpty(); }
};

// Reads the application's arguments: the console's own options and those
// the loaded modules offer. A --script is applied (SetInterfaceScript) before
// anything is said, so the help and all later messages are in it. For --help
// it prints the help, for an unknown option Qt's message and for an unknown
// script UnknownScriptText, and sets Exit (ceBadLine for the script).
TCommandLine ParseCommandLine(const QCoreApplication &app, const QList<TCommandOption> &moduleOptions);

// The value of the last --script among the arguments (the program's name
// first), as typed; nullopt without one.
std::optional<QString> ScriptArgument(const QStringList &arguments);
// The refusal of a --script value that names no script.
QString UnknownScriptText(const QString &name);

// Whether the arguments ask for a run without a window: any option that is
// not the console's own is a module's, for a command. Read before the
// application exists, so that it can start without a display.
bool WantsNoWindow(int argc, char **argv);

// "1280x800" as a size; nullopt for any other text.
std::optional<QSize> ParseWindowSize(const QString &text);
