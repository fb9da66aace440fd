#include "RowStream.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "RowPipe.h"
#include "ServerWait.h"
#include "StoredForm.h"
#include "ZConnection.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <mysql.h>
#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <memory>

namespace {

TFieldType mysqlType(const MYSQL_FIELD &f)
{
    switch (f.type) {
    case MYSQL_TYPE_TINY: case MYSQL_TYPE_SHORT: case MYSQL_TYPE_YEAR: return TFieldType::Integer;
    case MYSQL_TYPE_LONG: case MYSQL_TYPE_INT24: case MYSQL_TYPE_LONGLONG: return TFieldType::Largeint;
    case MYSQL_TYPE_DECIMAL: case MYSQL_TYPE_NEWDECIMAL: case MYSQL_TYPE_FLOAT: case MYSQL_TYPE_DOUBLE:
        return TFieldType::Float;
    case MYSQL_TYPE_DATETIME: case MYSQL_TYPE_TIMESTAMP: return TFieldType::DateTime;
    case MYSQL_TYPE_DATE: case MYSQL_TYPE_NEWDATE: return TFieldType::Date;
    default: return TFieldType::String;
    }
}

// SQLite reports the declared type of a table column; expressions have none.
TFieldType sqliteType(const char *declared)
{
    if (!declared)
        return TFieldType::String;
    const QByteArray t = QByteArray(declared).toUpper();
    if (t.contains("INT"))
        return TFieldType::Largeint;
    if (t.contains("REAL") || t.contains("FLOA") || t.contains("DOUB") || t.contains("DECIMAL") || t.contains("NUMERIC"))
        return TFieldType::Float;
    return TFieldType::String;
}

// The driver's handle; its type is named after the C struct or its typedef.
template <class Handle>
Handle *driverHandle(TZConnection &connection, const char *typeName, const char *structName)
{
    const QVariant h = connection.DriverHandle();
    if (!h.isValid() || (qstrcmp(h.typeName(), typeName) != 0 && qstrcmp(h.typeName(), structName) != 0))
        throw EDatabaseError(UiText(u"Veza nema rukohvat baze podataka (%1).").arg(QString::fromLatin1(h.typeName())));
    return *static_cast<Handle *const *>(h.data());
}

// Tells the receiver the result's column names and types; their number.
unsigned int announceColumns(MYSQL_RES *result, TRowReceiver &receiver)
{
    const unsigned int n = mysql_num_fields(result);
    QStringList names;
    std::vector<TFieldType> types;
    MYSQL_FIELD *fields = mysql_fetch_fields(result);
    for (unsigned int i = 0; i < n; ++i) {
        names << QString::fromUtf8(fields[i].name, int(fields[i].name_length));
        types.push_back(mysqlType(fields[i]));
    }
    receiver.Columns(names, types);
    return n;
}

// The read functions below run on the worker thread: they are given the
// handle and the values already made ready for binding.

void streamMySql(MYSQL *mysql, const QString &sql, TRowReceiver &receiver)
{
    const QByteArray text = sql.toUtf8();
    auto fail = [&] {
        throw EDatabaseError::FromServer(QString::fromUtf8(mysql_error(mysql)), QString::number(mysql_errno(mysql)), sql);
    };
    if (mysql_real_query(mysql, text.constData(), static_cast<unsigned long>(text.size())) != 0)
        fail();
    MYSQL_RES *result = mysql_use_result(mysql);
    if (!result) {
        if (mysql_field_count(mysql) != 0)
            fail();
        receiver.Columns({}, {});
        return;
    }
    // Frees (and drains) the result on every way out.
    struct Guard { MYSQL_RES *r; ~Guard() { mysql_free_result(r); } } guard{result};
    const unsigned int n = announceColumns(result, receiver);
    // The text protocol has nothing but texts: they are read once, where they go.
    std::vector<size_t> lengths(n);
    const std::vector<qint64> integers(n);
    const auto isInteger = std::make_unique<bool[]>(n);
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        const unsigned long *len = mysql_fetch_lengths(result);
        for (unsigned int i = 0; i < n; ++i)
            lengths[i] = len[i];
        receiver.RawRow({int(n), row, lengths.data(), integers.data(), isInteger.get()});
    }
    if (mysql_errno(mysql) != 0)
        fail();
}

