#include "CommandLine.h"

#include "AboutText.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>

namespace {

// The console's own options that may show a window; any other belongs to a
// module's command or to setting up a book, which run without one.
const char *const kOwnOptions[] = {"help", "help-all", "user", "password", "password-stdin", "screenshot", "select",
                                   "action", "add-user", "first-name", "last-name", "size"};

std::optional<QString> valueIfSet(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    if (!parser.isSet(option))
        return std::nullopt;
    return parser.value(option);
}

// Offers the modules' options; one a module offers under a name already
// taken is left out with a warning.
QList<QCommandLineOption> addModuleOptions(QCommandLineParser &parser, const QList<TCommandOption> &moduleOptions)
{
    QList<QCommandLineOption> added;
    for (const TCommandOption &option : moduleOptions) {
        const QCommandLineOption parserOption(option.Name, option.Description, option.ValueName);
        if (parser.addOption(parserOption))
            added << parserOption;
        else
            qWarning("Opcija --%s je već zauzeta; modul je ne dobija.", qPrintable(option.Name));
    }
    return added;
}

} // namespace

TCommandLine ParseCommandLine(const QCoreApplication &app, const QList<TCommandOption> &moduleOptions)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(ConsoleName());
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Prikazuje verziju programa i izlazi."));
    parser.addOption(versionOption);
    const QCommandLineOption userOption(QStringLiteral("user"), QStringLiteral("Prijava bez dijaloga."),
                                        QStringLiteral("LOGIN"));
    const QCommandLineOption passwordOption(QStringLiteral("password"),
                                            QStringLiteral("Lozinka uz --user (vidljiva drugim korisnicima računara; "
                                                           "bolje --password-stdin)."),
                                            QStringLiteral("PW"));
    const QCommandLineOption passwordStdinOption(QStringLiteral("password-stdin"),
                                                 QStringLiteral("Lozinka uz --user se čita iz prvog reda "
                                                                "standardnog ulaza."));
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
    const QCommandLineOption firstNameOption(QStringLiteral("first-name"), QStringLiteral("Ime uz --add-user ili --admin."),
                                             QStringLiteral("IME"));
    const QCommandLineOption lastNameOption(QStringLiteral("last-name"), QStringLiteral("Prezime uz --add-user ili --admin."),
                                            QStringLiteral("PREZIME"));
    const QCommandLineOption newBookOption(QStringLiteral("new-book"),
                                           QStringLiteral("Pravi nov, prazan delovodnik ustanove tamo gde ga ini datoteka "
                                                          "navodi (uz --organization, --admin i --password-stdin) i izlazi."));
    const QCommandLineOption organizationOption(QStringLiteral("organization"),
                                                QStringLiteral("Naziv organizacije uz --new-book."), QStringLiteral("NAZIV"));
    const QCommandLineOption adminOption(QStringLiteral("admin"),
                                         QStringLiteral("Korisničko ime prvog administratora uz --new-book."),
                                         QStringLiteral("LOGIN"));
    const QCommandLineOption importPartnersOption(QStringLiteral("import-partners"),
                                                  QStringLiteral("Uvozi partnere iz CSV datoteke (UTF-8 ili Windows-1250, "
                                                                 "; ili , između kolona, prvi red su nazivi kolona) i izlazi."),
                                                  QStringLiteral("FILE.csv"));
    const QCommandLineOption mergeDuplicatesOption(QStringLiteral("merge-duplicates"),
                                                   QStringLiteral("Uz --import-partners: duplikat (isti PIB ili naziv) "
                                                                  "dopunjuje postojećeg partnera umesto da se preskoči."));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("Veličina prozora."),
                                        QStringLiteral("WxH"), QStringLiteral("1280x800"));
    parser.addOptions({userOption, passwordOption, passwordStdinOption, screenshotOption, selectOption, actionOption,
                       addUserOption, firstNameOption, lastNameOption, newBookOption, organizationOption, adminOption,
                       importPartnersOption, mergeDuplicatesOption, sizeOption});
    const QList<QCommandLineOption> moduleParserOptions = addModuleOptions(parser, moduleOptions);

    TCommandLine line;
    // As QCommandLineParser::process says it, but the caller ends the process:
    // the modules are loaded and go down in order.
    if (!parser.parse(app.arguments())) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(parser.errorText()));
        line.Exit = 1;
        return line;
    }
    if (parser.isSet(helpOption) || parser.optionNames().contains(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        line.Exit = 0;
        return line;
    }
    if (parser.isSet(versionOption)) {
        std::printf("%s, verzija %s\n", qPrintable(ConsoleName()), qPrintable(ConsoleVersion()));
        line.Exit = 0;
        return line;
    }
    line.User = valueIfSet(parser, userOption);
    line.Password = parser.value(passwordOption);
    line.PasswordFromStdin = parser.isSet(passwordStdinOption);
    line.Screenshot = valueIfSet(parser, screenshotOption);
    line.Select = parser.value(selectOption);
    line.Action = valueIfSet(parser, actionOption);
    line.AddUser = valueIfSet(parser, addUserOption);
    line.FirstName = parser.value(firstNameOption);
    line.LastName = parser.value(lastNameOption);
    line.NewBook = parser.isSet(newBookOption);
    line.Organization = parser.value(organizationOption);
    line.Admin = parser.value(adminOption);
    line.ImportPartners = valueIfSet(parser, importPartnersOption);
    line.MergeDuplicates = parser.isSet(mergeDuplicatesOption);
    line.Size = parser.value(sizeOption);
    line.SizeGiven = parser.isSet(sizeOption);
    for (const QCommandLineOption &option : moduleParserOptions)
        if (parser.isSet(option))
            line.ModuleValues.insert(option.names().constFirst(), parser.value(option));
    return line;
}

bool WantsNoWindow(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (!arg.startsWith("--") || arg == "--")
            continue;
        const QByteArray name = arg.mid(2).split('=').constFirst();
        if (std::none_of(std::begin(kOwnOptions), std::end(kOwnOptions), [&name](const char *own) { return name == own; }))
            return true;
    }
    return false;
}

std::optional<QSize> ParseWindowSize(const QString &text)
{
    const auto match = QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return QSize(match.captured(1).toInt(), match.captured(2).toInt());
}
