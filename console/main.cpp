// kconsole: loads the modules, connects to the database, logs the user in
// and shows the modules, or runs one module's command without a window.
// Teardown runs in a fixed order: the window and the console let go of
// module objects, then the modules are finalized, and the connection closes
// last.

#include "AboutText.h"
#include "AccountActions.h"
#include "CommandLine.h"
#include "CommandRunner.h"
#include "Console.h"
#include "ConsoleLayout.h"
#include "ConsoleSettings.h"
#include "ErrorLog.h"
#include "Help.h"
#include "ConsoleWindow.h"
#include "Dialogs.h"
#include "DocumentsWindow.h"
#include "ItemTypesWindow.h"
#include "ClassificationWindow.h"
#include "OrgUnitsWindow.h"
#include "KException.h"
#include "InterfaceScript.h"
#include "ModuleLoader.h"
#include "ModuleSampleData.h"
#include "NewBook.h"
#include "NewBookDialog.h"
#include "PartnerImportCommand.h"
#include "PartnerStore.h"
#include "RegisterHistory.h"
#include "SampleData.h"
#include "SchemaInstaller.h"
#include "SerbianQtTexts.h"
#include "SettingsDialog.h"
#include "UserSettings.h"
#include "PartnersWindow.h"
#include "Services.h"
#include "UsersWindow.h"
#include "ZConnection.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

