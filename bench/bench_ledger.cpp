// Generates a realistic ledger (items over ten years and three directions,
// with pass-on copies, additional items, partners, documents and users) and
// measures the ledger item query on it, against the backend's own
// command-line client. Then hands a number of items to one user and times
// the handover record: accepting them all, against the client running the
// same statements, and writing the printed record as PDF.
//
//   bench_ledger [--rows N] [--backend sqlite|mariadb] [--socket PATH]
//                [--handover N] [--record-pdf PATH]

#include "BenchSupport.h"
#include "CommonStrings.h"
#include "Dialogs.h"
#include "KException.h"
#include "SchemaInstaller.h"
#include "ZConnection.h"
#include "ReportEngine.h"
#include "data/LedgerDMUnit.h"
#include "integration/LedgerRegistration.h"
#include "screens/ProceedingUnit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

long peakRssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    f.open(QIODevice::ReadOnly);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

long currentRssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    f.open(QIODevice::ReadOnly);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

QStringList plan(TZConnection &c, const QString &sql)
{
    QStringList out;
    auto q = c.OpenQuery((c.Backend() == TBackend::SQLite ? QStringLiteral("EXPLAIN QUERY PLAN ") : QStringLiteral("EXPLAIN ")) + sql);
    const int n = q->record().count();
    while (q->next()) {
        QStringList cols;
        for (int i = 0; i < n; ++i)
            cols << q->value(i).toString();
        out << cols.join(u' ');
    }
    return out;
}

// Runs an SQL script through the backend's command-line client; its time in ms.
double clientScriptMs(const TConnectionParams &params, bool maria, const QString &script)
{
    QProcess client;
    if (maria)
        client.start(QStringLiteral("mariadb"), {"--no-defaults", "--batch", "--socket=" + params.Socket, "-u" + params.User,
                                                 "-p" + params.Password, params.Database});
    else
        client.start(QStringLiteral("sqlite3"), {params.Database});
    QElapsedTimer t;
    t.start();
    client.write(script.toUtf8());
    client.closeWriteChannel();
    client.waitForFinished(-1);
    const double ms = t.nsecsElapsed() / 1e6;
    if (client.exitCode() != 0)
        std::printf("client failed: %s\n", client.readAllStandardError().constData());
    return ms;
}

