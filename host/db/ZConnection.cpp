#include "ZConnection.h"

#include "StoredForm.h"
#include "KException.h"
#include "RowStream.h"
#include "SerbianCollation.h"
#include "ServerList.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <optional>
#include <sqlite3.h>

#include <cstring>
#include <string>

namespace {

QAtomicInt g_connectionSerial;

// MySQL's CONCAT: NULL when any argument is NULL, else the texts joined.
// A list calls it several times a row: a result that fits the stack buffer
// costs no allocation (SQLite copies it).
void sqliteConcat(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    char buffer[512];
    size_t used = 0;
    std::string spill; // once the buffer is too small
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[i]));
        const auto len = size_t(sqlite3_value_bytes(argv[i]));
        if (!text && len) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
        if (spill.empty() && used + len <= sizeof buffer) {
            if (len)
                std::memcpy(buffer + used, text, len);
            used += len;
            continue;
        }
        if (spill.empty())
            spill.assign(buffer, used);
        spill.append(text, len);
    }
    if (spill.empty())
        sqlite3_result_text(ctx, buffer, int(used), SQLITE_TRANSIENT);
    else
        sqlite3_result_text64(ctx, spill.data(), spill.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

int serbianCollation(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    return SerbianCompareUtf8({static_cast<const char *>(a), size_t(lengthA)},
                              {static_cast<const char *>(b), size_t(lengthB)});
}

bool mysqlDriver(const QString &driver)
{
    return driver.compare(QLatin1String("QMYSQL"), Qt::CaseInsensitive) == 0
        || driver.compare(QLatin1String("QMARIADB"), Qt::CaseInsensitive) == 0;
}

QString unquoteDefault(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'\'') && text.endsWith(u'\''))
        return text.mid(1, text.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return text;
}

} // namespace

// The SQLite library's own handle of a connection, or null.
static sqlite3 *sqliteHandle(const TZConnection &connection)
{
    const QVariant handle = connection.DriverHandle();
    return handle.isValid() ? *static_cast<sqlite3 *const *>(handle.data()) : nullptr;
}

QString QuotedStr(const QString &text)
{
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return u'\'' + out + u'\'';
}

TZConnection::TZConnection(QObject *parent)
    : QObject(parent)
    , m_name(QStringLiteral("kconn_%1").arg(g_connectionSerial.fetchAndAddRelaxed(1)))
{
}

TZConnection::~TZConnection()
{
    Disconnect();
    QSqlDatabase::removeDatabase(m_name);
}

void TZConnection::SetParams(const TConnectionParams &params)
{
    Disconnect();
    m_params = params;
    // Known before the first connect: texts for conditions follow the backend.
    m_backend = mysqlDriver(params.Driver) ? TBackend::MySQL : TBackend::SQLite;
}

QSqlDatabase TZConnection::Database() const
{
    return QSqlDatabase::database(m_name, false);
}

QVariant TZConnection::DriverHandle() const
{
    return Database().driver()->handle();
}

bool TZConnection::Connected() const
{
    return QSqlDatabase::contains(m_name) && Database().isOpen();
}

void TZConnection::Connect()
{
    if (Connected())
        return;
    m_columns.clear();
    const bool mysql = mysqlDriver(m_params.Driver);
    m_backend = mysql ? TBackend::MySQL : TBackend::SQLite;
    const QString driver = mysql ? QStringLiteral("QMYSQL") : QStringLiteral("QSQLITE");
    // Params that name the other backend need that backend's driver.
    if (QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).driverName() != driver)
        QSqlDatabase::removeDatabase(m_name);
    QSqlDatabase db = QSqlDatabase::contains(m_name)
        ? QSqlDatabase::database(m_name, false)
        : QSqlDatabase::addDatabase(driver, m_name);
    db.setDatabaseName(m_params.Database);
    m_cluster = false;
    m_server = 0;
    if (!mysql) {
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        m_session = m_params;
        if (!db.open())
            throw EDatabaseError(QStringLiteral("Veza sa bazom podataka nije uspostavljena."),
                                 db.lastError().nativeErrorCode(), db.lastError().text());
        m_broken = false;
        prepareSession();
        return;
    }
    db.setUserName(m_params.User);
    db.setPassword(m_params.Password);
    openDatabase(0);
}