// With parameters: a prepared statement, fetched row by row without storing
// the result, every column asked for as text.
void streamMySqlStatement(MYSQL *mysql, const QString &sql, const QVariantList &params, TRowReceiver &receiver)
{
    MYSQL_STMT *stmt = mysql_stmt_init(mysql);
    if (!stmt)
        throw EDatabaseError::FromServer(QString::fromUtf8(mysql_error(mysql)), QString::number(mysql_errno(mysql)), sql);
    struct StmtGuard { MYSQL_STMT *s; ~StmtGuard() { mysql_stmt_close(s); } } stmtGuard{stmt};
    auto fail = [&] {
        throw EDatabaseError::FromServer(QString::fromUtf8(mysql_stmt_error(stmt)), QString::number(mysql_stmt_errno(stmt)),
                                         sql);
    };
    const QByteArray text = sql.toUtf8();
    if (mysql_stmt_prepare(stmt, text.constData(), static_cast<unsigned long>(text.size())) != 0)
        fail();
    if (mysql_stmt_param_count(stmt) != static_cast<unsigned long>(params.size()))
        throw EDatabaseError(UiText(u"Upit traži %1 vrednosti, a dato je %2.")
                                 .arg(mysql_stmt_param_count(stmt)).arg(params.size()), {}, sql);

    // Parameters: integers and reals as such, everything else as UTF-8 text.
    const qsizetype n = params.size();
    std::vector<MYSQL_BIND> in(static_cast<size_t>(n));
    std::vector<long long> ints(static_cast<size_t>(n));
    std::vector<double> reals(static_cast<size_t>(n));
    std::vector<QByteArray> texts(static_cast<size_t>(n));
    std::vector<unsigned long> textLengths(static_cast<size_t>(n));
    std::vector<my_bool> nulls(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i) {
        const QVariant &v = params.at(i);
        MYSQL_BIND &b = in[size_t(i)];
        std::memset(&b, 0, sizeof b);
        nulls[size_t(i)] = v.isNull();
        b.is_null = &nulls[size_t(i)];
        switch (v.typeId()) {
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
        case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long:
            ints[size_t(i)] = v.toLongLong();
            b.buffer_type = MYSQL_TYPE_LONGLONG;
            b.buffer = &ints[size_t(i)];
            break;
        case QMetaType::Double: case QMetaType::Float:
            reals[size_t(i)] = v.toDouble();
            b.buffer_type = MYSQL_TYPE_DOUBLE;
            b.buffer = &reals[size_t(i)];
            break;
        default:
            texts[size_t(i)] = v.typeId() == QMetaType::QDateTime
                ? StoredDateTime(v.toDateTime()).toUtf8()
                : v.typeId() == QMetaType::QDate ? StoredDate(v.toDate()).toUtf8() : v.toString().toUtf8();
            textLengths[size_t(i)] = static_cast<unsigned long>(texts[size_t(i)].size());
            b.buffer_type = MYSQL_TYPE_STRING;
            b.buffer = texts[size_t(i)].data();
            b.buffer_length = textLengths[size_t(i)];
            b.length = &textLengths[size_t(i)];
            break;
        }
    }
    if (n > 0 && mysql_stmt_bind_param(stmt, in.data()) != 0)
        fail();
    if (mysql_stmt_execute(stmt) != 0)
        fail();

    MYSQL_RES *meta = mysql_stmt_result_metadata(stmt);
    if (!meta) {
        receiver.Columns({}, {});
        return;
    }
    struct MetaGuard { MYSQL_RES *r; ~MetaGuard() { mysql_free_result(r); } } metaGuard{meta};
    const unsigned int cols = announceColumns(meta, receiver);

    std::vector<MYSQL_BIND> out(cols);
    std::vector<QByteArray> buffers(cols, QByteArray(64, Qt::Uninitialized));
    std::vector<unsigned long> lengths(cols);
    std::vector<my_bool> isNull(cols), truncated(cols);
    std::vector<qint64> integers(cols);
    const auto isInteger = std::make_unique<bool[]>(cols);
    const MYSQL_FIELD *fields = mysql_fetch_fields(meta);
    for (unsigned int i = 0; i < cols; ++i) {
        // Integers come over the binary protocol as such; an unsigned 64-bit
        // one may not fit a signed integer and comes as text.
        switch (fields[i].type) {
        case MYSQL_TYPE_TINY: case MYSQL_TYPE_SHORT: case MYSQL_TYPE_INT24: case MYSQL_TYPE_LONG: case MYSQL_TYPE_YEAR:
            isInteger[i] = true;
            break;
        case MYSQL_TYPE_LONGLONG: isInteger[i] = !(fields[i].flags & UNSIGNED_FLAG); break;
        default: break;
        }
    }
    auto bindColumn = [&](unsigned int i) {
        MYSQL_BIND &b = out[i];
        std::memset(&b, 0, sizeof b);
        if (isInteger[i]) {
            b.buffer_type = MYSQL_TYPE_LONGLONG;
            b.buffer = &integers[i];
        } else {
            b.buffer_type = MYSQL_TYPE_STRING;
            b.buffer = buffers[i].data();
            b.buffer_length = static_cast<unsigned long>(buffers[i].size());
        }
        b.length = &lengths[i];
        b.is_null = &isNull[i];
        b.error = &truncated[i];
    };
    for (unsigned int i = 0; i < cols; ++i)
        bindColumn(i);
    if (mysql_stmt_bind_result(stmt, out.data()) != 0)
        fail();
    std::vector<const char *> values(cols);
    std::vector<size_t> sizes(cols);
    const auto rowIsInteger = std::make_unique<bool[]>(cols);
    for (;;) {
        const int rc = mysql_stmt_fetch(stmt);
        if (rc == MYSQL_NO_DATA)
            break;
        if (rc == 1)
            fail();
        bool rebind = false;
        for (unsigned int i = 0; i < cols; ++i) {
            if (isNull[i] || isInteger[i]) {
                values[i] = nullptr;
                sizes[i] = 0;
                continue;
            }
            if (lengths[i] > static_cast<unsigned long>(buffers[i].size())) {
                // A longer text than the buffer: grow it and fetch the column again.
                buffers[i].resize(qsizetype(lengths[i]));
                bindColumn(i);
                if (mysql_stmt_fetch_column(stmt, &out[i], i, 0) != 0)
                    fail();
                rebind = true;
            }
            values[i] = buffers[i].constData();
            sizes[i] = lengths[i];
        }
        if (rebind && mysql_stmt_bind_result(stmt, out.data()) != 0)
            fail();
        for (unsigned int i = 0; i < cols; ++i)
            rowIsInteger[i] = isInteger[i] && !isNull[i];
        receiver.RawRow({int(cols), values.data(), sizes.data(), integers.data(), rowIsInteger.get()});
    }
}

