// The CSV export of the whole ledger from the command line's path (streamed
// from the database into the file) against the backend's own client writing
// the same rows to a file. Target: within 1.5 times the client's time.
//
//   bench_export [--rows N] [--backend sqlite|mariadb] [--socket PATH] [--runs N]

#include "BenchSupport.h"
#include "KException.h"
#include "SchemaInstaller.h"
#include "data/LedgerCsvExport.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "data/LedgerSearchCriteria.h"
#include "integration/GlobalConsole.h"
#include "integration/LedgerRegistration.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    AddBenchOptions(p, "1000000");
    p.addOption({"runs", "runs of each side; the median counts", "N", "3"});
    p.addOption({"reuse", "MariaDB: export the ledger_bench database a failed run left"});
    p.addHelpOption();
    p.process(app);
    const int rows = p.value("rows").toInt();
    const int runs = std::max(1, p.value("runs").toInt());
    const bool maria = IsMariaDb(p);

    try {
        QTemporaryDir dir;
        const bool reuse = maria && p.isSet("reuse");
        TConnectionParams params;
        if (reuse) {
            params = FreshSqlite(dir.path());
            params.Driver = QStringLiteral("QMYSQL");
            params.Database = QStringLiteral("ledger_bench");
            params.Socket = p.value("socket");
            params.User = p.value("user");
            params.Password = p.value("password");
        } else {
            params = FreshDatabase(p, dir.path());
        }
        TZConnection conn;
        conn.SetParams(params);
        conn.Connect();
        if (!reuse)
            FillBook(conn, rows);

        Initialize();
        const IRef<BenchConsole> console = StandInConsole(conn);
        GlobalConsole = IRef<IConsole>(console);
        LedgerDM->SetZConnection(&conn);

        std::fprintf(stderr, "exporting...\n");
        const QString csvPath = dir.filePath(QStringLiteral("export.csv"));
        qint64 written = 0;
        const double exportMs = medianMs(runs, [&] {
            written = ExportLedgerCsv(conn, TLedgerSearchCriteria(), csvPath, {});
        });
        const qint64 csvBytes = QFileInfo(csvPath).size();

        QVariantList none;
        const QString sql = LedgerExportSql(TLedgerSearchCriteria(), conn, none);
        const QString clientPath = dir.filePath(QStringLiteral("client.out"));
        QString program;
        QStringList args;
        if (maria) {
            program = QStringLiteral("mariadb");
            args << MariaDbClientArgs(params) << "--quick" << "--batch" << "-e" << sql;
        } else {
            program = QStringLiteral("sqlite3");
            args << "-separator" << ";" << params.Database << SqliteShellSql(sql);
        }
        const double clientMs = medianMs(runs, [&] {
            QProcess client;
            client.setStandardOutputFile(clientPath);
            client.start(program, args);
            client.waitForFinished(-1);
            if (client.exitCode() != 0)
                std::printf("client failed: %s\n", client.readAllStandardError().constData());
        });
        std::printf("CSV export: %lld rows in %.0f ms (%lld bytes); %s client to a file %.0f ms (%lld bytes); "
                    "ratio %.2f (target <= 1.5)\n",
                    written, exportMs, csvBytes, qPrintable(program), clientMs, QFileInfo(clientPath).size(),
                    exportMs / clientMs);

        GlobalConsole.reset();
        FreeBenchItems();
        Finalize();
        if (maria)
            conn.ExecSQL(QStringLiteral("DROP DATABASE ledger_bench"));
    } catch (const EDatabaseError &e) {
        std::fprintf(stderr, "bench failed: %s (%s)\n", e.what(), qPrintable(e.details()));
        return 1;
    } catch (const KException &e) {
        std::fprintf(stderr, "bench failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