// Items handed to a user of their own, accepted all at once in the handover
// record, then printed; the client runs the statements one post makes
// (uniqueness test, update) for the same rows.
void benchHandover(TZConnection &conn, BenchSecurity &security, const TConnectionParams &params, bool maria, int items,
                   const QString &pdfPath)
{
    conn.ExecSQL(QStringLiteral("INSERT INTO user (firstname, lastname, login, passwordhash) "
                                "VALUES ('Milan', 'Čubrilo', 'primalac', 'x')"));
    const qint64 recipient = conn.LastInsertID();
    const QString year = QString::number(QDate::currentDate().year() % 100);
    conn.ExecSQL(QStringLiteral("BEGIN"));
    for (int i = 1; i <= items; ++i)
        conn.ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, itemnumber, "
                                    "itemdate, inuserid, userid, outuserid, accepted, archived) "
                                    "VALUES (0, ?, ?, 'Dopis', ?, ?, 2, 2, ?, 'n', 'n')"),
                     {conn.ToBindValue(QDateTime::currentDateTime()), QStringLiteral("Z-%1/%2").arg(i).arg(year),
                      QStringLiteral("BR-%1").arg(i), conn.ToBindValue(QDate::currentDate()), recipient});
    conn.ExecSQL(QStringLiteral("COMMIT"));
    security.UserID = int(recipient);

    TProceedingForm form(nullptr);
    form.show();
    QApplication::processEvents();
    const int listed = LedgerDM->LedgerItemZQ->RecordCount();
    QElapsedTimer t;
    t.start();
    form.AcceptAllButtonClick();
    const double acceptMs = t.nsecsElapsed() / 1e6;
    int stored = 0;
    if (auto count = conn.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE outuserid = ? AND accepted = 'y'"),
                                    {recipient});
        count->next())
        stored = count->value(0).toInt();

    t.restart();
    TReportEngine().SaveLedgerProceedingReport(LedgerDM->LedgerItemZQ, QStringLiteral("Zapisnik"), pdfPath);
    const double pdfMs = t.nsecsElapsed() / 1e6;

    conn.ExecSQL(QStringLiteral("UPDATE ledgeritem SET accepted = 'n' WHERE outuserid = ?"), {recipient});
    QString script;
    {
        // Read to the end and let go: an open result keeps SQLite's file locked.
        auto ids = conn.OpenQuery(QStringLiteral("SELECT ledgeritemid, ledgernumber FROM ledgeritem WHERE outuserid = ?"),
                                  {recipient});
        while (ids->next())
            script += QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE ledgernumber = '%2' AND ledgeritemid <> %1 "
                                     "AND (passonparentid IS NULL AND direction = '0');\n"
                                     "UPDATE ledgeritem SET accepted = 'y' WHERE ledgeritemid = %1;\n")
                          .arg(ids->value(0).toLongLong())
                          .arg(ids->value(1).toString());
    }
    const double clientMs = clientScriptMs(params, maria, script);

    std::printf("handover record: %d items listed, accept-all %.0f ms (%d stored; target < 1000 ms on MariaDB); "
                "%s client, same statements %.0f ms\n",
                listed, acceptMs, stored, maria ? "mariadb" : "sqlite3", clientMs);
    std::printf("handover record: PDF of %d rows written in %.0f ms (target < 2000 ms), %lld bytes: %s\n", listed, pdfMs,
                QFileInfo(pdfPath).size(), qPrintable(pdfPath));
    form.close();
}

// The production dialogs, but the long-load wait answers as a user would:
// waits on, or presses "Otkaži" once CancelAtRows rows have come.
class BenchWaitDialogs : public IDialogs
{
public:
    explicit BenchWaitDialogs(IDialogs &real) : m_real(real) {}
    qint64 CancelAtRows = -1;
    int Showings = 0;
    qint64 LastRows = 0;
    QElapsedTimer SinceCancel; // valid once cancelled

    bool DatabaseWait(int, bool, qint64 rowsLoaded) override
    {
        ++Showings;
        LastRows = rowsLoaded;
        if (CancelAtRows < 0 || rowsLoaded < CancelAtRows)
            return true;
        if (!SinceCancel.isValid())
            SinceCancel.start();
        return false;
    }
    TModalResult MessageDlg(const QString &t, TMsgDlgType y, TMsgDlgButtons b, int h) override { return m_real.MessageDlg(t, y, b, h); }
    bool GetDate(QDate &d) override { return m_real.GetDate(d); }
    bool GetDateTime(QDateTime &d) override { return m_real.GetDateTime(d); }
    QString BrowseDialog(const QString &t, int f) override { return m_real.BrowseDialog(t, f); }
    QString OpenFileDialog(const QString &t, const QString &f) override { return m_real.OpenFileDialog(t, f); }
    bool OpenWithDefaultApplication(const QString &p) override { return m_real.OpenWithDefaultApplication(p); }
    int ShowModal(QDialog &d) override { return m_real.ShowModal(d); }
    void PrintPreview(QPrinter &p, const std::function<void(QPrinter &)> &paint) override { m_real.PrintPreview(p, paint); }
    void ShowHelp(const QString &r, const QString &t, const QString &a) override { m_real.ShowHelp(r, t, a); }

private:
    IDialogs &m_real;
};

