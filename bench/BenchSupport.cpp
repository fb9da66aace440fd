#include "BenchSupport.h"

#include "KException.h"
#include "SchemaInstaller.h"
#include "data/SubjectWords.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <algorithm>
#include <array>
#include <optional>
#include <vector>
#include <cstdio>

namespace {

// What a generated item is about, from its position alone (the generator's
// sequence stays as it was): a few thousand distinct subjects, a case
// number, and "Kopaonik" in one item of 100,000, the rare word searched for.
QString benchSubject(int i)
{
    static const QStringList heads{"Zahtev za", "Dopis o", "Rešenje o", "Ugovor o", "Žalba na", "Izveštaj o",
                                   "Ponuda za", "Obaveštenje o"};
    static const QStringList topics{"izdavanje uverenja", "nabavku opreme", "zakup prostora", "popis imovine",
                                    "održavanje objekta", "isplatu naknade", "prijem u radni odnos", "godišnji odmor",
                                    "pristup informacijama", "upis u registar", "javnu nabavku", "prevoz zaposlenih",
                                    "grejanje zgrade", "čišćenje prostorija", "osiguranje vozila", "obuku zaposlenih"};
    static const QStringList places{"Beograd", "Čačak", "Niš", "Novi Sad", "Kragujevac", "Subotica", "Užice",
                                    "Šabac", "Zrenjanin", "Leskovac", "Đakovica", "Vranje"};
    QString subject = QStringLiteral("%1 %2, %3, predmet %4")
                          .arg(heads[i % heads.size()], topics[(i / 8) % topics.size()], places[(i / 128) % places.size()])
                          .arg(i % 9973);
    if (i % 100000 == 4321)
        subject += QStringLiteral(" Kopaonik");
    return subject;
}

// The items' words: on SQLite a prepared row at a time (no round trips),
// on MariaDB many rows per statement.
class WordWriter
{
public:
    explicit WordWriter(TZConnection &c) : m_c(c), m_sqlite(c.Backend() == TBackend::SQLite)
    {
        if (m_sqlite)
            m_one.emplace(c.Prepare(QStringLiteral("INSERT INTO subjectword (word, ledgeritemid) VALUES (?, ?)")));
    }
    void Add(qint64 id, const QString &subject)
    {
        for (const QString &word : SubjectWords(subject)) {
            if (m_one) {
                m_one->Exec({word, id});
                continue;
            }
            m_sql += m_params.isEmpty() ? QStringLiteral("INSERT INTO subjectword (word, ledgeritemid) VALUES (?, ?)")
                                        : QStringLiteral(", (?, ?)");
            m_params << word << id;
        }
        if (m_params.size() >= 2000)
            Flush();
    }
    void Flush()
    {
        if (!m_params.isEmpty())
            m_c.ExecSQL(m_sql, m_params);
        m_sql.clear();
        m_params.clear();
    }

private:
    TZConnection &m_c;
    bool m_sqlite;
    std::optional<TZConnection::TPrepared> m_one;
    QString m_sql;
    QVariantList m_params;
};

} // namespace

