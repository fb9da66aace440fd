// Serbian in both scripts on a generated book (a million items by default):
// the partner searched by a prefix typed in Latin, in Cyrillic and without
// diacritics, and the document type likewise, each loaded as the search
// frame loads it, with its plan, and whether every spelling found the same
// items; all the items sorted by partner, ledger number and type in each
// script's order; and what keeping the folded keys adds to writing an item:
// the same rows written into two empty copies of the items' table, one with
// the keys and one without.
//
// The partner "Čačak prevoz d.o.o." is lent every 5,000th item for the run
// (the generated names have no "Čač"); the items get theirs back at the end.
//
//   bench_scripts [--rows N] [--backend sqlite|mariadb] [--socket PATH] [--keep DIR]

#include "BenchSupport.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "SchemaInstaller.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "data/LedgerSearchCriteria.h"
#include "integration/LedgerRegistration.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <utility>

namespace {

const QString NewestFirst = QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC");

// The spellings of one search: the first is the Latin one the others are held to.
void benchSpellings(TZConnection &conn, TZQuery &q, const QString &key, const QStringList &spellings,
                    const char *target, int runs = 11)
{
    QList<qint64> latin;
    for (const QString &typed : spellings) {
        TLedgerSearchCriteria criteria;
        criteria.Texts.insert(key, typed);
        QVariantList values;
        const QString sql = LedgerDM->LedgerItemChangeSQLCondition(criteria.Condition(&conn, values));
        const double ms = medianMs(runs, [&] {
            q.Close();
            q.SetSQL(sql, values);
            q.Open();
            q.SetSortedFields(NewestFirst);
            q.First();
        });
        QList<qint64> ids;
        for (q.First(); !q.Eof(); q.Next())
            ids << BenchItems().LedgerItemZQledgeritemid->AsLargeInt();
        std::sort(ids.begin(), ids.end());
        if (latin.isEmpty())
            latin = ids;
        std::printf("search by %s '%s': %d rows in %.2f ms (%s); %s\n  %s\n",
                    qPrintable(TLedgerSearchCriteria::Caption(key)), qPrintable(typed), int(ids.size()), ms, target,
                    ids == latin ? "the same items as the first spelling" : "OTHER ITEMS than the first spelling",
                    qPrintable(QueryPlan(conn, q.OpenedSQL(), values).join("\n  ")));
        q.Close();
    }
}

// Lends the partner "Čačak prevoz d.o.o." to every 5,000th item; gives
// back what the items had.
class TLentPartner
{
public:
    explicit TLentPartner(TZConnection &c) : m_c(c)
    {
        m_c.ExecSQL(QStringLiteral("INSERT INTO partner (name, city) VALUES ('Čačak prevoz d.o.o.', 'Čačak')"));
        const qint64 partner = m_c.LastInsertID();
        auto q = m_c.OpenQuery(QStringLiteral("SELECT ledgeritemid, partnerid FROM ledgeritem WHERE ledgeritemid % 5000 = 0"));
        while (q->next())
            m_had.push_back({q->value(0).toLongLong(), q->value(1).toLongLong()});
        m_c.ExecSQL(QStringLiteral("UPDATE ledgeritem SET partnerid = ? WHERE ledgeritemid % 5000 = 0"), {partner});
        m_partner = partner;
    }
    ~TLentPartner()
    {
        try {
            m_c.ExecSQL(QStringLiteral("BEGIN"));
            for (const auto &[item, partner] : m_had)
                m_c.ExecSQL(QStringLiteral("UPDATE ledgeritem SET partnerid = ? WHERE ledgeritemid = ?"), {partner, item});
            m_c.ExecSQL(QStringLiteral("COMMIT"));
            m_c.ExecSQL(QStringLiteral("DELETE FROM partner WHERE partnerid = ?"), {m_partner});
        } catch (const KException &e) {
            std::fprintf(stderr, "the lent partner stays: %s\n", e.what());
        }
    }

private:
    TZConnection &m_c;
    qint64 m_partner = 0;
    std::vector<std::pair<qint64, qint64>> m_had;
};

// A click on a column title in each script, from the list's own order; the
// rows were loaded before.
void benchSorts(TZQuery &q)
{
    for (const TScript script : {TScript::Latin, TScript::Cyrillic}) {
        SetInterfaceScript(script);
        for (const char *column : {"partnername", "ledgernumber", "itemtype"}) {
            q.SetSortedFields(NewestFirst);
            QElapsedTimer t;
            t.start();
            q.SetSortedFields(QString::fromLatin1(column));
            q.First();
            std::printf("sort by %s in %s: %.0f ms for %d rows (target < 1000 ms); first: %s\n", column,
                        qPrintable(ScriptName(script)), t.nsecsElapsed() / 1e6, q.RecordCount(),
                        qPrintable(q.FieldByName(QString::fromLatin1(column)).AsString()));
        }
    }
    SetInterfaceScript(TScript::Latin);
    q.SetSortedFields(NewestFirst);
}

// Microseconds a row of writing rows items into table, in one transaction;
// round keeps the numbers of each round apart.
double writeUs(TZConnection &c, const QString &table, int rows, int round)
{
    const bool sqlite = c.Backend() == TBackend::SQLite;
    TZConnection::TPrepared insert = c.Prepare(QStringLiteral(
        "INSERT INTO %1 (direction, ledgerdatetime, ledgernumber, partnerid, itemtype, itemnumber, userid) "
        "VALUES (1, ?, ?, 1, ?, ?, 1)").arg(table));
    const QDateTime now = QDateTime::currentDateTime();
    c.ExecSQL(QStringLiteral("BEGIN"));
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rows; ++i)
        insert.Exec({sqlite ? QVariant(TZConnection::DateTimeText(now)) : QVariant(now), QStringLiteral("Š%1-%2/99").arg(round).arg(i),
                     QStringLiteral("Žalba"), QStringLiteral("Ђ-%1").arg(i)});
    const double us = t.nsecsElapsed() / 1e3 / rows;
    c.ExecSQL(QStringLiteral("COMMIT"));
    return us;
}

