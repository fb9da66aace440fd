// The subject search and the numbering on a generated book (a million items
// by default): the search for a rare word, for two words, and for a common
// prefix, each loaded as the search frame loads it, with its plan; then the
// next number (GetLedgerIndex and NextLedgerNumber) and the post of a new
// item with its subject's words.
//
//   bench_subject [--rows N] [--backend sqlite|mariadb] [--socket PATH] [--keep DIR]

#include "BenchSupport.h"
#include "KException.h"
#include "SchemaInstaller.h"
#include "ZConnection.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "data/LedgerSearchCriteria.h"
#include "integration/LedgerRegistration.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void benchSearch(TZConnection &conn, TZQuery &q, const QString &typed, const char *target)
{
    TLedgerSearchCriteria criteria;
    criteria.Texts.insert(TLedgerSearchCriteria::Subject, typed);
    QVariantList values;
    const QString sql = LedgerDM->LedgerItemChangeSQLCondition(criteria.Condition(&conn, values));
    const double ms = medianMs(11, [&] {
        q.Close();
        q.SetSQL(sql, values);
        q.Open();
        q.SetSortedFields(QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC"));
        q.First();
    });
    std::printf("search by Predmet '%s': %d rows in %.2f ms (%s)\n  %s\n", qPrintable(typed), q.RecordCount(), ms,
                target, qPrintable(QueryPlan(conn, q.OpenedSQL(), values).join("\n  ")));
    q.Close();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    AddBenchOptions(p, "1000000");
    AddBookOptions(p);
    p.addHelpOption();
    p.process(app);
    const int rows = p.value("rows").toInt();

    try {
        QTemporaryDir dir;
        TZConnection conn;
        OpenBook(p, dir.path(), conn, rows);
        {
            auto words = conn.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM subjectword"));
            words->next();
            std::printf("subject words: %lld rows\n", words->value(0).toLongLong());
        }

        Initialize();
        const IRef<BenchConsole> console = StandInConsole(conn);
        GlobalConsole = IRef<IConsole>(console);
        LedgerDM->SetZConnection(&conn);
        TZQuery *q = BenchItems().LedgerItemZQ;

        benchSearch(conn, *q, QStringLiteral("kopaonik"), "rare word, target < 50 ms");
        benchSearch(conn, *q, QStringLiteral("KOPA zah"), "rare and common prefix, target < 50 ms");
        benchSearch(conn, *q, QStringLiteral("čačak obuku predmet 4321"), "four words, target < 50 ms");

        const QDateTime now = QDateTime::currentDateTime();
        const double indexMs = medianMs(21, [&] { LedgerDM->GetLedgerIndex(now, 1); });
        const double nextMs = medianMs(21, [&] { LedgerDM->NextLedgerNumber(now, 1); });
        std::printf("GetLedgerIndex: %.2f ms; NextLedgerNumber: %.2f ms (target < 5 ms each)\n", indexMs, nextMs);

        q->Close();
        q->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.ledgeritemid = -1")));
        q->Open();
        const double postMs = medianMs(11, [&] {
            q->Append();
            BenchItems().LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
            BenchItems().LedgerItemZQsubject->SetAsString(QStringLiteral("Zahtev za izdavanje uverenja, Kopaonik"));
            q->Post();
        });
        std::printf("post of a new item with its subject's words: %.2f ms\n", postMs);
        q->Close();

        GlobalConsole.reset();
        FreeBenchItems();
        Finalize();
        if (KeepsBook(p))
            TrimBook(conn, rows);
        else if (IsMariaDb(p))
            conn.ExecSQL(QStringLiteral("DROP DATABASE ledger_bench"));
    } catch (const KException &e) {
        std::fprintf(stderr, "bench failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