std::vector<TServerAddress> TZConnection::servers() const
{
    if (!m_params.Servers.trimmed().isEmpty()) {
        auto list = ParseServerList(m_params.Servers, m_params.Port > 0 ? m_params.Port : 3306);
        if (!list.empty())
            return list;
    }
    return {TServerAddress{m_params.Host, m_params.Port, m_params.Socket}};
}

void TZConnection::openOn(const TServerAddress &server)
{
    QSqlDatabase db = Database();
    db.setHostName(server.Host);
    db.setPort(server.Port > 0 ? server.Port : -1);
    // Found rows: an UPDATE that writes unchanged values still counts its row.
    // The time-outs keep a server that stopped answering from freezing the desk.
    QString options = QStringLiteral("CLIENT_FOUND_ROWS=1;MYSQL_OPT_CONNECT_TIMEOUT=%1;MYSQL_OPT_READ_TIMEOUT=%2;"
                                     "MYSQL_OPT_WRITE_TIMEOUT=%3")
                          .arg(qMax(1, m_params.ConnectTimeout))
                          .arg(qMax(1, m_params.ReadTimeout))
                          .arg(qMax(1, m_params.WriteTimeout));
    if (!server.Socket.isEmpty())
        options += QStringLiteral(";UNIX_SOCKET=") + server.Socket;
    db.setConnectOptions(options);
    if (!db.open())
        throw EDatabaseError(QStringLiteral("Veza sa bazom podataka nije uspostavljena."), db.lastError().nativeErrorCode(),
                             db.lastError().text());
    m_broken = false;
    ++m_sessions;
    // A statement of the session's set-up that fails goes to openDatabase,
    // which tries the next server: it must not reconnect on its own.
    m_opening = true;
    try {
        prepareSession();
    } catch (...) {
        m_opening = false;
        db.close();
        throw;
    }
    m_opening = false;
}

void TZConnection::openDatabase(size_t first)
{
    const std::vector<TServerAddress> list = servers();
    QStringList failures;
    std::optional<EDatabaseError> last;
    for (size_t i = 0; i < list.size(); ++i) {
        const size_t at = (first + i) % list.size();
        const TServerAddress &server = list[at];
        m_session = m_params;
        m_session.Servers.clear();
        m_session.Host = server.Host;
        m_session.Port = server.Port;
        m_session.Socket = server.Socket;
        try {
            openOn(server);
            m_server = at;
            return;
        } catch (const EDatabaseError &e) {
            failures << server.Text() + QStringLiteral(": ") + (e.details().isEmpty() ? e.message() : e.details());
            last = e;
        }
    }
    if (list.size() == 1)
        throw *last;
    throw EDatabaseError(QStringLiteral("Nijedan server baze podataka iz liste nije dostupan."), last->nativeCode(),
                         failures.join(u'\n'));
}

TConnectionParams TZConnection::SessionParams() const
{
    return m_session;
}

QString TZConnection::ServerText() const
{
    if (m_backend != TBackend::MySQL)
        return {};
    return TServerAddress{m_session.Host, m_session.Port, m_session.Socket}.Text();
}

void TZConnection::checkIdle() const
{
    if (m_busy)
        throw EDatabaseError(QStringLiteral("Baza podataka još radi na prethodnom upitu."));
}

void TZConnection::ensureOpen()
{
    // A connection lost and not made again is tried again on every use.
    if (!m_broken && !Connected())
        throw EDatabaseError(QStringLiteral("Veza sa bazom podataka nije otvorena."));
    checkIdle();
    if (!m_broken)
        return;
    Database().close();
    try {
        // The server that was lost is the last one tried: a node that died
        // does not cost the desk a connect time-out first.
        openDatabase(m_server + 1);
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(QStringLiteral("Veza sa serverom baze podataka je prekinuta i nije ponovo uspostavljena."),
                             e.nativeCode(), e.details());
    }
}