void streamSqlite(sqlite3 *db, const QString &sql, const QVariantList &params, TRowReceiver &receiver)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    auto fail = [&] {
        throw EDatabaseError::FromServer(QString::fromUtf8(sqlite3_errmsg(db)), QString::number(sqlite3_extended_errcode(db)),
                                         sql);
    };
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
        fail();
    struct Guard { sqlite3_stmt *s; ~Guard() { sqlite3_finalize(s); } } guard{stmt};
    if (!stmt) { // only a comment or white space
        receiver.Columns({}, {});
        return;
    }
    if (sqlite3_bind_parameter_count(stmt) != int(params.size()))
        throw EDatabaseError(UiText(u"Upit traži %1 vrednosti, a dato je %2.")
                                 .arg(sqlite3_bind_parameter_count(stmt)).arg(params.size()), {}, sql);
    for (int i = 0; i < int(params.size()); ++i) {
        const QVariant &v = params.at(i);
        int rc;
        switch (v.isNull() ? QMetaType::UnknownType : v.typeId()) {
        case QMetaType::UnknownType: rc = sqlite3_bind_null(stmt, i + 1); break;
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
        case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long:
            rc = sqlite3_bind_int64(stmt, i + 1, v.toLongLong());
            break;
        case QMetaType::Double: case QMetaType::Float: rc = sqlite3_bind_double(stmt, i + 1, v.toDouble()); break;
        default: {
            const QByteArray utf8 = v.toString().toUtf8();
            rc = sqlite3_bind_text(stmt, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            break;
        }
        }
        if (rc != SQLITE_OK)
            fail();
    }
    const int n = sqlite3_column_count(stmt);
    QStringList names;
    std::vector<TFieldType> types;
    for (int i = 0; i < n; ++i) {
        names << QString::fromUtf8(sqlite3_column_name(stmt, i));
        types.push_back(sqliteType(sqlite3_column_decltype(stmt, i)));
    }
    receiver.Columns(names, types);
    std::vector<const char *> values(static_cast<size_t>(n));
    std::vector<size_t> lengths(static_cast<size_t>(n));
    std::vector<qint64> integers(static_cast<size_t>(n));
    const auto isInteger = std::make_unique<bool[]>(size_t(n));
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            fail();
        for (int i = 0; i < n; ++i) {
            const auto at = size_t(i);
            const int type = sqlite3_column_type(stmt, i);
            // An integer as it is kept: spelling it and reading it back costs twice.
            isInteger[at] = type == SQLITE_INTEGER;
            if (type == SQLITE_INTEGER) {
                integers[at] = sqlite3_column_int64(stmt, i);
                values[at] = nullptr;
                lengths[at] = 0;
            } else if (type == SQLITE_NULL) {
                values[at] = nullptr;
                lengths[at] = 0;
            } else {
                values[at] = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
                lengths[at] = size_t(sqlite3_column_bytes(stmt, i));
            }
        }
        receiver.RawRow({n, values.data(), lengths.data(), integers.data(), isInteger.get()});
    }
}

} // namespace