// The folded keys' share of writing an item: two empty copies of the items'
// table, with the keys (SQLite: the indexes over SERBIANFOLD; MariaDB: the
// generated columns with their indexes) and without, written alternately.
void benchKeysShare(TZConnection &c)
{
    const bool sqlite = c.Backend() == TBackend::SQLite;
    const QStringList folded{QStringLiteral("ledgernumber"), QStringLiteral("itemnumber"), QStringLiteral("itemtype")};
    for (const char *table : {"bench_withkeys", "bench_withoutkeys"})
        c.ExecSQL(QStringLiteral("DROP TABLE IF EXISTS ") + QString::fromLatin1(table));
    if (sqlite) {
        for (const char *table : {"bench_withkeys", "bench_withoutkeys"})
            c.ExecSQL(QStringLiteral("CREATE TABLE %1 AS SELECT * FROM ledgeritem WHERE 0").arg(QString::fromLatin1(table)));
        for (const QString &column : folded)
            c.ExecSQL(QStringLiteral("CREATE INDEX bench_withkeys_%1 ON bench_withkeys (SERBIANFOLD(%1))").arg(column));
    } else {
        c.ExecSQL(QStringLiteral("CREATE TABLE bench_withkeys LIKE ledgeritem"));
        c.ExecSQL(QStringLiteral("CREATE TABLE bench_withoutkeys LIKE ledgeritem"));
        QStringList drops;
        for (const QString &column : folded)
            drops << QStringLiteral("DROP COLUMN %1fold").arg(column);
        c.ExecSQL(QStringLiteral("ALTER TABLE bench_withoutkeys ") + drops.join(QStringLiteral(", ")));
    }
    const int rows = 2000;
    std::vector<double> with, without;
    for (int round = 0; round < 5; ++round) {
        with.push_back(writeUs(c, QStringLiteral("bench_withkeys"), rows, round));
        without.push_back(writeUs(c, QStringLiteral("bench_withoutkeys"), rows, round));
    }
    const double w = Median(with), wo = Median(without);
    std::printf("writing an item's row: %.1f us with the folded keys, %.1f us without; the keys' share %.1f us "
                "(target < 500 us)\n", w, wo, w - wo);
    for (const char *table : {"bench_withkeys", "bench_withoutkeys"})
        c.ExecSQL(QStringLiteral("DROP TABLE ") + QString::fromLatin1(table));
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
            // Opening a million items on a busy machine may outlast a desk's 30 s.
            TConnectionParams params = conn.Params();
            params.ReadTimeout = params.WriteTimeout = 600;
            conn.Disconnect();
            conn.SetParams(params);
            conn.Connect();
        }
        if (SchemaVersion(conn) < 10)
            throw KException(QStringLiteral("the book has no folded keys (step 10)"));

        Initialize();
        const IRef<BenchConsole> console = StandInConsole(conn);
        GlobalConsole = IRef<IConsole>(console);
        LedgerDM->SetZConnection(&conn);
        TZQuery *q = BenchItems().LedgerItemZQ;
        {
            TLentPartner lent(conn);
            using C = TLedgerSearchCriteria;
            benchSpellings(conn, *q, C::Partner, {"Čač", "Чач", "cac", "ČAČAK PREVOZ"}, "target < 20 ms");
            benchSpellings(conn, *q, C::Partner, {"Čistoća 2 d.o.o.", "Чистоћа 2 д.о.о.", "cistoca 2 d.o.o."},
                           "target < 20 ms");
            benchSpellings(conn, *q, C::ItemType, {"Žalba", "Жалба", "zalba"}, "an eighth of the book, not selective", 3);

            q->Close();
            q->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QString()));
            QElapsedTimer t;
            t.start();
            q->Open();
            std::printf("open all: %d rows in %.0f ms\n", q->RecordCount(), t.nsecsElapsed() / 1e6);
            benchSorts(*q);
            q->Close();
        }
        benchKeysShare(conn);

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
