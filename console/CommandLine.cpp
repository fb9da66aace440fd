#include "CommandLine.h"

#include "AboutText.h"
#include "CommandRunner.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>

namespace {

// The console's own options that may show a window; any other belongs to a
// module's command or to setting up a book, which run without one.
const char *const kOwnOptions[] = {"help", "help-all", "user", "password", "password-stdin", "screenshot", "select",
                                   "action", "add-user", "first-name", "last-name", "size", "script"};

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
            qWarning("%s", qPrintable(UiText(u"Opcija --%1 je već zauzeta; modul je ne dobija.").arg(option.Name)));
    }
    return added;
}

} // namespace

TCommandLine ParseCommandLine(const QCoreApplication &app, const QList<TCommandOption> &moduleOptions)
{
    TCommandLine line;
    // The script first: the help and every message after it are in it.
    const std::optional<QString> scriptName = ScriptArgument(app.arguments());
    if (scriptName) {
        line.Script = ScriptFromName(*scriptName);
        if (!line.Script) {
            std::fprintf(stderr, "%s\n", qPrintable(UnknownScriptText(*scriptName)));
            line.Exit = ceBadLine;
            return line;
        }
        SetInterfaceScript(*line.Script);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(UiText(ConsoleName()));
    const QCommandLineOption helpOption = parser.addHelpOption();
    // Format names, file names and the values typed on the line go in
    // through arg(): they stay in Latin in either script.
    const QCommandLineOption versionOption(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                           UiText(u"Prikazuje verziju programa i izlazi."));
    parser.addOption(versionOption);
    const QCommandLineOption userOption(QStringLiteral("user"), UiText(u"Prijava bez dijaloga."),
                                        QStringLiteral("LOGIN"));
    const QCommandLineOption passwordOption(QStringLiteral("password"),
                                            UiText(u"Lozinka uz --user (vidljiva drugim korisnicima računara; "
                                               u"bolje --password-stdin)."),
                                            QStringLiteral("PW"));
    const QCommandLineOption passwordStdinOption(QStringLiteral("password-stdin"),
                                                 UiText(u"Lozinka uz --user se čita iz prvog reda "
                                                    u"standardnog ulaza."));
    const QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                              UiText(u"Snimi glavni prozor u %1 i izađi.").arg(u"PNG"),
                                              QStringLiteral("FILE.png"));
    const QCommandLineOption selectOption(QStringLiteral("select"), UiText(u"Snap-in koji se bira."),
                                          QStringLiteral("NAME"));
    const QCommandLineOption actionOption(QStringLiteral("action"),
                                          UiText(u"Akcija izabranog snap-ina koja se izvršava (npr. ThisMonthAction)."),
                                          QStringLiteral("NAME"));
    const QCommandLineOption addUserOption(QStringLiteral("add-user"),
                                           UiText(u"Dodaje korisnika ili mu menja lozinku (lozinka se čita sa "
                                              u"standardnog ulaza) i izlazi."),
                                           QStringLiteral("LOGIN"));
    const QCommandLineOption firstNameOption(QStringLiteral("first-name"), UiText(u"Ime uz --add-user ili --admin."),
                                             UiText(u"IME"));
    const QCommandLineOption lastNameOption(QStringLiteral("last-name"), UiText(u"Prezime uz --add-user ili --admin."),
                                            UiText(u"PREZIME"));
    const QCommandLineOption newBookOption(QStringLiteral("new-book"),
                                           UiText(u"Pravi nov, prazan delovodnik ustanove tamo gde ga %1 datoteka "
                                              u"navodi (uz --organization, --admin i --password-stdin) i izlazi.")
                                               .arg(u"ini"));
    const QCommandLineOption organizationOption(QStringLiteral("organization"),
                                                UiText(u"Naziv organizacije uz --new-book."), UiText(u"NAZIV"));
    const QCommandLineOption adminOption(QStringLiteral("admin"),
                                         UiText(u"Korisničko ime prvog administratora uz --new-book."),
                                         QStringLiteral("LOGIN"));
    const QCommandLineOption importPartnersOption(QStringLiteral("import-partners"),
                                                  UiText(u"Uvozi partnere iz %1 datoteke (UTF-8 ili Windows-1250, "
                                                     u"; ili , između kolona, prvi red su nazivi kolona) i izlazi.")
                                                      .arg(u"CSV"),
                                                  QStringLiteral("FILE.csv"));
    const QCommandLineOption mergeDuplicatesOption(QStringLiteral("merge-duplicates"),
                                                   UiText(u"Uz --import-partners: duplikat (isti PIB ili naziv) "
                                                      u"dopunjuje postojećeg partnera umesto da se preskoči."));
    const QCommandLineOption sizeOption(QStringLiteral("size"), UiText(u"Veličina prozora."),
                                        QStringLiteral("WxH"), QStringLiteral("1280x800"));
    const QCommandLineOption scriptOption(QStringLiteral("script"),
                                          UiText(u"Pismo interfejsa i poruka: %1 ili %2 (podrazumeva se pismo koje "
                                             u"je korisnik izabrao).")
                                              .arg(ScriptName(TScript::Latin), ScriptName(TScript::Cyrillic)),
                                          QStringLiteral("latin|cyrillic"));
    parser.addOptions({userOption, passwordOption, passwordStdinOption, screenshotOption, selectOption, actionOption,
                       addUserOption, firstNameOption, lastNameOption, newBookOption, organizationOption, adminOption,
                       importPartnersOption, mergeDuplicatesOption, sizeOption, scriptOption});
    const QList<QCommandLineOption> moduleParserOptions = addModuleOptions(parser, moduleOptions);

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
        std::printf("%s\n", qPrintable(UiText(u"%1, verzija %2").arg(UiText(ConsoleName()), ConsoleVersion())));
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

std::optional<QString> ScriptArgument(const QStringList &arguments)
{
    std::optional<QString> value;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == QLatin1String("--"))
            break;
        if (arg == QLatin1String("--script"))
            value = i + 1 < arguments.size() ? arguments[++i] : QString();
        else if (arg.startsWith(QLatin1String("--script=")))
            value = arg.mid(9);
    }
    return value;
}

QString UnknownScriptText(const QString &name)
{
    // The values as typed on the line: in Latin whatever the script.
    return UiText(u"Nepoznato pismo „%1“: --script prima %2 ili %3.")
        .arg(name, ScriptName(TScript::Latin), ScriptName(TScript::Cyrillic));
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