void GenerateLedger(TZConnection &c, int rows, int years)
{
    QRandomGenerator rnd(20240305);
    const QStringList first{"Ana", "Marko", "Jelena", "Nikola", "Dragana", "Đorđe", "Milica", "Stefan", "Ivana", "Željko"};
    const QStringList last{"Petrović", "Jovanović", "Đorđević", "Nikolić", "Marković", "Šarić", "Ilić", "Čolić"};
    const QStringList types{"Dopis", "Rešenje", "Faktura", "Ugovor", "Zahtev", "Žalba", "Ponuda", "Izveštaj"};
    const QStringList firms{"Elektroprivreda", "Vodovod", "Čistoća", "Gradska toplana", "Pošta", "Šumarstvo", "Đerdap", "Žitomlin"};
    c.ExecSQL(QStringLiteral("BEGIN"));
    for (int u = 1; u <= 50; ++u)
        c.ExecSQL(QStringLiteral("INSERT INTO user (firstname, lastname, login, passwordhash) VALUES (?, ?, ?, 'x')"),
                  {first[u % first.size()], last[u % last.size()], QStringLiteral("user%1").arg(u)});
    for (int p = 1; p <= 5000; ++p)
        c.ExecSQL(QStringLiteral("INSERT INTO partner (name, city) VALUES (?, 'Beograd')"),
                  {QStringLiteral("%1 %2 d.o.o.").arg(firms[p % firms.size()]).arg(p)});
    for (int d = 1; d <= 5000; ++d)
        c.ExecSQL(QStringLiteral("INSERT INTO document (number) VALUES (?)"), {QStringLiteral("D-%1").arg(d)});
    c.ExecSQL(QStringLiteral("COMMIT"));

    const int firstYear = QDate::currentDate().year() - (years - 1);
    std::vector<std::array<int, 3>> counters(size_t(years), std::array<int, 3>{});
    const QString insert = QStringLiteral(
        "INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, partnerid, documentid, itemtype, itemnumber, "
        "itemdate, parentid, inmailtype, inmailnumber, outmailtype, inuserid, userid, outuserid, accepted, archived, "
        "passonparentid%1) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?%2)");
    // A book of an older schema step (--upto-step) has no subjects.
    const bool subjects = c.TableExists(QStringLiteral("subjectword"));
    TZConnection::TPrepared q = c.Prepare(subjects ? insert.arg(QStringLiteral(", subject"), QStringLiteral(",?"))
                                                   : insert.arg(QString(), QString()));
    std::optional<WordWriter> words;
    if (subjects)
        words.emplace(c);
    const bool sqlite = c.Backend() == TBackend::SQLite;
    auto dt = [&](const QDateTime &v) { return sqlite ? QVariant(TZConnection::DateTimeText(v)) : QVariant(v); };
    c.ExecSQL(QStringLiteral("BEGIN"));
    qint64 id = 0, lastMain = 0;
    const qint64 yearSecs = 365LL * 86400;
    for (int i = 0; i < rows; ++i) {
        // Items arrive in date order: numbering stays consistent.
        const int year = firstYear + int(qint64(i) * years / rows);
        const qint64 offset = (qint64(i) * years % rows) * yearSecs / std::max(rows, 1);
        QDateTime when(QDate(year, 1, 1), QTime(8, 0));
        when = when.addSecs(std::min<qint64>(offset, yearSecs - 1));
        const int kind = int(rnd.bounded(100));
        const int dirIdx = int(rnd.bounded(3));
        const int direction = dirIdx - 1;
        QString number;
        QVariant parent, passOn;
        if (kind < 5 && lastMain > 0) { // pass-on copy
            number = QStringLiteral("%1/%2").arg(counters[size_t(year - firstYear)][size_t(dirIdx)]).arg(year % 100, 2, 10, QLatin1Char('0'));
            passOn = lastMain;
        } else if (kind < 8 && lastMain > 0) { // additional item
            number = QStringLiteral("%1/%2-%3").arg(counters[size_t(year - firstYear)][size_t(dirIdx)]).arg(year % 100, 2, 10, QLatin1Char('0')).arg(i);
            parent = lastMain;
        } else {
            number = QStringLiteral("%1/%2").arg(++counters[size_t(year - firstYear)][size_t(dirIdx)]).arg(year % 100, 2, 10, QLatin1Char('0'));
        }
        const QVariantList values{direction, dt(when), number, int(rnd.bounded(5000)) + 1, int(rnd.bounded(5000)) + 1,
                                  types[i % types.size()], QStringLiteral("B%1").arg(i), sqlite ? QVariant(when.date().toString(Qt::ISODate)) : QVariant(when.date()),
                                  parent, int(rnd.bounded(5)) + 1, QStringLiteral("R%1").arg(i % 9973), QVariant(),
                                  int(rnd.bounded(50)) + 1, int(rnd.bounded(50)) + 1, int(rnd.bounded(50)) + 1,
                                  kind % 2 ? QStringLiteral("y") : QStringLiteral("n"), QStringLiteral("n"), passOn};
        if (words) {
            const QString subject = benchSubject(i);
            q.Exec(values + QVariantList{subject});
            words->Add(id + 1, subject);
        } else {
            q.Exec(values);
        }
        ++id;
        if (passOn.isNull() && parent.isNull() && direction == 1)
            lastMain = id;
        if (i % 50000 == 49999) {
            if (words)
                words->Flush();
            c.ExecSQL(QStringLiteral("COMMIT"));
            c.ExecSQL(QStringLiteral("BEGIN"));
            std::fprintf(stderr, "  %d rows\n", i + 1);
        }
    }
    if (words)
        words->Flush();
    c.ExecSQL(QStringLiteral("COMMIT"));
    c.ExecSQL(sqlite   ? QStringLiteral("ANALYZE")
              : words ? QStringLiteral("ANALYZE TABLE ledgeritem, partner, document, user, subjectword")
                      : QStringLiteral("ANALYZE TABLE ledgeritem, partner, document, user"));
}