EDatabaseError TZConnection::lost(const EDatabaseError &error, qint64 elapsedMs)
{
    m_broken = true;
    // The client gives up only after about three read time-outs.
    if (elapsedMs >= qint64(qMax(1, m_params.ReadTimeout)) * 1000 - 500)
        return EDatabaseError(QStringLiteral("Server baze podataka ne odgovara (čekano %1 s); naredba je prekinuta. "
                                             "Pokušajte ponovo malo kasnije.")
                                  .arg(elapsedMs / 1000),
                              error.nativeCode(), error.details());
    try {
        ensureOpen();
    } catch (const EDatabaseError &again) {
        return again;
    }
    return EDatabaseError(QStringLiteral("Veza sa serverom baze podataka je bila prekinuta i ponovo je uspostavljena. "
                                         "Izmena možda nije sačuvana: proverite je i sačuvajte ponovo."),
                          error.nativeCode(), error.details());
}

void TZConnection::Read(const std::function<void()> &read, const std::function<bool()> &got)
{
    for (int attempt = 0;; ++attempt) {
        ensureOpen();
        QElapsedTimer timer;
        timer.start();
        try {
            read();
            return;
        } catch (const EDatabaseError &e) {
            if (!IsConnectionLost(e) || m_opening)
                throw;
            const bool repeat = attempt == 0 && m_transactions == 0 && !(got && got())
                && timer.elapsed() < qint64(qMax(1, m_params.ReadTimeout)) * 1000 - 500;
            if (!repeat)
                throw lost(e, timer.elapsed());
            m_broken = true;
        }
    }
}

