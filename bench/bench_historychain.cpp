// What the history's hash chain costs: a post with its chained history
// entry against one without history, the chain's own statements (the held
// head with the database's time, the hash, the head moved on) on their own,
// and checking a chain of many entries from end to end.
//
//   bench_historychain [--rows N] [--backend sqlite|mariadb] [--socket PATH]
//                      [--posts N] [--entries N]
//
// Targets: chaining adds under 1 ms to a post (median of 200); checking
// 1,000,000 entries takes under 10 s.

#include "HistoryChainHash.h"
#include "KInterfaces.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "ZTransaction.h"
#include "data/HistoryChain.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "integration/GlobalConsole.h"
#include "integration/LedgerRegistration.h"
#include "BenchSupport.h"
#include "SchemaInstaller.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

namespace {

qint64 scalar(TZConnection &c, const QString &sql)
{
    auto q = c.OpenQuery(sql);
    return q->next() ? q->value(0).toLongLong() : 0;
}

// Median milliseconds of posting an update of the recipient and the archived flag.
double timeUpdates(TZQuery &q, int posts, qint64 first, qint64 span, qint64 start, bool journal,
                   const decltype(TZQuery::OnJournal) &onJournal)
{
    q.OnJournal = journal ? onJournal : nullptr;
    std::vector<double> times;
    QElapsedTimer t;
    for (int i = 0; i < posts; ++i) {
        const qint64 id = first + (start + i * 997) % span;
        q.Close();
        q.SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.ledgeritemid = ?")), {id});
        q.Open();
        if (q.IsEmpty())
            continue;
        q.Edit();
        BenchItems().LedgerItemZQoutuserid->SetAsLargeInt(1 + (id + i) % 50);
        BenchItems().LedgerItemZQarchived->SetAsBoolean(!BenchItems().LedgerItemZQarchived->AsBoolean());
        t.start();
        q.Post();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    q.OnJournal = onJournal;
    return Median(times);
}

// What chaining adds to an entry, in a transaction of its own, against the
// same transaction without it: the head held and read with the time, the
// hash, the head moved on (and put back, so the chain stays as it was).
std::pair<double, double> timeChainStatements(TZConnection &c, int runs)
{
    THistoryChainRecord record;
    record.ItemID = 1;
    record.Kind = "u";
    record.UserID = "1";
    record.UserName = "Ana Petrović";
    record.HostName = "PISARNICA-1";
    record.LedgerNumber = "125/26";
    record.Values = {{"outuserid", "3", "4", "Marko Jovanović", "Jelena Ilić"}, {"archived", "n", "y", {}, {}}};
    const double bare = medianMs(runs, [&] {
        TZTransaction t(c);
        t.Rollback();
    });
    const double chained = medianMs(runs, [&] {
        TZTransaction t(c);
        const auto head = ReadHeldRow(c, QStringLiteral("historychain"), QStringLiteral("chainid"), 1,
                                      QStringLiteral("entries, headhash, ") + c.Dialect().NowSql());
        record.Position = head->at(0).toLongLong() + 1;
        record.ChangedAt = head->at(2).toString().toUtf8();
        const QString hash = QString::fromLatin1(HistoryChainHash(record, head->at(1).toString().toLatin1()));
        c.ExecSQL(QStringLiteral("UPDATE historychain SET entries = ?, headhash = ? WHERE chainid = 1"),
                  {record.Position, hash});
        t.Rollback();
    });
    return {bare, chained};
}

// count chained entries of two values each (rounded up to whole batches),
// written in batches with their hashes through two prepared statements.
qint64 writeChain(TZConnection &c, qint64 count)
{
    const int batch = 500;
    QStringList entryRows, valueRows;
    for (int i = 0; i < batch; ++i) {
        entryRows << QStringLiteral("(?, ?, ?, 'u', 7, ?, ?, ?, ?, ?)");
        valueRows << QStringLiteral("(?, 'accepted', 'n', 'y', NULL, NULL)")
                  << QStringLiteral("(?, 'outuserid', NULL, ?, NULL, 'Marko Jovanović')");
    }
    TZTransaction t(c);
    auto insertEntries = c.Prepare(QStringLiteral("INSERT INTO ledgerhistory (ledgerhistoryid, ledgeritemid, changedat, "
                                                  "changekind, userid, username, hostname, ledgernumber, chainseq, "
                                                  "entryhash) VALUES ")
                                   + entryRows.join(QStringLiteral(", ")));
    auto insertValues = c.Prepare(QStringLiteral("INSERT INTO ledgerhistoryvalue (ledgerhistoryid, columnname, oldvalue, "
                                                 "newvalue, oldtext, newtext) VALUES ")
                                  + valueRows.join(QStringLiteral(", ")));
    QByteArray previous;
    THistoryChainRecord r;
    r.Kind = "u";
    r.UserID = "7";
    r.UserName = "Ana Petrović";
    r.HostName = "PISARNICA-1";
    const QDateTime start(QDate(2025, 1, 1), QTime(8, 0));
    qint64 n = 0;
    while (n < count) {
        QVariantList entryParams, valueParams;
        for (int i = 0; i < batch; ++i) {
            r.Position = ++n;
            r.ItemID = 1 + n % 100000;
            const QString changedAt = start.addSecs(n * 7).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
            const QString number = QStringLiteral("%1/25").arg(r.ItemID);
            const QString user = QString::number(n % 50);
            r.ChangedAt = changedAt.toUtf8();
            r.LedgerNumber = number.toUtf8();
            r.Values = {{"accepted", "n", "y", {}, {}}, {"outuserid", {}, user.toUtf8(), {}, "Marko Jovanović"}};
            previous = HistoryChainHash(r, previous);
            entryParams << n << r.ItemID << changedAt << QStringLiteral("Ana Petrović") << QStringLiteral("PISARNICA-1")
                        << number << n << QString::fromLatin1(previous);
            valueParams << n << n << user;
        }
        insertEntries.Exec(entryParams);
        insertValues.Exec(valueParams);
    }
    c.ExecSQL(QStringLiteral("UPDATE historychain SET entries = ?, headhash = ? WHERE chainid = 1"),
              {n, QString::fromLatin1(previous)});
    t.Commit();
    return n;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    AddBenchOptions(p, "20000");
    p.addOption({"posts", "posts timed of each kind", "N", "200"});
    p.addOption({"entries", "entries of the chain checked", "N", "1000000"});
    p.addHelpOption();
    p.process(app);
    const int posts = p.value("posts").toInt();
    const qint64 entries = p.value("entries").toLongLong();

    try {
        QTemporaryDir dir;
        {
            const TConnectionParams params = FreshDatabase(p, dir.path(), QStringLiteral("ledger_bench_chain"));
            TZConnection conn;
            conn.SetParams(params);
            conn.Connect();
            FillBook(conn, p.value("rows").toInt());
            Initialize();
            const IRef<BenchConsole> console = StandInConsole(conn);
            GlobalConsole = IRef<IConsole>(console);
            LedgerDM->SetZConnection(&conn);
            TZQuery &q = *BenchItems().LedgerItemZQ;
            const auto onJournal = q.OnJournal;
            const qint64 first = scalar(conn, QStringLiteral("SELECT MIN(ledgeritemid) FROM ledgeritem"));
            const qint64 span = scalar(conn, QStringLiteral("SELECT MAX(ledgeritemid) FROM ledgeritem")) - first;
            timeUpdates(q, 20, first, span, 0, false, onJournal);
            timeUpdates(q, 20, first, span, 20 * 997, true, onJournal);
            const double with = timeUpdates(q, posts, first, span, 40 * 997, true, onJournal);
            const double without = timeUpdates(q, posts, first, span, (40 + posts) * 997, false, onJournal);
            std::printf("post of an update, median of %d: %.3f ms without history, %.3f ms with chained history, "
                        "+%.3f ms\n",
                        posts, without, with, with - without);
            const auto [bare, chained] = timeChainStatements(conn, posts);
            std::printf("the chain's own statements, median of %d: %.3f ms (empty transaction %.3f ms), +%.3f ms\n",
                        posts, chained, bare, chained - bare);
            const THistoryChainCheck check = VerifyHistoryChain(conn);
            std::printf("chain after the posts: %s\n", qPrintable(check.Text));
            BenchItems().LedgerItemZQ->Close();
            GlobalConsole = IRef<IConsole>();
            FreeBenchItems();
            Finalize();
        }

        // A book of its own: history only.
        QTemporaryDir chainDir;
        const TConnectionParams params = FreshDatabase(p, chainDir.path(), QStringLiteral("ledger_bench_chain2"));
        TZConnection conn;
        conn.SetParams(params);
        conn.Connect();
        InstallSchema(conn);
        QElapsedTimer t;
        t.start();
        const qint64 written = writeChain(conn, entries);
        std::printf("wrote %lld chained entries (two values each) in %.1f s\n", written, t.elapsed() / 1000.0);
        qint64 reports = 0;
        // Processor time too: on a shared machine the clock also counts others' work.
        const std::clock_t cpu = std::clock();
        t.start();
        const THistoryChainCheck check = VerifyHistoryChain(conn, [&](qint64, qint64) {
            ++reports;
            return true;
        });
        std::printf("checked %lld entries in %.2f s, %.2f s of processor time (%lld progress reports): %s\n",
                    check.Checked, t.elapsed() / 1000.0, double(std::clock() - cpu) / CLOCKS_PER_SEC, reports,
                    qPrintable(check.Text));
    } catch (const KException &e) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
