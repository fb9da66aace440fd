// kconsole: connects to the docket book database, logs the user in, loads
// the modules and shows them. Teardown runs in a fixed order: the window and
// the console let go of module objects, then the modules are finalized, and
// the connection closes last.

#include "Console.h"
#include "ConsoleSettings.h"
#include "ConsoleWindow.h"
#include "Dialogs.h"
#include "KException.h"
#include "LoginDialog.h"
#include "ModuleLoader.h"
#include "SampleData.h"
#include "SchemaInstaller.h"
#include "Services.h"
#include "ZConnection.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

namespace {

bool g_scripted = false; // run from a script: no message boxes that wait for a click

void fail(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    if (!g_scripted)
        MessageDlg(text, TMsgDlgType::Error, mbOK);
}

// Opens the database and creates the tables of an empty one; a new SQLite
// file also gets the sample book.
bool prepareDatabase(TZConnection &connection)
{
    const TConnectionParams &params = connection.Params();
    const bool sqlite = params.Driver == QLatin1String("QSQLITE");
    const bool newFile = sqlite && !QFile::exists(params.Database);
    try {
        connection.Connect();
    } catch (const KException &e) {
        fail(e.message());
        return false;
    }
    try {
        if (SchemaInstalled(connection))
            return true;
        InstallSchema(connection);
        if (newFile)
            SampleData::Fill(connection);
        return true;
    } catch (const KException &e) {
        connection.Disconnect();
        // A half-made file would pass as installed on the next start.
        if (newFile)
            QFile::remove(params.Database);
        fail(QStringLiteral("Baza podataka nije pripremljena: %1").arg(e.message()));
        return false;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kconsole"));
    QApplication::setOrganizationName(QStringLiteral("Kolibar"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Kolibar konzola — Delovodnik"));
    parser.addHelpOption();
    const QCommandLineOption userOption(QStringLiteral("user"), QStringLiteral("Prijava bez dijaloga."),
                                        QStringLiteral("LOGIN"));
    const QCommandLineOption passwordOption(QStringLiteral("password"), QStringLiteral("Lozinka uz --user."),
                                            QStringLiteral("PW"));
    const QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                              QStringLiteral("Snimi glavni prozor u PNG i izađi."),
                                              QStringLiteral("FILE.png"));
    const QCommandLineOption selectOption(QStringLiteral("select"), QStringLiteral("Snap-in koji se bira."),
                                          QStringLiteral("NAME"));
    const QCommandLineOption actionOption(QStringLiteral("action"),
                                          QStringLiteral("Akcija izabranog snap-ina koja se izvršava (npr. ThisMonthAction)."),
                                          QStringLiteral("NAME"));
    const QCommandLineOption addUserOption(QStringLiteral("add-user"),
                                           QStringLiteral("Dodaje korisnika ili mu menja lozinku (lozinka se čita sa "
                                                          "standardnog ulaza) i izlazi."),
                                           QStringLiteral("LOGIN"));
    const QCommandLineOption firstNameOption(QStringLiteral("first-name"), QStringLiteral("Ime uz --add-user."),
                                             QStringLiteral("IME"));
    const QCommandLineOption lastNameOption(QStringLiteral("last-name"), QStringLiteral("Prezime uz --add-user."),
                                            QStringLiteral("PREZIME"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("Veličina prozora."),
                                        QStringLiteral("WxH"), QStringLiteral("1280x800"));
    parser.addOptions({userOption, passwordOption, screenshotOption, selectOption, actionOption, addUserOption,
                       firstNameOption, lastNameOption, sizeOption});
    parser.process(app);
    g_scripted = parser.isSet(userOption) || parser.isSet(screenshotOption) || parser.isSet(addUserOption);

    QSize size(1280, 800);
    const auto sizeMatch = QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(parser.value(sizeOption));
    if (!sizeMatch.hasMatch()) {
        fail(QStringLiteral("Neispravna veličina prozora: %1 (očekuje se npr. 1280x800)").arg(parser.value(sizeOption)));
        return 1;
    }
    size = QSize(sizeMatch.captured(1).toInt(), sizeMatch.captured(2).toInt());

    const QString iniPath = ConsoleSettings::IniPath();
    const TConnectionParams params = ConsoleSettings::LoadConnectionParams(iniPath);
    auto connection = std::make_unique<TZConnection>();
    connection->SetParams(params);
    if (!prepareDatabase(*connection))
        return 1;

    IRef<TSecurityService> security(new TSecurityService(connection.get()));
    if (parser.isSet(addUserOption)) {
        // The password comes on standard input, never on the command line.
        QTextStream in(stdin);
        const QString password = in.readLine();
        try {
            security->SaveUser(parser.value(addUserOption), parser.value(firstNameOption),
                               parser.value(lastNameOption), password);
        } catch (const KException &e) {
            fail(e.message());
            return 1;
        }
        std::printf("Korisnik %s je sačuvan.\n", qPrintable(parser.value(addUserOption)));
        return 0;
    }
    IRef<TConsole> console(new TConsole);
    console->AddService(IRef<IInterface>(security));
    console->AddService(IRef<IInterface>(IRef<TPartnerService>(new TPartnerService(connection.get()))));
    console->AddService(IRef<IInterface>(IRef<TDocumentService>(new TDocumentService(connection.get()))));

    try {
        if (parser.isSet(userOption)) {
            if (!security->Login(parser.value(userOption), parser.value(passwordOption))) {
                fail(QStringLiteral("Prijava nije uspela: Pogrešno korisničko ime ili lozinka."));
                return 2;
            }
        } else {
            TLoginDialog login(security.get());
            login.SetLogin(ConsoleSettings::LastLogin(iniPath));
            if (Dialogs().ShowModal(login) != QDialog::Accepted)
                return 0;
            ConsoleSettings::SetLastLogin(iniPath, login.Login());
        }
    } catch (const KException &e) {
        fail(e.message());
        return 1;
    }

    TModuleLoader loader;
    loader.LoadAll(TModuleLoader::ModuleDir(), console);

    auto window = std::make_unique<TConsoleWindow>(security->CurrentUserName(),
                                                   ConsoleSettings::DatabaseCaption(params));
    window->SetSnapins(console->Snapins());
    window->ShowWarnings(loader.Warnings());
    window->resize(size);
    window->show();

    int exitCode = 0;
    const QString selectName = parser.value(selectOption);
    if (!window->SelectSnapin(selectName) && !selectName.isEmpty()) {
        fail(QStringLiteral("Snap-in „%1“ nije pronađen. Učitani su: %2")
                 .arg(selectName, window->SnapinNames().join(QStringLiteral(", "))));
        exitCode = 3;
    }

    if (exitCode == 0 && parser.isSet(actionOption) && !window->TriggerAction(parser.value(actionOption))) {
        fail(QStringLiteral("Akcija „%1“ nije pronađena ili nije dostupna.").arg(parser.value(actionOption)));
        exitCode = 5;
    }

    if (parser.isSet(screenshotOption) && exitCode == 0) {
        const QString file = parser.value(screenshotOption);
        // Give the frames' deferred loads and layouts time to settle first.
        QTimer::singleShot(500, window.get(), [&] {
            if (!window->grab().save(file, "PNG")) {
                std::fprintf(stderr, "Snimak nije sačuvan: %s\n", qPrintable(file));
                QApplication::exit(4);
                return;
            }
            QApplication::exit(0);
        });
    }
    if (exitCode == 0 || !g_scripted)
        exitCode = app.exec();

    window->ReleaseSnapins();
    loader.ReleaseReferences(console.get());
    window->DeleteLeftoverFrames();
    loader.FinalizeAll();
    console->Clear();
    window.reset();
    console.reset();
    security.reset();
    connection.reset();
    return exitCode;
}