void TZConnection::prepareSession()
{
    QSqlDatabase db = Database();
    if (m_backend == TBackend::MySQL) {
        ExecSQL(QStringLiteral("SET NAMES utf8mb4"));
        ExecSQL(QStringLiteral("SET SESSION sql_mode = CONCAT_WS(',', NULLIF(@@SESSION.sql_mode, ''), "
                               "'NO_BACKSLASH_ESCAPES')"));
        CheckStreamingClient(*this);
        prepareClusterSession();
        return;
    }
    // Before anything of ours touches the driver's handle.
    CheckStreamingClient(*this);
    sqlite3 *sqlite = sqliteHandle(*this);
    if (!sqlite)
        throw EDatabaseError(QStringLiteral("SQLite veza nema svoj rukohvat."));
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function(sqlite, "CONCAT", -1, flags, nullptr, sqliteConcat, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError(QStringLiteral("SQLite funkcija CONCAT nije registrovana."));
    // Before the schema is read: its indexes name the collation.
    if (sqlite3_create_collation_v2(sqlite, SerbianCollationName, SQLITE_UTF8, nullptr, serbianCollation, nullptr)
        != SQLITE_OK)
        throw EDatabaseError(QStringLiteral("SQLite poređenje %1 nije registrovano.").arg(QLatin1String(SerbianCollationName)));
    ExecSQL(QStringLiteral("PRAGMA foreign_keys = ON"));
}

namespace {
// One row of SHOW VARIABLES / SHOW STATUS: its value, or empty when the
// server has no such variable (MySQL has no wsrep_*).
QString shownValue(TZConnection &connection, const QString &sql)
{
    auto q = connection.OpenQuery(sql);
    return q->next() ? q->value(1).toString() : QString();
}
} // namespace

void TZConnection::prepareClusterSession()
{
    m_cluster = shownValue(*this, QStringLiteral("SHOW VARIABLES LIKE 'wsrep_on'")).compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0;
    if (!m_cluster)
        return;
    // A node that is still joining, or cut off from the majority, refuses
    // statements; the desk takes the next server instead.
    if (shownValue(*this, QStringLiteral("SHOW STATUS LIKE 'wsrep_ready'")).compare(QLatin1String("ON"), Qt::CaseInsensitive) != 0)
        throw EDatabaseError(QStringLiteral("Server nije spreman: nije usklađen sa ostalim serverima klastera."),
                             QStringLiteral("1047"));
    // Every statement first waits until this node has applied what the
    // others committed: the next number counts the item another office
    // saved a moment ago, and a retried write meets its duplicate here.
    ExecSQL(QStringLiteral("SET SESSION wsrep_sync_wait = 15"));
    // A held row's claim orders two nodes' transactions, but under repeatable
    // read a transaction may still read from a snapshot older than the other
    // node's commit it waited for. Each statement reads the latest commits.
    ExecSQL(QStringLiteral("SET SESSION TRANSACTION ISOLATION LEVEL READ COMMITTED"));
}

void TZConnection::Disconnect()
{
    if (QSqlDatabase::contains(m_name)) {
        QSqlDatabase db = Database();
        if (db.isOpen())
            db.close();
    }
    m_broken = false;
    m_columns.clear();
}

void TZConnection::raise(const QSqlQuery &q, const QString &context) const
{
    const QSqlError err = q.lastError();
    QString text = err.databaseText().isEmpty() ? err.text() : err.databaseText();
    throw EDatabaseError::FromServer(text, err.nativeErrorCode(), context);
}

QVariant TZConnection::ToBindValue(const QVariant &value) const
{
    if (value.isNull())
        return value;
    if (m_backend == TBackend::SQLite) {
        if (value.typeId() == QMetaType::QDateTime)
            return DateTimeText(value.toDateTime());
        if (value.typeId() == QMetaType::QDate)
            return DateText(value.toDate());
    }
    if (value.typeId() == QMetaType::QDateTime) {
        // MySQL rounds a fraction of a second (23:59:59.6 would become the
        // next day); MariaDB and the SQLite text drop it. Drop it everywhere.
        QDateTime dt = value.toDateTime();
        if (!dt.isValid())
            return value;
        const QTime t = dt.time();
        dt.setTime(QTime(t.hour(), t.minute(), t.second()));
        return dt;
    }
    if (value.typeId() == QMetaType::Bool)
        return StoredFlag(value.toBool());
    return value;
}

int TZConnection::ExecSQL(const QString &sql, const QVariantList &params)
{
    ensureOpen();
    QElapsedTimer timer;
    timer.start();
    try {
        return exec(sql, params);
    } catch (const EDatabaseError &e) {
        if (IsConnectionLost(e) && !m_opening)
            throw lost(e, timer.elapsed());
        throw;
    }
}

// Runs sql on q, prepared and bound when there are values; throws on error.
void TZConnection::run(QSqlQuery &q, const QString &sql, const QVariantList &params) const
{
    bool ok;
    if (params.isEmpty()) {
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        if (ok) {
            for (const QVariant &p : params)
                q.addBindValue(ToBindValue(p));
            ok = q.exec();
        }
    }
    if (!ok)
        raise(q, sql);
}

int TZConnection::exec(const QString &sql, const QVariantList &params)
{
    QSqlQuery q(Database());
    run(q, sql, params);
    return q.numRowsAffected();
}

std::unique_ptr<QSqlQuery> TZConnection::OpenQuery(const QString &sql, const QVariantList &params)
{
    std::unique_ptr<QSqlQuery> result;
    // The driver has the whole result once the statement ran.
    Read([&] { result = openQuery(sql, params); });
    return result;
}

std::unique_ptr<QSqlQuery> TZConnection::openQuery(const QString &sql, const QVariantList &params)
{
    auto q = std::make_unique<QSqlQuery>(Database());
    q->setForwardOnly(true);
    run(*q, sql, params);
    return q;
}

TZConnection::TPrepared TZConnection::Prepare(const QString &sql)
{
    if (!Connected())
        throw EDatabaseError(QStringLiteral("Veza sa bazom podataka nije otvorena."));
    checkIdle();
    auto q = std::make_unique<QSqlQuery>(Database());
    if (!q->prepare(sql))
        raise(*q, sql);
    return TPrepared(*this, std::move(q), sql);
}

TZConnection::TPrepared::TPrepared(TZConnection &connection, std::unique_ptr<QSqlQuery> query, QString sql)
    : m_connection(&connection), m_query(std::move(query)), m_sql(std::move(sql))
{
}

TZConnection::TPrepared::TPrepared(TPrepared &&) noexcept = default;
TZConnection::TPrepared::~TPrepared() = default;

int TZConnection::TPrepared::Exec(const QVariantList &params)
{
    m_connection->checkIdle();
    for (int i = 0; i < params.size(); ++i)
        m_query->bindValue(i, m_connection->ToBindValue(params.at(i)));
    if (!m_query->exec())
        m_connection->raise(*m_query, m_sql);
    return m_query->numRowsAffected();
}

qint64 TZConnection::LastInsertID()
{
    auto q = OpenQuery(m_backend == TBackend::MySQL ? QStringLiteral("SELECT LAST_INSERT_ID()")
                                                     : QStringLiteral("SELECT last_insert_rowid()"));
    return q->next() ? q->value(0).toLongLong() : 0;
}

bool TZConnection::TableExists(const QString &table)
{
    const QString sql = m_backend == TBackend::MySQL
        ? QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() "
                         "AND TABLE_NAME = ?")
        : QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ?");
    auto q = OpenQuery(sql, {table});
    return q->next() && q->value(0).toInt() > 0;
}