void CheckStreamingClient(TZConnection &connection)
{
    // The same question asked through Qt's driver and through the library
    // this program reads with: a different answer means two client libraries
    // in one process, and a handle of one handed to the other.
    auto viaDriver = [&](const QString &sql) {
        auto q = connection.OpenQuery(sql);
        return q->next() ? q->value(0).toString() : QString();
    };
    QString ours, theirs, what;
    if (connection.Backend() == TBackend::SQLite) {
        driverHandle<sqlite3>(connection, "sqlite3*", "sqlite3*");
        ours = QString::fromLatin1(sqlite3_libversion());
        theirs = viaDriver(QStringLiteral("SELECT sqlite_version()"));
        what = QStringLiteral("SQLite");
    } else {
        MYSQL *mysql = driverHandle<MYSQL>(connection, "MYSQL*", "st_mysql*");
        ours = QString::fromUtf8(mysql_get_server_info(mysql));
        theirs = viaDriver(QStringLiteral("SELECT VERSION()"));
        what = QStringLiteral("MariaDB/MySQL");
    }
    if (ours != theirs)
        throw EDatabaseError(UiText(u"Program i Qt-ov upravljački program za bazu ne koriste istu %1 klijentsku "
                                u"biblioteku (%2 i %3); veza se ne može koristiti.")
                                 .arg(what, ours, theirs));
}

namespace {

// Notes whether anything reached the receiver (only a read that got nothing
// yet may run again on a new connection), counts the rows for the wait and
// stops at its word.
class TWatchedReceiver : public TRowReceiver
{
public:
    TWatchedReceiver(TRowReceiver &receiver, std::atomic<qint64> &rows, const std::atomic<bool> &stop)
        : m_receiver(receiver), m_rows(rows), m_stop(stop) {}
    void Columns(const QStringList &names, const std::vector<TFieldType> &types) override
    {
        Got = true;
        m_receiver.Columns(names, types);
    }
    void Row(const char *const *values, const size_t *lengths) override { m_receiver.Row(values, lengths); }
    void RawRow(const TRawRow &row) override
    {
        if (m_stop.load(std::memory_order_relaxed))
            throw EAbort();
        m_receiver.RawRow(row);
        m_rows.store(++m_count, std::memory_order_relaxed);
    }
    void End() override { m_receiver.End(); }
    bool Got = false; // read once the worker is done

private:
    TRowReceiver &m_receiver;
    std::atomic<qint64> &m_rows;
    const std::atomic<bool> &m_stop;
    qint64 m_count = 0;
};

} // namespace

void StreamQuery(TZConnection &connection, const QString &sql, const QVariantList &params, TRowReceiver &receiver)
{
    QVariantList bound;
    bound.reserve(params.size());
    for (const QVariant &p : params)
        bound << connection.ToBindValue(p);
    std::atomic<qint64> rows{0};
    std::atomic<bool> stop{false};
    TRowPipe piped(receiver);
    TWatchedReceiver watched(piped, rows, stop);
    connection.Read(
        [&] {
            TReadWork work;
            work.Rows = &rows;
            work.Stop = &stop;
            std::function<void()> read;
            if (connection.Backend() == TBackend::SQLite) {
                work.Sqlite = driverHandle<sqlite3>(connection, "sqlite3*", "sqlite3*");
                read = [&] { streamSqlite(work.Sqlite, sql, bound, watched); };
            } else {
                work.MySql = driverHandle<MYSQL>(connection, "MYSQL*", "st_mysql*");
                if (bound.isEmpty())
                    read = [&] { streamMySql(work.MySql, sql, watched); }; // the text protocol streams the fastest
                else
                    read = [&] { streamMySqlStatement(work.MySql, sql, bound, watched); };
            }
            WaitForServer(connection, work, [&] {
                read();
                watched.End();
            });
        },
        [&] { return watched.Got; });
}