namespace {

bool g_scripted = false; // run from a script: no message boxes that wait for a click

void fail(const QString &text)
{
    LogError(text);
    std::fprintf(stderr, "%s\n", qPrintable(text));
    if (!g_scripted)
        MessageDlg(text, TMsgDlgType::Error, mbOK);
}

// A new book's sample rows: the console's own, then each module's.
void fillSampleData(TZConnection &connection, TConsole &console)
{
    SampleData::Fill(connection);
    for (const IRef<ISnapin> &snapin : console.Snapins())
        if (IRef<ISampleData> sample = snapin.query<ISampleData>())
            sample->CreateSampleData(connection);
}

// Opens the database and creates the tables of an empty one; a new SQLite
// file also gets the sample book.
bool prepareDatabase(TZConnection &connection, TConsole &console)
{
    const TConnectionParams &params = connection.Params();
    const bool sqlite = params.Driver == QLatin1String("QSQLITE");
    const bool newFile = sqlite && !QFile::exists(params.Database);
    try {
        connection.Connect();
    } catch (const EDatabaseError &e) {
        // An account with no rights on the database is refused at the door:
        // the desks' account of a book whose administrator has not yet made it.
        fail(IsPermissionDenied(e) ? ESchemaRights(connection, e).message() : e.message());
        return false;
    } catch (const KException &e) {
        fail(e.message());
        return false;
    }
    try {
        if (SchemaInstalled(connection)) {
            UpgradeSchema(connection);
            return true;
        }
        InstallBook(connection, newFile, [&] {
            if (newFile)
                fillSampleData(connection, console);
        });
        return true;
    } catch (const ESchemaRights &e) {
        connection.Disconnect();
        fail(e.message());
        return false;
    } catch (const KException &e) {
        connection.Disconnect();
        fail(UiText(u"Baza podataka nije pripremljena: %1").arg(e.message()));
        return false;
    }
}

// --add-user: saves the user and gives the process's exit code. The password
// comes on standard input, never on the command line.
int addUser(TSecurityService &security, const TCommandLine &line)
{
    QTextStream in(stdin);
    const QString password = in.readLine();
    try {
        security.SaveUser(*line.AddUser, line.FirstName, line.LastName, password);
    } catch (const KException &e) {
        fail(e.message());
        return 1;
    }
    std::printf("%s\n", qPrintable(UiText(u"Korisnik %1 je sačuvan.").arg(*line.AddUser)));
    return 0;
}

// --import-partners: the history names the user of --user, or the
// computer's account when the import ran without a login.
int importPartners(TSecurityService &security, const TCommandLine &line, TZConnection &connection)
{
    TUserDesc user;
    if (line.User && !security.GetCurrentUser(user, 0))
        return 2;
    const TRegisterActor actor =
        user.UserID > 0 ? PartnerActor(user)
                        // stored in the history as it is: not a text of the interface
                        : RegisterActor(0, QStringLiteral("komandna linija (%1)").arg(qEnvironmentVariable("USER")));
    return ImportPartnersCommand(connection, *line.ImportPartners, line.MergeDuplicates, actor);
}

// The console with its own services; the modules add theirs as they load.
IRef<TConsole> makeConsole(const IRef<TSecurityService> &security, TZConnection *connection)
{
    IRef<TConsole> console(new TConsole);
    console->AddService(IRef<IInterface>(security));
    console->AddService(
        IRef<IInterface>(IRef<TPartnerService>(new TPartnerService(connection, IRef<ISecurity>(security)))));
    console->AddService(IRef<IInterface>(IRef<TDocumentService>(new TDocumentService(connection, security))));
    console->AddService(IRef<IInterface>(IRef<TItemTypeService>(new TItemTypeService(connection, security))));
    return console;
}

// Logs the user in with --user or through the login dialog. The exit code
// when the console must not go on: 2 for a wrong login, 0 for a cancelled
// dialog, 1 for a database error.
std::optional<int> logIn(TSecurityService &security, const TCommandLine &line, const QString &iniPath)
{
    try {
        if (line.User) {
            // On standard input the password stays out of the process list.
            const QString password = line.PasswordFromStdin ? QTextStream(stdin).readLine() : line.Password;
            if (!security.Login(*line.User, password)) {
                fail(UiText(u"Prijava nije uspela: %1").arg(security.LoginError()));
                return 2;
            }
        } else if (!LogInWithDialog(security, iniPath)) {
            return 0;
        }
    } catch (const KException &e) {
        fail(e.message());
        return 1;
    }
    return std::nullopt;
}

// The logged-in user's own script, unless --script chose one for this run.
// Before any window of the user is made. An unreadable setting leaves the
// script as it is: no reason not to start.
void applyUserScript(TSecurityService &security, const TCommandLine &line)
{
    if (line.Script)
        return;
    TUserDesc user;
    try {
        if (security.GetCurrentUser(user, 0) && user.UserID > 0)
            SetInterfaceScript(UserSettings::Script(*security.GetConnection(), user.UserID));
    } catch (const KException &e) {
        LogError(e.message());
    }
}

// The "Šifarnici": what a clerk uses daily first, the administrator's lists last.
void addRegisters(TConsoleWindow &window, TSecurityService &security)
{
    TSecurityService *desk = &security; // outlives the window (TSession)
    TConsoleWindow *w = &window;
    window.AddRegister(QStringLiteral("Partneri"), QStringLiteral("partnersAction"), [desk, w] {
        TUserDesc current;
        desk->GetCurrentUser(current, 0);
        TPartnersWindow partners(*desk->GetConnection(), current, w);
        Dialogs().ShowModal(partners);
    });
    window.AddRegister(QStringLiteral("Dokumenti"), QStringLiteral("documentsAction"),
                       [desk] { ShowDocumentsWindow(*desk->GetConnection(), desk); });
    window.AddRegister(QStringLiteral("Vrste dokumenta"), QStringLiteral("itemTypesAction"),
                       [desk] { ShowItemTypesWindow(*desk->GetConnection(), desk); });
    window.AddRegister(QStringLiteral("Korisnici"), QStringLiteral("usersAction"),
                       [desk, w] { OpenUsersWindow(*desk, w); });
    window.AddRegister(QStringLiteral("Klasifikacioni plan"), QStringLiteral("classificationAction"),
                       [desk] { ShowClassificationWindow(*desk->GetConnection(), desk); });
    window.AddRegister(QStringLiteral("Organizacione jedinice"), QStringLiteral("orgUnitsAction"),
                       [desk] { ShowOrgUnitsWindow(*desk->GetConnection(), desk); });
}

// The window in the layout its user left it in; a size given on the command line wins.
// logout runs on "Odjava".
std::unique_ptr<TConsoleWindow> showWindow(TSecurityService &security, const TConnectionParams &params,
                                           TConsole &console, const TModuleLoader &loader, const TCommandLine &line,
                                           const QSize &size, const QString &iniPath,
                                           const std::function<void()> &logout)
{
    auto window = std::make_unique<TConsoleWindow>(security.CurrentUserName(), ConsoleSettings::DatabaseCaption(params));
    TConsoleWindow *w = window.get();
    addRegisters(*window, security);
    window->AddFileAction(QStringLiteral("Promena lozinke…"), QStringLiteral("changePasswordAction"),
                          [&security, w] { ChangeOwnPassword(security, w); });
    window->AddFileAction(QStringLiteral("Podešavanja…"), QStringLiteral("settingsAction"),
                          [&security, w] { EditOwnSettings(security, w); });
    window->AddFileAction(QStringLiteral("Odjava"), QStringLiteral("logoutAction"), logout);
    console.AddService(IRef<IInterface>(window->StatusService()));
    window->resize(ConsoleLayout::FirstSize(size));
    TUserDesc user;
    try {
        if (security.GetCurrentUser(user, 0) && !user.Login.isEmpty())
            window->UseLayoutFile(ConsoleLayout::FilePath(iniPath), user.Login);
    } catch (const KException &e) {
        // An unreadable layout is no reason not to start: the defaults serve.
        LogError(e.message());
    }
    if (line.SizeGiven)
        window->resize(size);
    window->SetSnapins(console.Snapins());
    window->ShowWarnings(loader.Warnings());
    window->SetAboutText([&loader] { return AboutText(ConsoleName(), ConsoleVersion(), loader.Modules()); });
    window->show();
    return window;
}

// Selects the snap-in of --select (the first without it) and triggers
// --action. 0 when both went through, else the exit code.
int followScript(TConsoleWindow &window, const TCommandLine &line)
{
    if (!window.SelectSnapin(line.Select) && !line.Select.isEmpty()) {
        fail(UiText(u"Snap-in „%1“ nije pronađen. Učitani su: %2")
                 .arg(line.Select, window.SnapinNames().join(QStringLiteral(", "))));
        return 3;
    }
    if (line.Action && !window.TriggerAction(*line.Action)) {
        fail(UiText(u"Akcija „%1“ nije pronađena ili nije dostupna.").arg(*line.Action));
        return 5;
    }
    return 0;
}

// Saves the window as PNG once the event loop runs and quits: 0 when saved, 4 when not.
void saveScreenshotLater(TConsoleWindow *window, const QString &file)
{
    // Give the frames' deferred loads and layouts time to settle first.
    QTimer::singleShot(500, window, [window, file] {
        if (!window->grab().save(file, "PNG")) {
            std::fprintf(stderr, "%s\n", qPrintable(UiText(u"Snimak nije sačuvan: %1").arg(file)));
            QApplication::exit(4);
            return;
        }
        QApplication::exit(0);
    });
}

// What a run holds, taken down in a fixed order whichever way main ends:
// module objects first, then the modules themselves; the connection closes last.
struct TSession
{
    std::unique_ptr<TZConnection> Connection = std::make_unique<TZConnection>();
    IRef<TSecurityService> Security{new TSecurityService(Connection.get())};
    IRef<TConsole> Console = makeConsole(Security, Connection.get());
    TModuleLoader Loader;
    std::unique_ptr<TConsoleWindow> Window;

