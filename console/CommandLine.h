#pragma once
// The console's command line: what a script or a user asked for at start.

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
    QString FirstName;                 // --first-name, with --add-user
    QString LastName;                  // --last-name, with --add-user
    QString Size;                      // --size, "WxH"
    bool SizeGiven = false;            // --size was on the line: it wins over the remembered size
    std::optional<QString> ExportCsv;  // --export-csv: write the items to a CSV file and quit
    std::optional<QString> RegisterPdf;       // --register-pdf: the register book of --year as PDF
    std::optional<QString> ContinuityReport;  // --continuity-report: the numbering check of --year as PDF
    QString Year;                      // --year, with any of the three
    QString Direction;                 // --direction: caption or code, with --export-csv
    QString From;                      // --from dd.MM.yyyy, with --export-csv
    QString To;                        // --to dd.MM.yyyy, with --export-csv

    // Run from a script: no message boxes that wait for a click.
    bool Scripted() const { return User || Screenshot || AddUser || ExportCsv || RegisterPdf || ContinuityReport; }
};

// Reads the application's arguments. Quits the process for --help and for
// an unknown option, with Qt's own message.
TCommandLine ParseCommandLine(const QCoreApplication &app);

// Whether the arguments ask for a run without a window; read before the
// application exists, so that it can start without a display.
bool WantsNoWindow(int argc, char **argv);

// "1280x800" as a size; nullopt for any other text.
std::optional<QSize> ParseWindowSize(const QString &text);
