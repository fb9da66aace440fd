#include "LedgerCommands.h"

#include "HistoryCheckCommand.h"
#include "IntakeCommand.h"
#include "YearClosingCommand.h"

#include "ErrorLog.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ZConnection.h"
#include "data/LedgerContinuity.h"
#include "data/LedgerCsvExport.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerRegisterBook.h"
#include "data/ReportText.h"
#include "data/LedgerSearchCriteria.h"

#include <QDir>
#include <QTextStream>

namespace {

const QString kExportCsv = QStringLiteral("export-csv");
const QString kRegisterPdf = QStringLiteral("register-pdf");
const QString kContinuity = QStringLiteral("continuity-report");
const QString kYear = QStringLiteral("year");
const QString kDirection = QStringLiteral("direction");
const QString kFrom = QStringLiteral("from");
const QString kTo = QStringLiteral("to");
const QString kText = QStringLiteral("text");
const QString kPartner = QStringLiteral("partner");
const QString kDataScript = QStringLiteral("data-script");

// The year as typed on a command line; throws when it is none.
int typedYear(const QString &text)
{
    int year = 0;
    if (!ParseLedgerYear(text, year))
        throw KException(UiText(u"Godina '%1' nije ispravna: upišite godinu od 1900 do 9999 (npr. 2026).").arg(text));
    return year;
}

TZConnection &reportConnection()
{
    if (TZConnection *connection = LedgerDM->ZConnection())
        return *connection;
    throw KException(UiText(u"Delovodnik nema vezu sa bazom podataka."));
}

int exportCsv(const TCommandValues &values, const TCommandContext &context, const std::function<void()> &connect)
{
    const QString fileName = values.value(kExportCsv);
    QMap<QString, QString> criteria;
    const std::pair<const char *, QString> given[] = {
        {"year", kYear}, {"direction", kDirection}, {"datefrom", kFrom}, {"dateto", kTo}, {"text", kText},
        {"partner", kPartner}};
    for (const auto &[key, option] : given)
        if (!values.value(option).isEmpty())
            criteria.insert(QLatin1String(key), values.value(option));
    // A scheduled job's log shows that a long export goes on.
    qint64 nextReport = 100000;
    const auto progress = [&](qint64 rows) {
        if (rows >= nextReport) {
            context.Err << UiText(u"Izvezeno %1 stavki…").arg(rows) << Qt::endl;
            nextReport = rows + 100000;
        }
        return true;
    };
    try {
        const TLedgerSearchCriteria search = LedgerExportCriteria(criteria);
        connect();
        const qint64 rows = ExportLedgerCsv(reportConnection(), search, fileName, progress);
        context.Out << UiText(u"Izvezeno stavki: %1, u datoteku %2").arg(rows).arg(QDir::toNativeSeparators(fileName))
                    << Qt::endl;
        return ceDone;
    } catch (const KException &e) {
        LogError(e.message());
        context.Err << UiText(u"Izvoz nije uspeo: %1").arg(e.message()) << Qt::endl;
        return ceFailed;
    }
}

// A book of a year as a PDF file.
int saveBook(const QString &fileName, const TCommandContext &context, const std::function<void()> &save)
{
    try {
        save();
        context.Out << UiText(u"Upisano u datoteku %1").arg(QDir::toNativeSeparators(fileName)) << Qt::endl;
        return ceDone;
    } catch (const KException &e) {
        LogError(e.message());
        context.Err << UiText(u"Izveštaj nije upisan: %1").arg(e.message()) << Qt::endl;
        return ceFailed;
    }
}

} // namespace

QList<TCommandOption> LedgerCommandOptions()
{
    // Value names stay as written: they are what is typed.
    const QList<TCommandOption> options{
        {kExportCsv, UiText(u"Upisuje stavke delovodnika u CSV datoteku, bez prozora, i izlazi (uz --user)."),
         QStringLiteral("FILE.csv"), true},
        {kYear, UiText(u"Godina, uz --export-csv, --register-pdf ili --continuity-report."), QStringLiteral("GGGG")},
        {kDirection, UiText(u"Tip stavke (Ulazni, Interni, Izlazni ili 1, 0, -1), uz --export-csv."),
         QStringLiteral("TIP")},
        {kFrom, UiText(u"Od datuma, uz --export-csv."), QStringLiteral("dd.MM.yyyy")},
        {kTo, UiText(u"Do datuma, uz --export-csv."), QStringLiteral("dd.MM.yyyy")},
        {kText,
         UiText(u"Reči iz predmeta, partnera, vrste, brojeva ili teksta dokumenta, uz --export-csv "
            u"(kao red \"Tekst\" u pretrazi)."),
         QStringLiteral("REČI")},
        {kPartner,
         UiText(u"Partneri čiji naziv počinje tekstom, u bilo kom pismu, bez obzira na velika slova i kvačice "
            u"(kao red \"Partner\" u pretrazi), uz --export-csv ili --register-pdf."),
         QStringLiteral("TEKST")},
        {kRegisterPdf,
         UiText(u"Upisuje delovodnik godine --year u PDF datoteku, bez prozora, i izlazi (uz --user)."),
         QStringLiteral("FILE.pdf"), true},
        {kDataScript,
         UiText(u"Podaci u delovodniku (--register-pdf) ćirilicom (cyrillic) ili latinicom (latin); "
            u"bez ove opcije kako su uneti."),
         QStringLiteral("cyrillic|latin")},
        {kContinuity,
         UiText(u"Upisuje proveru kontinuiteta brojeva godine --year u PDF datoteku, bez prozora, i izlazi "
            u"(uz --user)."),
         QStringLiteral("FILE.pdf"), true},
    };
    return options + YearClosingCommandOptions() + HistoryCheckCommandOptions() + IntakeCommandOptions();
}