const std::vector<TColumnInfo> &TZConnection::TableColumns(const QString &table)
{
    const QString key = table.toLower();
    auto it = m_columns.find(key);
    if (it != m_columns.end())
        return *it;
    std::vector<TColumnInfo> cols;
    if (m_backend == TBackend::MySQL) {
        // Read as a list is read: the first list of the day does not freeze
        // the window on a server that stopped answering.
        struct Collector : TRowReceiver
        {
            std::vector<std::vector<QVariant>> Rows;
            void Columns(const QStringList &, const std::vector<TFieldType> &) override {}
            void Row(const char *const *values, const size_t *lengths) override
            {
                std::vector<QVariant> row;
                for (int i = 0; i < 7; ++i)
                    row.push_back(values[i] ? QVariant(QString::fromUtf8(values[i], qsizetype(lengths[i]))) : QVariant());
                Rows.push_back(std::move(row));
            }
        } columns;
        StreamQuery(*this,
                    QStringLiteral("SELECT COLUMN_NAME, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH, IS_NULLABLE, COLUMN_KEY, EXTRA, "
                                   "COLUMN_DEFAULT FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() "
                                   "AND TABLE_NAME = ? ORDER BY ORDINAL_POSITION"),
                    {table}, columns);
        for (const std::vector<QVariant> &v : columns.Rows) {
            TColumnInfo c;
            c.Name = v[0].toString();
            c.TypeName = v[1].toString().toLower();
            c.Length = v[2].toInt();
            c.NotNull = v[3].toString() == QLatin1String("NO");
            c.PrimaryKey = v[4].toString() == QLatin1String("PRI");
            const QString extra = v[5].toString().toLower();
            c.AutoIncrement = extra.contains(QLatin1String("auto_increment"));
            c.Generated = extra.contains(QLatin1String("generated"));
            const QVariant def = v[6];
            c.HasDefault = !def.isNull() && def.toString().compare(QLatin1String("NULL"), Qt::CaseInsensitive) != 0;
            if (c.HasDefault)
                c.DefaultText = unquoteDefault(def.toString());
            cols.push_back(c);
        }
    } else {
        auto q = OpenQuery(QStringLiteral("PRAGMA table_xinfo(%1)").arg(QuotedStr(table)));
        while (q->next()) {
            TColumnInfo c;
            c.Name = q->value(1).toString();
            QString type = q->value(2).toString().toLower();
            const int paren = type.indexOf(u'(');
            if (paren > 0) {
                c.Length = type.mid(paren + 1).section(u')', 0, 0).toInt();
                type = type.left(paren).trimmed();
            }
            c.TypeName = type;
            c.NotNull = q->value(3).toInt() != 0;
            const QVariant def = q->value(4);
            c.HasDefault = !def.isNull() && def.toString().compare(QLatin1String("NULL"), Qt::CaseInsensitive) != 0;
            if (c.HasDefault)
                c.DefaultText = unquoteDefault(def.toString());
            c.PrimaryKey = q->value(5).toInt() > 0;
            c.AutoIncrement = c.PrimaryKey && c.TypeName == QLatin1String("integer");
            c.Generated = q->value(6).toInt() >= 2;
            cols.push_back(c);
        }
    }
    if (cols.empty())
        throw EDatabaseError(QStringLiteral("Tabela '%1' ne postoji.").arg(table));
    return *m_columns.insert(key, std::move(cols));
}

