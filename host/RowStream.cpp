#include "RowStream.h"

#include "KException.h"
#include "ZConnection.h"

#include <QSqlDriver>
#include <mysql.h>
#include <sqlite3.h>

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
    const QVariant h = connection.Database().driver()->handle();
    if (!h.isValid() || (qstrcmp(h.typeName(), typeName) != 0 && qstrcmp(h.typeName(), structName) != 0))
        throw EDatabaseError(QStringLiteral("Veza nema rukohvat baze podataka (%1).").arg(QString::fromLatin1(h.typeName())));
    return *static_cast<Handle *const *>(h.data());
}

void streamMySql(TZConnection &connection, const QString &sql, TRowReceiver &receiver)
{
    MYSQL *mysql = driverHandle<MYSQL>(connection, "MYSQL*", "st_mysql*");
    const QByteArray text = sql.toUtf8();
    auto fail = [&] {
        throw EDatabaseError(QStringLiteral("Greška baze podataka: %1\n%2").arg(QString::fromUtf8(mysql_error(mysql)), sql),
                             QString::number(mysql_errno(mysql)));
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
    const unsigned int n = mysql_num_fields(result);
    QStringList names;
    std::vector<TFieldType> types;
    MYSQL_FIELD *fields = mysql_fetch_fields(result);
    for (unsigned int i = 0; i < n; ++i) {
        names << QString::fromUtf8(fields[i].name, int(fields[i].name_length));
        types.push_back(mysqlType(fields[i]));
    }
    receiver.Columns(names, types);
    std::vector<size_t> lengths(n);
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        const unsigned long *len = mysql_fetch_lengths(result);
        for (unsigned int i = 0; i < n; ++i)
            lengths[i] = len[i];
        receiver.Row(row, lengths.data());
    }
    if (mysql_errno(mysql) != 0)
        fail();
}

void streamSqlite(TZConnection &connection, const QString &sql, TRowReceiver &receiver)
{
    sqlite3 *db = driverHandle<sqlite3>(connection, "sqlite3*", "sqlite3*");
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    auto fail = [&] {
        throw EDatabaseError(QStringLiteral("Greška baze podataka: %1\n%2").arg(QString::fromUtf8(sqlite3_errmsg(db)), sql),
                             QString::number(sqlite3_extended_errcode(db)));
    };
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
        fail();
    struct Guard { sqlite3_stmt *s; ~Guard() { sqlite3_finalize(s); } } guard{stmt};
    if (!stmt) { // only a comment or white space
        receiver.Columns({}, {});
        return;
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
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            fail();
        for (int i = 0; i < n; ++i) {
            if (sqlite3_column_type(stmt, i) == SQLITE_NULL) {
                values[size_t(i)] = nullptr;
                lengths[size_t(i)] = 0;
            } else {
                values[size_t(i)] = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
                lengths[size_t(i)] = size_t(sqlite3_column_bytes(stmt, i));
            }
        }
        receiver.Row(values.data(), lengths.data());
    }
}

} // namespace

void StreamQuery(TZConnection &connection, const QString &sql, TRowReceiver &receiver)
{
    if (!connection.Connected())
        throw EDatabaseError(QStringLiteral("Veza sa bazom podataka nije otvorena."));
    if (connection.Backend() == TBackend::MySQL)
        streamMySql(connection, sql, receiver);
    else
        streamSqlite(connection, sql, receiver);
}
