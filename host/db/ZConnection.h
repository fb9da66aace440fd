#pragma once
// The database connection shared by the console and its modules. Wraps one
// QSqlDatabase: opens it (a file, or the first answering server of a list),
// makes it again when the server connection is lost, and runs statements.
// What differs between MariaDB/MySQL and SQLite is its dialect's
// (SqlDialect.h); the connection asks it.

#include "KException.h"
#include "KExport.h"
#include "SqlDialect.h"
#include "StoredForm.h"

#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QSqlQuery;

struct TConnectionParams
{
    QString Driver = QStringLiteral("QSQLITE"); // QSQLITE or QMYSQL
    QString Database;                           // file name for SQLite
    QString Host;
    int Port = 0;
    QString Socket;
    // Several servers in order of preference (ServerList.h); when given,
    // Host, Port and Socket are not used and Port is only the default port.
    QString Servers;
    QString User;
    QString Password;
    // Seconds. A read waits up to about three read time-outs (the client
    // tries three times) before it gives up on a server that does not answer.
    int ConnectTimeout = 10;
    int ReadTimeout = 30;
    int WriteTimeout = 30;
};

class KCOMMON_EXPORT TZConnection : public QObject
{
    Q_OBJECT
public:
    explicit TZConnection(QObject *parent = nullptr);
    ~TZConnection() override;

    void SetParams(const TConnectionParams &params);
    const TConnectionParams &Params() const { return m_params; }

    // Opens the connection; throws EDatabaseError with the driver's message.
    void Connect();
    void Disconnect();
    bool Connected() const;

    TBackend Backend() const { return m_dialect->Backend(); }
    // What differs between the backends, for the driver of Params().
    const TSqlDialect &Dialect() const { return *m_dialect; }
    // The params of the server this connection uses now: one of Servers, or
    // the one server of Params().
    TConnectionParams SessionParams() const;
    // The server in use, as a person names it (empty on SQLite).
    QString ServerText() const;
    // The server is a node of a Galera cluster. Its sessions wait for the
    // writes other nodes have committed before each statement, so a desk
    // reads what it would have read on one server.
    bool IsCluster() const { return m_cluster; }
    // The client library's own handle (sqlite3* or MYSQL*), for the
    // streaming reader.
    QVariant DriverHandle() const;

    // Runs one statement with bound parameters; throws on error and returns
    // the number of rows affected. A statement whose server connection turns
    // out to be lost is not repeated (it may have been carried out): the
    // connection is made again and the error says so.
    int ExecSQL(const QString &sql, const QVariantList &params = {});

    // Runs a read. When the server connection turns out to be lost (killed,
    // restarted, idle past the server's limit) before the read got anything,
    // the connection is made again, with its session settings, and the read
    // runs once more. Not inside a transaction, and not after a time-out.
    // got tells whether the read already received something.
    void Read(const std::function<void()> &read, const std::function<bool()> &got = {});
    // The key the database assigned to the last row inserted on this connection.
    qint64 LastInsertID();

    // Whether the database has a table of that name (its catalogue, not a cache).
    bool TableExists(const QString &table);

    // Columns of a table, read from the database's catalogue and cached.
    const std::vector<TColumnInfo> &TableColumns(const QString &table);
    QString PrimaryKey(const QString &table);

    // Value as it must be bound for this backend (StoredForm.h; date-times as
    // text on SQLite).
    QVariant ToBindValue(const QVariant &value) const;

    // Runs a forward-only SELECT; throws on error.
    std::unique_ptr<QSqlQuery> OpenQuery(const QString &sql, const QVariantList &params = {});

    // A statement prepared once and run many times with other values.
    class KCOMMON_EXPORT TPrepared
    {
    public:
        int Exec(const QVariantList &params); // rows affected; throws on error
        // The key of the row the last Exec inserted, as the driver reported it
        // (no round trip to the server).
        qint64 InsertedID() const;
        ~TPrepared();
        TPrepared(TPrepared &&) noexcept;

    private:
        friend class TZConnection;
        TPrepared(TZConnection &connection, std::unique_ptr<QSqlQuery> query, QString sql);
        TZConnection *m_connection;
        std::unique_ptr<QSqlQuery> m_query;
        QString m_sql;
    };
    TPrepared Prepare(const QString &sql); // throws on error

    static QString DateTimeText(const QDateTime &dt) { return StoredDateTime(dt); } // yyyy-MM-dd hh:mm:ss
    static QString DateText(const QDate &d) { return StoredDate(d); }                // yyyy-MM-dd

