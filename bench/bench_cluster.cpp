// What a post costs on the three-node cluster against one server, on the
// same machine in the same run: a new item and an update of an item, each
// posted through the data module with its history, the sides taking turns.
//
//   bench_cluster --socket PATH --servers 'S1;S2;S3' [--rows N] [--posts N]
//                 [--rounds N] [--user U] [--password P]
//
// --socket names the single server, --servers the cluster's nodes (as the
// desks' ini lists them). The book of --rows items is made on each side.

#include "BenchSupport.h"
#include "KException.h"
#include "SchemaInstaller.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "integration/GlobalConsole.h"
#include "integration/LedgerRegistration.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <cstdio>
#include <memory>

namespace {

struct TSide
{
    const char *Name;
    std::unique_ptr<TZConnection> Conn;
    std::vector<double> Inserts, Updates;
};

std::unique_ptr<TZConnection> freshBook(const TConnectionParams &server, int rows)
{
    auto c = std::make_unique<TZConnection>();
    c->SetParams(FreshMariaDbOn(server, QStringLiteral("ledger_bench_cluster")));
    c->Connect();
    FillBook(*c, rows, 1);
    return c;
}

// posts new items and as many updates of them, timing each post.
void postOn(TSide &side, int posts)
{
    LedgerDM->SetZConnection(side.Conn.get());
    TZQuery &q = *BenchItems().LedgerItemZQ;
    q.Close();
    q.SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.ledgeritemid = -1")));
    q.Open();
    QElapsedTimer t;
    for (int i = 0; i < posts; ++i) {
        q.Append();
        BenchItems().LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
        t.start();
        q.Post();
        side.Inserts.push_back(t.nsecsElapsed() / 1e6);
        q.Edit();
        BenchItems().LedgerItemZQarchived->SetAsBoolean(true);
        t.start();
        q.Post();
        side.Updates.push_back(t.nsecsElapsed() / 1e6);
    }
    q.Close();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.addOption({"socket", "the single server's socket", "PATH"});
    p.addOption({"servers", "the cluster's nodes, ';' between them", "LIST"});
    p.addOption({"rows", "items in each book", "N", "10000"});
    p.addOption({"posts", "posts of each kind per round and side", "N", "100"});
    p.addOption({"rounds", "rounds, the sides taking turns", "N", "3"});
    p.addOption({"user", "account", "U", "ledger"});
    p.addOption({"password", "password", "P", "ledger"});
    p.addHelpOption();
    p.process(app);
    if (p.value("socket").isEmpty() || p.value("servers").isEmpty()) {
        std::fprintf(stderr, "usage: bench_cluster --socket PATH --servers 'S1;S2;S3' [--rows N] [--posts N]\n");
        return 2;
    }
    try {
        TConnectionParams one;
        one.Driver = QStringLiteral("QMYSQL");
        one.User = p.value("user");
        one.Password = p.value("password");
        TConnectionParams cluster = one;
        one.Socket = p.value("socket");
        cluster.Servers = p.value("servers");
        const int rows = p.value("rows").toInt(), posts = p.value("posts").toInt(), rounds = p.value("rounds").toInt();

        TSide sides[2] = {{"one server", freshBook(one, rows), {}, {}}, {"cluster", freshBook(cluster, rows), {}, {}}};
        if (!sides[1].Conn->IsCluster())
            throw KException(QStringLiteral("--servers does not name a cluster"));
        Initialize();
        const IRef<BenchConsole> console = StandInConsole(*sides[0].Conn);
        GlobalConsole = IRef<IConsole>(console);
        for (TSide &side : sides) // warm-up, not counted
            postOn(side, 10), side.Inserts.clear(), side.Updates.clear();
        for (int r = 0; r < rounds; ++r)
            for (int k = 0; k < 2; ++k)
                postOn(sides[(r + k) % 2], posts);
        for (const TSide &side : sides)
            std::printf("%s (%s): post of a new item %.2f ms, of an update %.2f ms (medians of %zu)\n", side.Name,
                        qPrintable(side.Conn->ServerText()), Median(side.Inserts), Median(side.Updates),
                        side.Inserts.size());
        std::printf("cluster / one server: new item %.2fx, update %.2fx\n", Median(sides[1].Inserts) / Median(sides[0].Inserts),
                    Median(sides[1].Updates) / Median(sides[0].Updates));
        GlobalConsole = IRef<IConsole>();
        FreeBenchItems();
        Finalize();
    } catch (const KException &e) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