QString LedgerCommandLineProblem(const TCommandValues &values, bool withLogin)
{
    const auto given = [&values](const QString &option) { return !values.value(option).isEmpty(); };
    const bool csv = values.contains(kExportCsv);
    const bool book = values.contains(kRegisterPdf);
    const int commands = int(csv) + int(book) + int(values.contains(kContinuity));
    const bool closing = IsYearClosingCommand(values);
    const bool intake = IsIntakeCommand(values);
    if (const QString problem = YearClosingCommandLineProblem(values, withLogin,
                                                              commands + int(IsHistoryCheckCommand(values)) + int(intake));
        !problem.isEmpty())
        return problem;
    if (const QString problem = HistoryCheckCommandLineProblem(values, withLogin, commands + int(closing) + int(intake));
        !problem.isEmpty())
        return problem;
    if (const QString problem =
            IntakeCommandLineProblem(values, withLogin, commands + int(closing) + int(IsHistoryCheckCommand(values)));
        !problem.isEmpty())
        return problem;
    if (closing || IsHistoryCheckCommand(values) || intake)
        return {};
    if (commands == 0) {
        if (given(kYear) || given(kDirection) || given(kFrom) || given(kTo) || given(kText) || given(kPartner)
            || values.contains(kDataScript))
            return UiText(u"Opcije --year, --direction, --from, --to, --text, --partner i --data-script važe samo uz "
                      u"--export-csv, --register-pdf ili --continuity-report.");
        return {};
    }
    if (commands > 1)
        return UiText(u"Odjednom se radi samo jedno od --export-csv, --register-pdf i --continuity-report.");
    if (!withLogin)
        return UiText(u"Uz izvoz i izveštaje prijava ide sa --user (i --password-stdin).");
    const QString file = values.value(csv ? kExportCsv : book ? kRegisterPdf : kContinuity);
    if (file.isEmpty())
        return UiText(u"Treba navesti datoteku u koju se upisuje.");
    if (!csv) {
        if (!given(kYear))
            return UiText(u"Uz --register-pdf i --continuity-report treba navesti godinu (--year).");
        if (given(kDirection) || given(kFrom) || given(kTo) || given(kText))
            return UiText(u"Opcije --direction, --from, --to i --text važe samo uz --export-csv.");
        if (!book && given(kPartner))
            return UiText(u"Opcija --partner važi uz --export-csv i --register-pdf, ne uz --continuity-report.");
    }
    if (values.contains(kDataScript)) {
        if (!book)
            return UiText(u"Opcija --data-script važi samo uz --register-pdf.");
        if (!ScriptFromName(values.value(kDataScript)))
            return UiText(u"Pismo podataka '%1' nije poznato: navedite cyrillic ili latin.").arg(values.value(kDataScript));
    }
    return {};
}

int RunLedgerCommand(const TCommandValues &values, const TCommandContext &context,
                     const std::function<void()> &connect)
{
    if (IsYearClosingCommand(values))
        return RunYearClosingCommand(values, context, connect);
    if (IsHistoryCheckCommand(values))
        return RunHistoryCheckCommand(context, connect);
    if (IsIntakeCommand(values))
        return RunIntakeCommand(values, context, connect);
    if (values.contains(kExportCsv))
        return exportCsv(values, context, connect);
    const bool book = values.contains(kRegisterPdf);
    const QString fileName = values.value(book ? kRegisterPdf : kContinuity);
    return saveBook(fileName, context, [&] {
        const int year = typedYear(values.value(kYear));
        connect();
        // A save the user cancelled wrote nothing: it is no success.
        TRegisterBookPrint print;
        print.Partner = values.value(kPartner);
        if (values.contains(kDataScript))
            print.DataScript = ScriptFromName(values.value(kDataScript));
        const bool saved = book ? SaveRegisterBook(reportConnection(), year, print, fileName)
                                : SaveContinuityReport(reportConnection(), year, fileName);
        if (!saved)
            throw EAbort();
    });
}