TConnectionParams FreshMariaDb(const QString &socket, const QString &user, const QString &password,
                               const QString &database)
{
    TConnectionParams params;
    params.Driver = QStringLiteral("QMYSQL");
    params.Socket = socket;
    params.User = user;
    params.Password = password;
    return FreshMariaDbOn(params, database);
}

TConnectionParams FreshMariaDbOn(TConnectionParams params, const QString &database)
{
    params.Database.clear();
    TZConnection admin;
    admin.SetParams(params);
    admin.Connect();
    // The name is the benchmark's own, never typed by a user.
    admin.ExecSQL(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(database));
    admin.ExecSQL(QStringLiteral("CREATE DATABASE `%1` CHARACTER SET utf8mb4").arg(database));
    params.Database = database;
    return params;
}

void FillBook(TZConnection &c, int rows, int years)
{
    InstallSchema(c);
    QElapsedTimer gen;
    gen.start();
    std::fprintf(stderr, "generating %d items on %s...\n", rows, c.Params().Driver == QLatin1String("QMYSQL") ? "MariaDB" : "SQLite");
    GenerateLedger(c, rows, years);
    std::printf("generated %d items in %.1f s\n", rows, gen.elapsed() / 1000.0);
}

IRef<BenchConsole> StandInConsole(TZConnection &c)
{
    IRef<BenchConsole> console(new BenchConsole);
    console->Security = IRef<BenchSecurity>(new BenchSecurity);
    console->Security->Conn = &c;
    return console;
}

void AddBenchOptions(QCommandLineParser &p, const char *defaultRows)
{
    p.addOption({"rows", "ledger items", "N", QString::fromLatin1(defaultRows)});
    p.addOption({"backend", "sqlite or mariadb", "NAME", "sqlite"});
    p.addOption({"socket", "MariaDB socket", "PATH"});
    p.addOption({"user", "MariaDB user", "NAME", "ledger"});
    p.addOption({"password", "MariaDB password", "PW", "ledger"});
}

bool IsMariaDb(const QCommandLineParser &p)
{
    return p.value("backend") == QLatin1String("mariadb");
}

TConnectionParams FreshDatabase(const QCommandLineParser &p, const QString &sqliteDir, const QString &mariaDbName)
{
    return IsMariaDb(p) ? FreshMariaDb(p.value("socket"), p.value("user"), p.value("password"), mariaDbName)
                        : FreshSqlite(sqliteDir);
}

TConnectionParams FreshSqlite(const QString &dir)
{
    TConnectionParams params;
    params.Database = QDir(dir).filePath(QStringLiteral("bench.db"));
    return params;
}

QString SqliteShellSql(const QString &sql)
{
    QString shellSql = sql;
    static const QRegularExpression concat(QStringLiteral("CONCAT\\(([^()]*)\\)"));
    QRegularExpressionMatch m;
    while ((m = concat.match(shellSql)).hasMatch())
        shellSql.replace(m.capturedStart(), m.capturedLength(),
                         u'(' + m.captured(1).split(u',').join(QStringLiteral("||")) + u')');
    return shellSql;
}

QStringList MariaDbClientArgs(const TConnectionParams &params)
{
    return {"--no-defaults", "--default-character-set=utf8mb4", "--socket=" + params.Socket, "-u" + params.User,
            "-p" + params.Password, params.Database};
}

void AddBookOptions(QCommandLineParser &p)
{
    p.addOption({"keep", "keep the generated book in DIR and use it again on the next run", "DIR"});
    p.addOption({"upto-step", "install the schema steps up to N only (a book of an older program)", "N"});
}

bool KeepsBook(const QCommandLineParser &p)
{
    return p.isSet("keep");
}

void TrimBook(TZConnection &c, int rows)
{
    // The generation writes no history and 50 users; the ids of items run from 1.
    c.ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid > ?"), {rows});
    c.ExecSQL(QStringLiteral("DELETE FROM user WHERE userid > 50"));
    if (c.TableExists(QStringLiteral("ledgerhistory"))) {
        // SQLite refuses deleting history: the generated book is the bench's own.
        const bool sqlite = c.Backend() == TBackend::SQLite;
        const QStringList triggers{QStringLiteral("tr_ledgerhistory_delete"), QStringLiteral("tr_ledgerhistoryvalue_delete")};
        if (sqlite)
            for (const QString &trigger : triggers)
                c.ExecSQL(QStringLiteral("DROP TRIGGER IF EXISTS ") + trigger);
        c.ExecSQL(QStringLiteral("DELETE FROM ledgerhistoryvalue"));
        c.ExecSQL(QStringLiteral("DELETE FROM ledgerhistory"));
        if (c.TableExists(QStringLiteral("historychain"))) {
            c.ExecSQL(QStringLiteral("UPDATE historychain SET entries = 0, headhash = ''"));
            if (sqlite)
                for (const QString &statement : SchemaStepStatements(c, 7))
                    if (triggers.contains(statement.section(u' ', 5, 5)))
                        c.ExecSQL(statement);
        }
    }
}