QString TZConnection::PrimaryKey(const QString &table)
{
    for (const TColumnInfo &c : TableColumns(table))
        if (c.PrimaryKey)
            return c.Name;
    return {};
}

QString TZConnection::DateTimeText(const QDateTime &dt)
{
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString TZConnection::LikePrefix(const QString &typed) const
{
    QString pattern = typed;
    if (m_backend == TBackend::MySQL)
        pattern.replace(u'\\', QStringLiteral("\\\\"));
    return pattern + u'%';
}

QString TZConnection::PrefixCondition(const QString &column, const QString &typed, QVariantList &params) const
{
    if (m_backend == TBackend::MySQL) {
        params << LikePrefix(typed);
        return column + QStringLiteral(" LIKE ?");
    }
    QStringList conditions;
    qsizetype wildcard = 0;
    while (wildcard < typed.size() && typed.at(wildcard) != u'%' && typed.at(wildcard) != u'_')
        ++wildcard;
    const QStringView literal = QStringView(typed).left(wildcard);
    if (!literal.isEmpty()) {
        const QString collated = column + QStringLiteral(" COLLATE ") + QLatin1String(SerbianCollationName);
        conditions << collated + QStringLiteral(" >= ?") << collated + QStringLiteral(" < ?");
        params << SerbianPrefixLow(literal) << SerbianPrefixHigh(literal);
    }
    if (wildcard < typed.size()) {
        // The range has matched the literal part already, one _ a character.
        conditions << column + QStringLiteral(" LIKE ?");
        params << QString(literal.toUcs4().size(), u'_') + LikePrefix(typed.mid(wildcard));
    }
    return conditions.join(QStringLiteral(" AND "));
}

bool TZConnection::KeyIsStorageOrder(const std::vector<TColumnInfo> &columns) const
{
    if (m_backend != TBackend::SQLite)
        return false;
    const auto keys = std::count_if(columns.begin(), columns.end(), [](const TColumnInfo &c) { return c.PrimaryKey; });
    return keys == 1 && std::any_of(columns.begin(), columns.end(), [](const TColumnInfo &c) {
               return c.PrimaryKey && c.TypeName == QLatin1String("integer");
           });
}

QString TZConnection::TextOrder(const QString &column) const
{
    return m_backend == TBackend::SQLite ? column + QStringLiteral(" COLLATE ") + QLatin1String(SerbianCollationName)
                                         : column;
}

QString TZConnection::SearchTextProblem(const QString &typed) const
{
    if (typed.contains(QChar(u'\0')))
        return QStringLiteral("sadrži nedozvoljen znak (NUL).");
    if (m_backend != TBackend::SQLite || !Connected())
        return {};
    sqlite3 *sqlite = sqliteHandle(*this);
    const int limit = sqlite ? sqlite3_limit(sqlite, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1) : 0;
    // The pattern is the text, a doubled character here and there, and the closing %.
    if (limit > 0 && LikePrefix(typed).toUtf8().size() > limit)
        return QStringLiteral("je predugačak za pretragu (najviše %1 znakova).").arg(limit - 1);
    return {};
}

QString TZConnection::DateText(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

bool IsConnectionLost(const EDatabaseError &error)
{
    // Gone away, lost during the statement, killed, shut down, idle too long.
    static const QStringList codes{QStringLiteral("2006"), QStringLiteral("2013"), QStringLiteral("2055"),
                                   QStringLiteral("1927"), QStringLiteral("1053"), QStringLiteral("4031"),
                                   QStringLiteral("2002"), QStringLiteral("2003"),
                                   // A cluster node cut off from the others, or not yet joined.
                                   QStringLiteral("1047")};
    return codes.contains(error.nativeCode());
}

bool IsWriteConflict(const EDatabaseError &error)
{
    return error.nativeCode() == QLatin1String("1213");
}

bool IsUniqueViolation(const EDatabaseError &error)
{
    const QString &code = error.nativeCode();
    return code == QLatin1String("1062") || code == QLatin1String("2067") || code == QLatin1String("1555");
}
