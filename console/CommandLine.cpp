#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

namespace {

std::optional<QString> valueIfSet(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    if (!parser.isSet(option))
        return std::nullopt;
    return parser.value(option);
}

} // namespace

TCommandLine ParseCommandLine(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Kolibar konzola — Delovodnik"));
    parser.addHelpOption();
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
    const QCommandLineOption firstNameOption(QStringLiteral("first-name"), QStringLiteral("Ime uz --add-user."),
                                             QStringLiteral("IME"));
    const QCommandLineOption lastNameOption(QStringLiteral("last-name"), QStringLiteral("Prezime uz --add-user."),
                                            QStringLiteral("PREZIME"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("Veličina prozora."),
                                        QStringLiteral("WxH"), QStringLiteral("1280x800"));
    const QCommandLineOption exportCsvOption(QStringLiteral("export-csv"),
                                             QStringLiteral("Upisuje stavke delovodnika u CSV datoteku, bez prozora, "
                                                            "i izlazi (uz --user)."),
                                             QStringLiteral("FILE.csv"));
    const QCommandLineOption registerPdfOption(QStringLiteral("register-pdf"),
                                               QStringLiteral("Upisuje delovodnik godine --year u PDF datoteku, bez "
                                                              "prozora, i izlazi (uz --user)."),
                                               QStringLiteral("FILE.pdf"));
    const QCommandLineOption continuityOption(QStringLiteral("continuity-report"),
                                              QStringLiteral("Upisuje proveru kontinuiteta brojeva godine --year u PDF "
                                                             "datoteku, bez prozora, i izlazi (uz --user)."),
                                              QStringLiteral("FILE.pdf"));
    const QCommandLineOption yearOption(QStringLiteral("year"),
                                        QStringLiteral("Godina, uz --export-csv, --register-pdf ili --continuity-report."),
                                        QStringLiteral("GGGG"));
    const QCommandLineOption directionOption(QStringLiteral("direction"),
                                             QStringLiteral("Tip stavke (Ulazni, Interni, Izlazni ili 1, 0, -1), "
                                                            "uz --export-csv."),
                                             QStringLiteral("TIP"));
    const QCommandLineOption fromOption(QStringLiteral("from"), QStringLiteral("Od datuma, uz --export-csv."),
                                        QStringLiteral("dd.MM.yyyy"));
    const QCommandLineOption toOption(QStringLiteral("to"), QStringLiteral("Do datuma, uz --export-csv."),
                                      QStringLiteral("dd.MM.yyyy"));
    parser.addOptions({userOption, passwordOption, passwordStdinOption, screenshotOption, selectOption, actionOption, addUserOption,
                       firstNameOption, lastNameOption, sizeOption, exportCsvOption, yearOption, directionOption,
                       fromOption, toOption, registerPdfOption, continuityOption});
    parser.process(app);

    TCommandLine line;
    line.User = valueIfSet(parser, userOption);
    line.Password = parser.value(passwordOption);
    line.PasswordFromStdin = parser.isSet(passwordStdinOption);
    line.Screenshot = valueIfSet(parser, screenshotOption);
    line.Select = parser.value(selectOption);
    line.Action = valueIfSet(parser, actionOption);
    line.AddUser = valueIfSet(parser, addUserOption);
    line.FirstName = parser.value(firstNameOption);
    line.LastName = parser.value(lastNameOption);
    line.Size = parser.value(sizeOption);
    line.SizeGiven = parser.isSet(sizeOption);
    line.ExportCsv = valueIfSet(parser, exportCsvOption);
    line.RegisterPdf = valueIfSet(parser, registerPdfOption);
    line.ContinuityReport = valueIfSet(parser, continuityOption);
    line.Year = parser.value(yearOption);
    line.Direction = parser.value(directionOption);
    line.From = parser.value(fromOption);
    line.To = parser.value(toOption);
    return line;
}

bool WantsNoWindow(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        for (const char *command : {"--export-csv", "--register-pdf", "--continuity-report"})
            if (arg == command || arg.startsWith(QByteArray(command) + '='))
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