// The whole list loads while a timer on the GUI thread ticks every 50 ms:
// the longest gap between ticks is how long the window stood still. Then
// the same load is cancelled halfway through its rows.
void benchResponsiveLoad(TZQuery &q, const QString &sql)
{
    auto owned = std::make_unique<BenchWaitDialogs>(Dialogs());
    BenchWaitDialogs &dialogs = *owned;
    std::unique_ptr<IDialogs> previous = SetDialogs(std::move(owned));
    const QString sort = q.SortedFields();
    q.Close();
    q.SetSortedFields(QString()); // the sort of a million rows is not part of the load
    q.SetSQL(sql);
    QElapsedTimer clock;
    qint64 lastTick = 0, longest = 0;
    QTimer tick;
    tick.setInterval(50);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
    });
    clock.start();
    tick.start();
    q.Open();
    const qint64 loadMs = clock.elapsed();
    longest = std::max(longest, loadMs - lastTick);
    tick.stop();
    std::printf("responsive load: longest GUI gap %lld ms (timer every 50 ms) while %d rows loaded in %lld ms; "
                "progress shown %d times, last \"%s\"\n",
                longest, q.RecordCount(), loadMs, dialogs.Showings, qPrintable(LoadedRowsText(dialogs.LastRows)));

    dialogs.CancelAtRows = q.RecordCount() / 2;
    q.Close();
    dialogs.Showings = 0;
    try {
        q.Open();
        std::printf("cancel: the load ended before it was cancelled\n");
    } catch (const EAbort &) {
        std::printf("cancel: returned in %lld ms (pressed after %lld rows; list active afterwards: %s)\n",
                    dialogs.SinceCancel.elapsed(), dialogs.LastRows, q.Active() ? "yes" : "no");
    }
    SetDialogs(std::move(previous));
    q.SetSortedFields(sort);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    AddBenchOptions(p, "1000000");
    p.addOption({"handover", "items in the handover record", "N", "1000"});
    p.addOption({"record-pdf", "where the handover record's PDF goes", "PATH"});
    p.addHelpOption();
    p.process(app);
    const int rows = p.value("rows").toInt();
    const bool maria = IsMariaDb(p);

    try {
        QTemporaryDir dir;
        const TConnectionParams params = FreshDatabase(p, dir.path());
        TZConnection conn;
        conn.SetParams(params);
        conn.Connect();
        FillBook(conn, rows);

        Initialize();
        const IRef<BenchConsole> console = StandInConsole(conn);
        GlobalConsole = IRef<IConsole>(console);
        LedgerDM->SetZConnection(&conn);
        TZQuery *q = LedgerDM->LedgerItemZQ;

        // Open all, newest first.
        const QString allSql = LedgerDM->LedgerItemChangeSQLCondition(QString());
        const long rssBefore = currentRssKb();
        QElapsedTimer t;
        t.start();
        q->SetSQL(allSql);
        q->Open();
        q->SetSortedFields(QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC"));
        q->First();
        const double openMs = t.nsecsElapsed() / 1e6;
        const int count = q->RecordCount();
        const double storeBytes = double(q->StoreMemoryUsed());
        const long rssPeak = peakRssKb();

        // The client fetching the same text.
        QProcess client;
        QStringList args;
        QString program;
        if (maria) {
            program = QStringLiteral("mariadb");
            args << "--no-defaults" << "--quick" << "--batch" << ("--socket=" + params.Socket) << ("-u" + params.User)
                 << ("-p" + params.Password) << params.Database << "-e" << allSql;
        } else {
            program = QStringLiteral("sqlite3");
            args << params.Database << SqliteShellSql(allSql);
        }
        client.setStandardOutputFile(dir.filePath(QStringLiteral("client.out")));
        QElapsedTimer ct;
        ct.start();
        client.start(program, args);
        client.waitForFinished(-1);
        const double clientMs = ct.nsecsElapsed() / 1e6;
        const double clientBytes = double(QFileInfo(dir.filePath(QStringLiteral("client.out"))).size());
        if (client.exitCode() != 0)
            std::printf("client failed: %s\n", client.readAllStandardError().constData());

        std::printf("open all: %d rows in %.0f ms; %s client %.0f ms; ratio %.2f (target <= 2)\n", count, openMs,
                    qPrintable(program), clientMs, openMs / clientMs);
        std::printf("row store: %.0f bytes/row; client output %.0f bytes/row; ratio %.2f (target <= 2); "
                    "process RSS grew %.0f bytes/row (peak %ld MiB)\n",
                    storeBytes / count, clientBytes / count, storeBytes / clientBytes,
                    (rssPeak - rssBefore) * 1024.0 / count, rssPeak / 1024);
        // A click on a column title: the loaded rows sorted in memory.
        for (const char *column : {"partnername", "ledgernumber", "itemtype"}) {
            QElapsedTimer st;
            st.start();
            q->SetSortedFields(QString::fromLatin1(column));
            std::printf("sort by %s: %.0f ms for %d rows\n", column, st.nsecsElapsed() / 1e6, count);
        }
        q->SetSortedFields(QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC"));
        benchResponsiveLoad(*q, allSql);
        q->Close();

        // Today's filter, numbering, a post with its uniqueness test.
        const QDate day = QDate::currentDate();
        const QString todayCond = QStringLiteral("l.ledgerdatetime >= ? AND l.ledgerdatetime <= ?");
        const QVariantList todayParams{TZConnection::DayStart(TZConnection::DateText(day)),
                                       TZConnection::DayEnd(TZConnection::DateText(day))};
        const double filterMs = medianMs(11, [&] {
            q->Close();
            q->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(todayCond), todayParams);
            q->Open();
        });
        const double indexMs = medianMs(11, [&] { LedgerDM->GetLedgerIndex(QDateTime::currentDateTime(), 1); });
        const QString uniqueSql = QStringLiteral(
            "SELECT COUNT(*) FROM `ledgeritem` WHERE `ledgernumber` = ? AND `ledgeritemid` <> ? "
            "AND (passonparentid IS NULL AND direction = '1')");
        const double uniqueMs = medianMs(11, [&] {
            auto u = conn.OpenQuery(uniqueSql, {QStringLiteral("5/26"), 7});
            u->next();
        });
        const double postMs = medianMs(11, [&] {
            q->Append();
            LedgerDM->LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
            q->Post();
        });
        std::printf("today's filter (%d rows): %.2f ms; GetLedgerIndex: %.2f ms; uniqueness test: %.2f ms "
                    "(target < 20 ms each); whole post of a new item (numbering, checks, insert): %.2f ms\n",
                    q->RecordCount(), filterMs, indexMs, uniqueMs, postMs);
        const QString todayLiteral = QStringLiteral("l.ledgerdatetime >= '%1' AND l.ledgerdatetime <= '%2'")
                                         .arg(todayParams.at(0).toString(), todayParams.at(1).toString());
        std::printf("plan, day filter:\n  %s\n", qPrintable(plan(conn, LedgerDM->LedgerItemChangeSQLCondition(todayLiteral)).join("\n  ")));
        std::printf("plan, GetLedgerIndex:\n  %s\n", qPrintable(plan(conn, QStringLiteral(
            "SELECT COUNT(ledgeritemid) AS ledgercount FROM ledgeritem WHERE passonparentid IS NULL AND NOT (ledgernumber LIKE '%-%') "
            "AND ledgerdatetime >= '2026-01-01' AND direction = 1")).join("\n  ")));
        std::printf("plan, uniqueness test:\n  %s\n", qPrintable(plan(conn, QStringLiteral(
            "SELECT COUNT(*) FROM `ledgeritem` WHERE `ledgernumber` = '5/26' AND `ledgeritemid` <> 7 "
            "AND (passonparentid IS NULL AND direction = '1')")).join("\n  ")));
        q->Close();
        const QString pdfPath = p.isSet("record-pdf") ? p.value("record-pdf") : dir.filePath(QStringLiteral("zapisnik.pdf"));
        benchHandover(conn, *console->Security.get(), params, maria, p.value("handover").toInt(), pdfPath);
        q->Close();
        GlobalConsole.reset();
        Finalize();
        if (maria)
            conn.ExecSQL(QStringLiteral("DROP DATABASE ledger_bench"));
    } catch (const KException &e) {
        std::fprintf(stderr, "bench failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