namespace {

void installUpTo(TZConnection &c, int step)
{
    for (int version = 1; version <= step; ++version) {
        for (const QString &statement : SchemaStepStatements(c, version))
            c.ExecSQL(statement);
        c.ExecSQL(QStringLiteral("INSERT INTO schemaversion (version, appliedat) VALUES (?, ?)"),
                  {version, TZConnection::DateTimeText(QDateTime::currentDateTime())});
    }
}

// One database per folder and size: two kept books never share one.
QString keptDatabase(const QDir &dir, int rows)
{
    const QByteArray hash = QCryptographicHash::hash(dir.absolutePath().toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return QStringLiteral("ledger_keep_%1_%2").arg(rows).arg(QString::fromLatin1(hash));
}

// A new book on params: the schema up to step, then rows generated.
void generateBook(TZConnection &c, const TConnectionParams &params, int rows, int step, const char *note)
{
    c.SetParams(params);
    c.Connect();
    installUpTo(c, step);
    QElapsedTimer gen;
    gen.start();
    GenerateLedger(c, rows);
    std::printf("generated %d items in %.1f s (schema step %d)%s\n", rows, gen.elapsed() / 1000.0, step, note);
}

} // namespace

TConnectionParams OpenBook(const QCommandLineParser &p, const QString &tempDir, TZConnection &c, int rows)
{
    const bool maria = IsMariaDb(p);
    const int step = p.isSet("upto-step") ? std::clamp(p.value("upto-step").toInt(), 1, CurrentSchemaVersion)
                                          : CurrentSchemaVersion;
    if (!KeepsBook(p)) {
        const TConnectionParams params = FreshDatabase(p, tempDir);
        generateBook(c, params, rows, step, "");
        return params;
    }
    const QDir dir(p.value("keep"));
    if (!QDir().mkpath(dir.path()))
        throw KException(QStringLiteral("Folder '%1' ne može da se napravi.").arg(dir.path()));
    const QString done = dir.filePath(QStringLiteral("ledger-%1-%2.done").arg(rows).arg(maria ? "mariadb" : "sqlite"));
    TConnectionParams params;
    if (QFile::exists(done)) {
        if (maria) {
            params.Driver = QStringLiteral("QMYSQL");
            params.Socket = p.value("socket");
            params.User = p.value("user");
            params.Password = p.value("password");
            params.Database = keptDatabase(dir, rows);
        } else {
            params.Database = dir.filePath(QStringLiteral("ledger-%1.db").arg(rows));
        }
        c.SetParams(params);
        c.Connect();
        const int before = SchemaVersion(c);
        if (!p.isSet("upto-step") && before < CurrentSchemaVersion) {
            UpgradeSchema(c);
            c.ExecSQL(maria ? QStringLiteral("ANALYZE TABLE ledgeritem, partner, document, user") : QStringLiteral("ANALYZE"));
        }
        TrimBook(c, rows);
        std::printf("kept book of %d items used again (schema step %d, now %d)\n", rows, before, SchemaVersion(c));
        return params;
    }
    if (maria) {
        params = FreshMariaDb(p.value("socket"), p.value("user"), p.value("password"), keptDatabase(dir, rows));
    } else {
        params = FreshSqlite(tempDir);
        params.Database = dir.filePath(QStringLiteral("ledger-%1.db").arg(rows));
        QFile::remove(params.Database);
    }
    generateBook(c, params, rows, step, ", kept for the next run");
    QFile marker(done);
    if (!marker.open(QIODevice::WriteOnly))
        throw KException(QStringLiteral("Oznaka '%1' ne može da se upiše.").arg(done));
    return params;
}

long ProcessStatusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toLong();
    return 0;
}

QStringList QueryPlan(TZConnection &c, const QString &sql, const QVariantList &params)
{
    QStringList out;
    auto q = c.OpenQuery((c.Backend() == TBackend::SQLite ? QStringLiteral("EXPLAIN QUERY PLAN ") : QStringLiteral("EXPLAIN ")) + sql,
                         params);
    const int n = q->record().count();
    while (q->next()) {
        QStringList cols;
        for (int i = 0; i < n; ++i)
            cols << q->value(i).toString();
        out << cols.join(u' ');
    }
    return out;
}
