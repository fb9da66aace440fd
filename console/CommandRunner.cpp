#include "CommandRunner.h"

#include "CommandLine.h"
#include "Console.h"
#include "Dialogs.h"
#include "ErrorLog.h"
#include "KException.h"
#include "LedgerReports.h"

#include <QDir>
#include <functional>
#include <cstdio>

namespace {

void report(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

class TCommandDialogs : public IDialogs
{
public:
    TModalResult MessageDlg(const QString &text, TMsgDlgType, TMsgDlgButtons buttons, int) override
    {
        report(text);
        // Nobody answers a question: the cautious answer.
        return buttons & mbCancel ? mbCancel : buttons & mbNo ? mbNo : mbOK;
    }
    void ErrorDlg(const QString &text, const QString &details) override
    {
        report(details.isEmpty() ? text : text + QStringLiteral("\n") + details);
    }
    void Notice(const QString &text) override { report(text); }
    bool GetDate(QDate &) override { return false; }
    bool GetDateTime(QDateTime &) override { return false; }
    QString BrowseDialog(const QString &, int) override { return {}; }
    QString OpenFileDialog(const QString &, const QString &) override { return {}; }
    bool OpenWithDefaultApplication(const QString &) override { return false; }
    int ShowModal(QDialog &) override { return 0; }
    void PrintPreview(QPrinter &, const std::function<void(QPrinter &)> &) override {}
    void ShowHelp(const QString &, const QString &, const QString &) override {}
};

int exportCsv(const TCommandLine &line, ILedgerReports &reports)
{
    QMap<QString, QString> criteria;
    const std::pair<const char *, const QString &> given[] = {
        {"year", line.Year}, {"direction", line.Direction}, {"datefrom", line.From}, {"dateto", line.To}};
    for (const auto &[key, value] : given)
        if (!value.isEmpty())
            criteria.insert(QLatin1String(key), value);
    // A scheduled job's log shows that a long export goes on.
    qint64 nextReport = 100000;
    const auto progress = [&nextReport](qint64 rows) {
        if (rows >= nextReport) {
            report(QStringLiteral("Izvezeno %1 stavki…").arg(rows));
            nextReport = rows + 100000;
        }
        return true;
    };
    try {
        const qint64 rows = reports.ExportCsv(criteria, *line.ExportCsv, progress);
        std::printf("Izvezeno stavki: %lld, u datoteku %s\n", rows, qPrintable(QDir::toNativeSeparators(*line.ExportCsv)));
        return ceDone;
    } catch (const KException &e) {
        LogError(e.message());
        report(QStringLiteral("Izvoz nije uspeo: %1").arg(e.message()));
        return ceFailed;
    }
}

// A book of a year as a PDF file, through one of the report calls.
int saveBook(const QString &fileName, const std::function<void()> &save)
{
    try {
        save();
        std::printf("Upisano u datoteku %s\n", qPrintable(QDir::toNativeSeparators(fileName)));
        return ceDone;
    } catch (const KException &e) {
        LogError(e.message());
        report(QStringLiteral("Izveštaj nije upisan: %1").arg(e.message()));
        return ceFailed;
    }
}

int commandCount(const TCommandLine &line)
{
    return int(line.ExportCsv.has_value()) + int(line.RegisterPdf.has_value()) + int(line.ContinuityReport.has_value());
}

} // namespace

bool HasCommand(const TCommandLine &line)
{
    return commandCount(line) > 0;
}

QString CommandLineProblem(const TCommandLine &line)
{
    if (!HasCommand(line)) {
        if (!line.Year.isEmpty() || !line.Direction.isEmpty() || !line.From.isEmpty() || !line.To.isEmpty())
            return QStringLiteral("Opcije --year, --direction, --from i --to važe samo uz --export-csv, "
                                  "--register-pdf ili --continuity-report.");
        return {};
    }
    if (commandCount(line) > 1)
        return QStringLiteral("Odjednom se radi samo jedno od --export-csv, --register-pdf i --continuity-report.");
    if (!line.User)
        return QStringLiteral("Uz izvoz i izveštaje prijava ide sa --user (i --password-stdin).");
    const QString &file = line.ExportCsv ? *line.ExportCsv : line.RegisterPdf ? *line.RegisterPdf : *line.ContinuityReport;
    if (file.isEmpty())
        return QStringLiteral("Treba navesti datoteku u koju se upisuje.");
    if (!line.ExportCsv) {
        if (line.Year.isEmpty())
            return QStringLiteral("Uz --register-pdf i --continuity-report treba navesti godinu (--year).");
        if (!line.Direction.isEmpty() || !line.From.isEmpty() || !line.To.isEmpty())
            return QStringLiteral("Opcije --direction, --from i --to važe samo uz --export-csv.");
    }
    return {};
}

std::unique_ptr<IDialogs> MakeCommandDialogs()
{
    return std::make_unique<TCommandDialogs>();
}

int RunCommand(const TCommandLine &line, TConsole &console)
{
    if (!HasCommand(line))
        return ceDone;
    IRef<ILedgerReports> reports = console.service<ILedgerReports>();
    if (!reports) {
        report(QStringLiteral("Modul Delovodnik nije učitan; izvoz nije moguć."));
        return ceNoModule;
    }
    if (line.ExportCsv)
        return exportCsv(line, *reports.get());
    if (line.RegisterPdf)
        return saveBook(*line.RegisterPdf, [&] { reports->SaveRegisterBook(line.Year, *line.RegisterPdf); });
    return saveBook(*line.ContinuityReport, [&] { reports->SaveContinuityReport(line.Year, *line.ContinuityReport); });
}
