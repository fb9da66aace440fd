#include "ZConnection.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "ServerList.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <optional>

namespace {

QAtomicInt g_connectionSerial;

} // namespace

QString QuotedStr(const QString &text)
{
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return u'\'' + out + u'\'';
}

TZConnection::TZConnection(QObject *parent)
    : QObject(parent)
    , m_name(QStringLiteral("kconn_%1").arg(g_connectionSerial.fetchAndAddRelaxed(1)))
    , m_dialect(MakeSqlDialect(m_params.Driver))
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
    m_dialect = MakeSqlDialect(params.Driver);
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
    const bool mysql = Backend() == TBackend::MySQL;
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
            throw EDatabaseError(UiText(u"Veza sa bazom podataka nije uspostavljena."),
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
        throw EDatabaseError(UiText(u"Veza sa bazom podataka nije uspostavljena."), db.lastError().nativeErrorCode(),
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
    throw EDatabaseError(UiText(u"Nijedan server baze podataka iz liste nije dostupan."), last->nativeCode(),
                         failures.join(u'\n'));
}

TConnectionParams TZConnection::SessionParams() const
{
    return m_session;
}

QString TZConnection::ServerText() const
{
    if (Backend() != TBackend::MySQL)
        return {};
    return TServerAddress{m_session.Host, m_session.Port, m_session.Socket}.Text();
}

void TZConnection::checkIdle() const
{
    if (m_busy)
        throw EDatabaseError(UiText(u"Baza podataka još radi na prethodnom upitu."));
}

void TZConnection::ensureOpen()
{
    // A connection lost and not made again is tried again on every use.
    if (!m_broken && !Connected())
        throw EDatabaseError(UiText(u"Veza sa bazom podataka nije otvorena."));
    checkIdle();
    if (!m_broken)
        return;
    Database().close();
    try {
        // The server that was lost is the last one tried: a node that died
        // does not cost the desk a connect time-out first.
        openDatabase(m_server + 1);
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(UiText(u"Veza sa serverom baze podataka je prekinuta i nije ponovo uspostavljena."),
                             e.nativeCode(), e.details());
    }
}

EDatabaseError TZConnection::lost(const EDatabaseError &error, qint64 elapsedMs)
{
    m_broken = true;
    // The client gives up only after about three read time-outs.
    if (elapsedMs >= qint64(qMax(1, m_params.ReadTimeout)) * 1000 - 500)
        return EDatabaseError(UiText(u"Server baze podataka ne odgovara (čekano %1 s); naredba je prekinuta. "
                                 u"Pokušajte ponovo malo kasnije.")
                                  .arg(elapsedMs / 1000),
                              error.nativeCode(), error.details());
    try {
        ensureOpen();
    } catch (const EDatabaseError &again) {
        return again;
    }
    return EDatabaseError(UiText(u"Veza sa serverom baze podataka je bila prekinuta i ponovo je uspostavljena. "
                             u"Izmena možda nije sačuvana: proverite je i sačuvajte ponovo."),
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
    m_cluster = m_dialect->PrepareSession(*this);
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
    return m_dialect->BindValue(value);
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
        throw EDatabaseError(UiText(u"Veza sa bazom podataka nije otvorena."));
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

qint64 TZConnection::TPrepared::InsertedID() const
{
    return m_query->lastInsertId().toLongLong();
}

qint64 TZConnection::LastInsertID()
{
    auto q = OpenQuery(m_dialect->LastInsertIdSql());
    return q->next() ? q->value(0).toLongLong() : 0;
}

bool TZConnection::TableExists(const QString &table)
{
    auto q = OpenQuery(m_dialect->TableExistsSql(), {table});
    return q->next() && q->value(0).toInt() > 0;
}

const std::vector<TColumnInfo> &TZConnection::TableColumns(const QString &table)
{
    const QString key = table.toLower();
    auto it = m_columns.find(key);
    if (it != m_columns.end())
        return *it;
    std::vector<TColumnInfo> cols = m_dialect->ReadColumns(*this, table);
    if (cols.empty())
        throw EDatabaseError(UiText(u"Tabela '%1' ne postoji.").arg(table));
    return *m_columns.insert(key, std::move(cols));
}

QString TZConnection::PrimaryKey(const QString &table)
{
    for (const TColumnInfo &c : TableColumns(table))
        if (c.PrimaryKey)
            return c.Name;
    return {};
}

QString TZConnection::LikePrefix(const QString &typed) const
{
    return m_dialect->LikePrefix(typed);
}

QString TZConnection::PrefixCondition(const QString &column, const QString &typed, QVariantList &params) const
{
    return m_dialect->PrefixCondition(column, typed, params);
}

QString TZConnection::FoldedPrefixCondition(const QString &column, const QString &typed, QVariantList &params) const
{
    return m_dialect->FoldedPrefixCondition(column, typed, params);
}

QString TZConnection::FoldedKey(const QString &column) const
{
    return m_dialect->FoldedKey(column);
}

bool TZConnection::KeyIsStorageOrder(const std::vector<TColumnInfo> &columns) const
{
    return m_dialect->KeyIsStorageOrder(columns);
}

QString TZConnection::TextOrder(const QString &column) const
{
    return m_dialect->TextOrder(column);
}

QString TZConnection::SearchTextProblem(const QString &typed) const
{
    if (typed.contains(QChar(u'\0')))
        return UiText(u"sadrži nedozvoljen znak (NUL).");
    const int limit = m_dialect->LikePatternLimit(*this);
    // The pattern is the text, a doubled character here and there, and the closing %.
    if (limit > 0 && LikePrefix(typed).toUtf8().size() > limit)
        return UiText(u"je predugačak za pretragu (najviše %1 znakova).").arg(limit - 1);
    return {};
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
