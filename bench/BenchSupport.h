#pragma once
// What the benchmarks share: a generated ledger of realistic items, the
// stand-in console and security service the module runs under, fresh
// databases on both backends, and the backends' own clients to compare with.

#include "KInterfaces.h"
#include "ZConnection.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <algorithm>
#include <vector>

class BenchSecurity : public TInterfacedObject, public ISecurity
{
public:
    TZConnection *Conn = nullptr;
    int UserID = 1;
    bool QueryInterface(const QUuid &iid, void **out) override
    {
        return iid == ISecurity::IID() ? answer<ISecurity>(this, out) : TInterfacedObject::QueryInterface(iid, out);
    }
    TZConnection *GetConnection() override { return Conn; }
    bool Connect() override { return true; }
    bool GetCurrentUser(TUserDesc &d, int) override
    {
        d.UserID = UserID;
        d.FirstName = QStringLiteral("Ana");
        d.LastName = QStringLiteral("Petrović");
        return true;
    }
    bool SelectUser(TUserDesc &) override { return false; }
};

class BenchConsole : public TInterfacedObject, public IConsole
{
public:
    IRef<BenchSecurity> Security;
    bool QueryInterface(const QUuid &iid, void **out) override
    {
        return iid == IConsole::IID() ? answer<IConsole>(this, out) : TInterfacedObject::QueryInterface(iid, out);
    }
    bool QuerySnapin(const QUuid &iid, void **out) override { return Security->QueryInterface(iid, out); }
    bool SetActiveGrid(QAbstractItemView *) override { return true; }
};

// A realistic ledger: 50 users, 5,000 partners and documents, and rows items
// spread evenly over the last years (this one included) and three
// directions, numbered in date order, with pass-on copies and additional
// items among them.
void GenerateLedger(TZConnection &c, int rows, int years = 10);

// The backend's plan of sql, a line a step (EXPLAIN QUERY PLAN / EXPLAIN).
QStringList QueryPlan(TZConnection &c, const QString &sql, const QVariantList &params = {});

// The options every benchmark takes: --rows (with its default), --backend
// (sqlite or mariadb), and --socket, --user, --password for MariaDB.
void AddBenchOptions(QCommandLineParser &p, const char *defaultRows);
bool IsMariaDb(const QCommandLineParser &p);
// An empty database on the backend the options name: on the server under
// mariaDbName, or a file in sqliteDir.
TConnectionParams FreshDatabase(const QCommandLineParser &p, const QString &sqliteDir,
                                const QString &mariaDbName = QStringLiteral("ledger_bench"));

// The schema and a generated book of rows items on an empty database,
// saying on the way how long the generation took.
void FillBook(TZConnection &c, int rows, int years = 10);
// The book bench_ledger works on, with the options --keep DIR and
// --upto-step N (AddBookOptions). Without --keep, a fresh database (a file in
// tempDir) gets the schema and rows generated items. With it, the book stays
// for the next run: SQLite keeps DIR/ledger-<rows>.db, MariaDB a database
// ledger_keep_<rows>_<DIR's hash>, and DIR marks the generation as complete. A complete kept
// book is used again: upgraded to the current schema, and cut back to what was
// generated (TrimBook). --upto-step installs only the schema steps up to N, as
// a book of an older program has them. c is connected to the book on return.
void AddBookOptions(QCommandLineParser &p);
TConnectionParams OpenBook(const QCommandLineParser &p, const QString &tempDir, TZConnection &c, int rows);
bool KeepsBook(const QCommandLineParser &p);
// Removes what a run wrote to a generated book of rows items.
void TrimBook(TZConnection &c, int rows);

// The stand-in console, its security service working on c.
IRef<BenchConsole> StandInConsole(TZConnection &c);

// An empty database of that name on the server, or a file in dir.
TConnectionParams FreshMariaDb(const QString &socket, const QString &user, const QString &password,
                               const QString &database = QStringLiteral("ledger_bench"));
TConnectionParams FreshSqlite(const QString &dir);
// The same on the server (or the cluster's nodes) that params name.
TConnectionParams FreshMariaDbOn(TConnectionParams params, const QString &database);

// The sqlite3 shell of Debian 12 predates CONCAT: the same text with
// MySQL's CONCAT spelled as ||, which has its NULL rule.
QString SqliteShellSql(const QString &sql);

// The mariadb client's options for the database params name, in the
// character set the program's sessions use.
QStringList MariaDbClientArgs(const TConnectionParams &params);

// A figure of /proc/self/status in KiB ("VmRSS:" now, "VmHWM:" the peak), or 0.
long ProcessStatusKb(const char *key);

// The middle figure (of an even count the upper one); 0 of none.
class TLedgerItems;
// The item set the benchmarks read and post through, as a window owns one:
// made on first use after the module started, freed by FreeBenchItems
// before it stops.
TLedgerItems &BenchItems();
void FreeBenchItems();

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

template <class F>
double medianMs(int runs, F &&f)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        t.push_back(timer.nsecsElapsed() / 1e6);
    }
    return Median(std::move(t));
}