    // Values bound in searches. A typed prefix for "column LIKE ?": the
    // user's % and _ stay wildcards, and MySQL's LIKE escape character (the
    // backslash, even with NO_BACKSLASH_ESCAPES) is doubled to match itself.
    QString LikePrefix(const QString &typed) const;
    // "column starts with typed" as an index-backed condition, its values
    // appended to params; letters match without regard to case (Š = š) on
    // both backends. MariaDB gets column LIKE ? over its croatian_ci
    // collation. SQLite gets a range over the Serbian collation up to the
    // first % or _; the rest of a pattern with wildcards is checked by LIKE,
    // which on SQLite folds only ASCII letters.
    QString PrefixCondition(const QString &column, const QString &typed, QVariantList &params) const;
    // "column starts with typed" in any script, case and diacritics, over
    // the column's folded key (SerbianFold.h; an index over SERBIANFOLD(column)
    // on SQLite, the generated column columnfold on MariaDB, both in code
    // point order): key >= ? AND key < ? over the folded typed text up to its
    // first % or _, then key LIKE ? with the whole folded pattern when there
    // is a wildcard. Only for the columns the schema gives a key.
    QString FoldedPrefixCondition(const QString &column, const QString &typed, QVariantList &params) const;
    // The folded key of such a column as SQL: SERBIANFOLD(column) or columnfold.
    QString FoldedKey(const QString &column) const;
    // Whether a list's sort over numbers and dates is cheapest in its SELECT.
    // SQLite sorts in this process as it reads, sparing the sort of the loaded
    // rows; a MariaDB server sorts before it sends anything, which costs more
    // than the sort in memory, so there the rows come as the server has them.
    bool SortsInSelect() const { return m_dialect->SortsInSelect(); }
    // Whether a table with these columns is stored in the order of its key,
    // so that reading it whole in that order is reading it front to back: an
    // SQLite table whose key is one INTEGER column (its rowid).
    bool KeyIsStorageOrder(const std::vector<TColumnInfo> &columns) const;
    // column as ORDER BY must name it for text in the Serbian order.
    QString TextOrder(const QString &column) const;
    // Why a typed search text cannot be searched for on this backend (a NUL
    // character; on SQLite a pattern over its LIKE limit), or empty text.
    QString SearchTextProblem(const QString &typed) const;
    // The first and the last second of a day written yyyy-MM-dd.
    static QString DayStart(const QString &day) { return day + QStringLiteral(" 00:00:00"); }
    static QString DayEnd(const QString &day) { return day + QStringLiteral(" 23:59:59"); }

    // The server connection is gone (cut while waiting); made again on next use.
    void MarkLost() { m_broken = true; }

    // While a read runs on another thread, nothing else may use the
    // connection: every statement is refused meanwhile (the windows keep
    // painting, and a timer may fire).
    class TBusy
    {
    public:
        explicit TBusy(TZConnection &c) : m_c(c) { m_c.m_busy = true; }
        ~TBusy() { m_c.m_busy = false; }
        TBusy(const TBusy &) = delete;
        TBusy &operator=(const TBusy &) = delete;

    private:
        TZConnection &m_c;
    };

    // Counted by TZTransaction: a lost connection loses the transaction too.
    void TransactionStarted() { ++m_transactions; }
    void TransactionEnded() { --m_transactions; }
    // True while a TZTransaction is open on this connection.
    bool InTransaction() const { return m_transactions > 0; }
    // A cluster node gave up the last transaction for another node's write
    // (TZTransaction found it out); reading the mark clears it.
    void NoteGivenUpTransaction() { m_givenUp = true; }
    // Counts the server sessions this connection has opened: a transaction
    // begun in an earlier one was lost with it.
    quint64 SessionSerial() const { return m_sessions; }
    bool TakeGivenUpTransaction() { return std::exchange(m_givenUp, false); }

private:
    QSqlDatabase Database() const;
    // Opens the first server that answers and is ready, trying them in
    // order from the one at first (wrapping round).
    void openDatabase(size_t first);
    void openOn(const struct TServerAddress &server);
    std::vector<struct TServerAddress> servers() const;
    void ensureOpen();
    // Refuses a statement while a read runs on another thread.
    void checkIdle() const;
    void run(QSqlQuery &q, const QString &sql, const QVariantList &params) const;
    int exec(const QString &sql, const QVariantList &params);
    std::unique_ptr<QSqlQuery> openQuery(const QString &sql, const QVariantList &params);
    // A lost connection found while running a statement: made again when it
    // can be, and the error to throw.
    EDatabaseError lost(const EDatabaseError &error, qint64 elapsedMs);
    void prepareSession();
    [[noreturn]] void raise(const QSqlQuery &q, const QString &context) const;

    TConnectionParams m_params;
    QString m_name;
    std::unique_ptr<TSqlDialect> m_dialect;
    QHash<QString, std::vector<TColumnInfo>> m_columns;
    int m_transactions = 0;
    bool m_broken = false; // the server connection was lost; made again on next use
    bool m_cluster = false;
    bool m_opening = false; // the session is being set up
    bool m_givenUp = false;
    quint64 m_sessions = 0;
    size_t m_server = 0;   // index into the server list of the one in use
    TConnectionParams m_session;
    bool m_busy = false;
};

// True when the error says the server connection is gone.
KCOMMON_EXPORT bool IsConnectionLost(const EDatabaseError &error);

// The SQL string literal of a text: single quotes around it, inner quotes
// doubled. Sound on both backends because MySQL sessions run with
// NO_BACKSLASH_ESCAPES.
KCOMMON_EXPORT QString QuotedStr(const QString &text);

// True when the database gave up a transaction because another one wrote the
// same rows at the same time: an InnoDB deadlock, or on a cluster another
// node's write certified first (MariaDB 1213). Nothing of it was stored.
KCOMMON_EXPORT bool IsWriteConflict(const EDatabaseError &error);

// True when the error is the database refusing a duplicate in a unique key
// (MariaDB 1062, SQLite 2067 / 1555).
KCOMMON_EXPORT bool IsUniqueViolation(const class EDatabaseError &error);
