// The cost of the items' history on a large book: what the history entry
// adds to a post (an update of the recipient and the archived flag, and a
// new item), how long the custody timeline of a chain of 20 copies takes to
// read and to open as a dialog, and how much the history grows per change.
//
//   bench_history [--rows N] [--backend sqlite|mariadb] [--socket PATH]
//                 [--posts N]
//
// Targets: under 2 ms added to a post on 1,000,000 items; the timeline of
// 20 copies open under 50 ms.

#include "KInterfaces.h"
#include "SchemaInstaller.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/LedgerCustody.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "integration/GlobalConsole.h"
#include "integration/LedgerRegistration.h"
#include "screens/CustodyTimelineDialog.h"
#include "BenchSupport.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

qint64 scalar(TZConnection &c, const QString &sql, const QVariantList &params = {})
{
    auto q = c.OpenQuery(sql, params);
    return q->next() ? q->value(0).toLongLong() : 0;
}

// Bytes the two history tables take, as the backend counts them.
qint64 historyBytes(TZConnection &c)
{
    if (c.Backend() == TBackend::MySQL) {
        c.OpenQuery(QStringLiteral("ANALYZE TABLE ledgerhistory, ledgerhistoryvalue"));
        return scalar(c, QStringLiteral("SELECT SUM(DATA_LENGTH + INDEX_LENGTH) FROM information_schema.TABLES "
                                        "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME IN "
                                        "('ledgerhistory', 'ledgerhistoryvalue')"));
    }
    // The pages of the two tables and their indexes (Debian's SQLite has dbstat).
    return scalar(c, QStringLiteral("SELECT SUM(pgsize) FROM dbstat WHERE name IN ('ledgerhistory', "
                                    "'ledgerhistoryvalue', 'ix_ledgerhistory_item', 'ix_ledgerhistory_kind', "
                                    "'sqlite_autoindex_ledgerhistoryvalue_1')"));
}

// Median milliseconds of one post of each kind, with and without the history.
struct TPostTimes
{
    double Update = 0, Insert = 0;
};

// Items first + (start + i * 997) mod span, spread over the whole book.
TPostTimes timePosts(TZQuery &q, int posts, qint64 first, qint64 span, qint64 start, qint64 userCount, bool journal,
                     const decltype(TZQuery::OnJournal) &onJournal)
{
    q.OnJournal = journal ? onJournal : nullptr;
    std::vector<double> updates, inserts;
    QElapsedTimer t;
    for (int i = 0; i < posts; ++i) {
        const qint64 id = first + (start + i * 997) % span;
        q.Close();
        q.SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.ledgeritemid = ?")), {id});
        q.Open();
        if (q.IsEmpty())
            continue;
        q.Edit();
        BenchItems().LedgerItemZQoutuserid->SetAsLargeInt(1 + (id + i) % userCount);
        BenchItems().LedgerItemZQarchived->SetAsBoolean(!BenchItems().LedgerItemZQarchived->AsBoolean());
        t.start();
        q.Post();
        updates.push_back(t.nsecsElapsed() / 1e6);

        q.Append();
        BenchItems().LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
        t.start();
        q.Post();
        inserts.push_back(t.nsecsElapsed() / 1e6);
    }
    q.OnJournal = onJournal;
    return {Median(updates), Median(inserts)};
}