    TSession() = default;
    TSession(const TSession &) = delete;
    TSession &operator=(const TSession &) = delete;
    ~TSession()
    {
        if (Window) {
            try {
                Window->SaveLayout();
            } catch (const KException &e) {
                // The next start uses the defaults; nothing else is lost.
                LogError(e.message());
                std::fprintf(stderr, "%s\n", qPrintable(e.message()));
            }
            Window->ReleaseSnapins();
        }
        Loader.ReleaseReferences(Console.get());
        if (Window)
            Window->DeleteLeftoverFrames();
        Loader.FinalizeAll();
        Console->Clear();
        Window.reset();
        Console.reset();
        Security.reset();
        Connection.reset();
    }
};

} // namespace

int main(int argc, char *argv[])
{
    // A scheduled job has no display to show a window on.
    if (WantsNoWindow(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kconsole"));
    QApplication::setOrganizationName(QStringLiteral("Kolibar"));
    InstallSerbianTexts(app);
    InstallHelpKey(app);

    TConsolePaths paths;
    try {
        paths = ConsoleSettings::Paths();
    } catch (const KException &e) {
        fail(e.message());
        return 1;
    }
    const QString iniPath = paths.Ini;
    SetErrorLogPath(QFileInfo(iniPath).absoluteDir().filePath(QStringLiteral("kconsole.log")));
    // The modules come first: the command line carries their options too.
    TSession session;
    session.Loader.LoadAll(TModuleLoader::ModuleDir(), session.Console);
    TConsole &console = *session.Console.get();
    const TCommandLine line = ParseCommandLine(app, ModuleCommandOptions(console));
    if (line.Exit)
        return *line.Exit;
    g_scripted = line.Scripted();
    if (!line.ModuleValues.isEmpty())
        SetDialogs(MakeCommandDialogs());
    if (const QString problem = CommandLineProblem(line, console); !problem.isEmpty()) {
        fail(problem);
        return ceBadLine;
    }
    const std::optional<QSize> size = ParseWindowSize(line.Size);
    if (!size) {
        fail(UiText(u"Neispravna veličina prozora: %1 (očekuje se npr. 1280x800)").arg(line.Size));
        return 1;
    }

    TConnectionParams params;
    try {
        params = ConsoleSettings::LoadConnectionParams(iniPath, paths.BookFolder);
    } catch (const KException &e) {
        fail(e.message());
        return 1;
    }
    session.Connection->SetParams(params);
    if (line.NewBook) {
        const TNewBook book{line.Organization, line.Admin, line.FirstName, line.LastName, {}};
        if (const QString problem = NewBookProblem(book, line.PasswordFromStdin); !problem.isEmpty()) {
            fail(problem);
            return ceBadLine;
        }
        return CreateNewBook(*session.Connection, *session.Security.get(), book, QTextStream(stdin).readLine());
    }
    // A first start with a window asks what book to make; scripts get the sample as before.
    if (!g_scripted && !HasCommand(line, console) && BookMissing(*session.Connection)) {
        TNewBookDialog newBook(*session.Connection, *session.Security.get(), iniPath, paths.BookFolder,
                               [&](TZConnection &connection) { fillSampleData(connection, console); });
        if (Dialogs().ShowModal(newBook) != QDialog::Accepted)
            return 0;
        params = session.Connection->Params();
    }
    if (!prepareDatabase(*session.Connection, console))
        return 1;

    TSecurityService &security = *session.Security.get();
    if (line.AddUser)
        return addUser(security, line);
    // Without --user an import asks nobody to log in, as --add-user does not.
    if (line.ImportPartners && !line.User)
        return importPartners(security, line, *session.Connection);
    if (const std::optional<int> exitCode = logIn(security, line, iniPath))
        return *exitCode;
    applyUserScript(security, line);

    if (line.ImportPartners)
        return importPartners(security, line, *session.Connection);
    if (HasCommand(line, console)) {
        for (const QString &warning : session.Loader.Warnings())
            std::fprintf(stderr, "%s\n", qPrintable(warning));
        TUserDesc user;
        security.GetCurrentUser(user, 0);
        return RunCommand(line, console, user);
    }
    // "Odjava" ends the event loop; the next user logs in and gets a window
    // of their own, until a login is cancelled or the window closes.
    bool loggingOut = false;
    const auto logout = [&loggingOut] {
        loggingOut = true;
        QApplication::exit(0);
    };
    for (bool first = true;; first = false) {
        session.Window = showWindow(security, params, console, session.Loader, line, *size, iniPath, logout);
        int exitCode = first ? followScript(*session.Window, line) : 0;
        if (first && line.Screenshot && exitCode == 0)
            saveScreenshotLater(session.Window.get(), *line.Screenshot);
        if (exitCode == 0 || !g_scripted)
            exitCode = app.exec();
        if (!std::exchange(loggingOut, false))
            return exitCode;
        CloseForLogout(session.Window, console, security);
        try {
            if (!LogInWithDialog(security, iniPath))
                return 0;
            applyUserScript(security, line);
        } catch (const KException &e) {
            fail(e.message());
            return 1;
        }
    }
}
