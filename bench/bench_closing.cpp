// Closing a year of N items (100,000 by default, all in this year): the
// preview of the closing note (the year's items read and counted, the
// numbering check included) as the dialog shows it, median of three runs,
// target under 2 s; then the closing itself once (its row, the wait for
// writes in flight, the figures kept) and the reopening.
//
//   bench_closing [--rows N] [--backend sqlite|mariadb] [--socket PATH]

#include "BenchSupport.h"
#include "KException.h"
#include "ZConnection.h"
#include "data/ClosingNote.h"
#include "data/YearClosing.h"
#include "integration/LedgerRegistration.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    AddBenchOptions(p, "100000");
    p.addHelpOption();
    p.process(app);
    const int rows = p.value("rows").toInt();
    const bool maria = IsMariaDb(p);

    try {
        QTemporaryDir dir;
        const TConnectionParams params = FreshDatabase(p, dir.path(), QStringLiteral("closing_bench"));
        TZConnection conn;
        conn.SetParams(params);
        conn.Connect();
        FillBook(conn, rows, 1);
        Initialize(); // the captions of directions
        const int year = QDate::currentDate().year();

        TClosingNote note;
        const double previewMs = medianMs(3, [&] { note = ClosingNoteOf(conn, ReadClosingFigures(conn, year)); });
        QList<TClosingRow> rowsRead;
        const double readMs = medianMs(3, [&] { rowsRead = ReadClosingRows(conn, year); });
        const double countMs = medianMs(3, [&] { ClosingFiguresOf(year, rowsRead); });
        const THistoryActor actor{QVariant::fromValue(qint64(1)), QStringLiteral("Bench"), QStringLiteral("bench")};
        QElapsedTimer t;
        t.start();
        const bool closed = CloseYear(conn, year, actor) == TCloseOutcome::Closed;
        const double closeMs = t.nsecsElapsed() / 1e6;
        t.restart();
        ReopenYear(conn, year, QStringLiteral("bench"), actor);
        const double reopenMs = t.nsecsElapsed() / 1e6;

        std::printf("%s, %lld items under their own numbers of %d rows: closing preview %.0f ms (median of 3, "
                    "target < 2000 ms: reading %.0f ms, counting %.0f ms); closing %s in %.0f ms; reopening %.0f ms\n",
                    maria ? "MariaDB" : "SQLite", note.Figures.TotalItems(), rows, previewMs, readMs, countMs,
                    closed ? "done" : "NOT done", closeMs, reopenMs);
        Finalize();
        if (maria)
            conn.ExecSQL(QStringLiteral("DROP DATABASE closing_bench"));
    } catch (const KException &e) {
        std::fprintf(stderr, "bench failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