// A chain of copies passed on one after the other, each handed on and
// accepted through the data set, so that the history holds their accepts.
qint64 makeChain(TZQuery &q, int copies)
{
    q.Close();
    q.SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.ledgeritemid = -1")));
    q.Open();
    q.Append();
    BenchItems().LedgerItemZQitemtype->SetAsString(QStringLiteral("Zahtev"));
    q.Post();
    qint64 id = BenchItems().LedgerItemZQledgeritemid->AsLargeInt();
    LedgerDM->AddAdditionalItem(int(id));
    for (int k = 0; k < copies; ++k) {
        q.Close();
        q.SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.ledgeritemid = ?")), {id});
        q.Open();
        q.Edit();
        BenchItems().LedgerItemZQoutuserid->SetAsLargeInt(1);
        q.Post();
        q.Edit();
        BenchItems().LedgerItemZQaccepted->SetAsBoolean(true);
        q.Post();
        if (k + 1 < copies)
            id = *LedgerDM->PassOnLedgerItem(int(id), 1);
    }
    return id;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    AddBenchOptions(p, "1000000");
    p.addOption({"posts", "posts timed of each kind", "N", "200"});
    p.addHelpOption();
    p.process(app);
    const int rows = p.value("rows").toInt();
    const int posts = p.value("posts").toInt();
    const bool maria = IsMariaDb(p);

    try {
        QTemporaryDir dir;
        const TConnectionParams params = FreshDatabase(p, dir.path(), QStringLiteral("ledger_bench_history"));
        TZConnection conn;
        conn.SetParams(params);
        conn.Connect();
        FillBook(conn, rows);

        Initialize();
        const IRef<BenchConsole> console = StandInConsole(conn);
        GlobalConsole = IRef<IConsole>(console);
        LedgerDM->SetZConnection(&conn);
        TZQuery &q = *BenchItems().LedgerItemZQ;
        const auto onJournal = q.OnJournal;
        const qint64 users = scalar(conn, QStringLiteral("SELECT COUNT(*) FROM user"));
        const qint64 first = scalar(conn, QStringLiteral("SELECT MIN(ledgeritemid) FROM ledgeritem"));
        const qint64 span = scalar(conn, QStringLiteral("SELECT MAX(ledgeritemid) FROM ledgeritem")) - first;

        // Warm both paths once, then alternate so that caches favour neither.
        timePosts(q, 20, first, span, 0, users, false, onJournal);
        timePosts(q, 20, first, span, 20 * 997, users, true, onJournal);
        const qint64 entriesBefore = scalar(conn, QStringLiteral("SELECT COUNT(*) FROM ledgerhistory"));
        const qint64 valuesBefore = scalar(conn, QStringLiteral("SELECT COUNT(*) FROM ledgerhistoryvalue"));
        const qint64 bytesBefore = historyBytes(conn);
        const TPostTimes with = timePosts(q, posts, first, span, 40 * 997, users, true, onJournal);
        const qint64 entries = scalar(conn, QStringLiteral("SELECT COUNT(*) FROM ledgerhistory")) - entriesBefore;
        const qint64 values = scalar(conn, QStringLiteral("SELECT COUNT(*) FROM ledgerhistoryvalue")) - valuesBefore;
        const qint64 bytes = historyBytes(conn) - bytesBefore;
        const TPostTimes without = timePosts(q, posts, first, span, (40 + posts) * 997, users, false, onJournal);
        std::printf("post of an update (recipient and archived), median of %d: %.3f ms without history, "
                    "%.3f ms with, +%.3f ms\n",
                    posts, without.Update, with.Update, with.Update - without.Update);
        std::printf("post of a new item, median of %d: %.3f ms without history, %.3f ms with, +%.3f ms\n", posts,
                    without.Insert, with.Insert, with.Insert - without.Insert);
        std::printf("history growth: %lld changes (half updates of two columns, half new items) wrote %lld "
                    "entries and %lld values, %.0f bytes per change (%s)\n",
                    entries, entries, values, entries ? double(bytes) / double(entries) : 0.0,
                    maria ? "InnoDB data and index length after ANALYZE" : "SQLite pages of the tables and indexes");

        const qint64 newest = makeChain(q, 20);
        std::vector<double> reads, opens;
        QElapsedTimer t;
        for (int i = 0; i < 21; ++i) {
            t.start();
            const TCustodyChain chain = LedgerCustody(conn, newest);
            reads.push_back(t.nsecsElapsed() / 1e6);
            if (chain.Steps.size() != 20)
                throw KException(QStringLiteral("chain of %1 steps").arg(chain.Steps.size()));
            t.start();
            TCustodyTimelineDialog dialog(conn, newest);
            dialog.show();
            QCoreApplication::processEvents();
            opens.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("custody timeline of 20 copies, median of 21: read %.2f ms, dialog open %.2f ms\n",
                    Median(reads), Median(opens));

        BenchItems().LedgerItemZQ->Close();
        GlobalConsole = IRef<IConsole>();
        FreeBenchItems();
        Finalize();
    } catch (const KException &e) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
