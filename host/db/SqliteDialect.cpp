#include "SqliteDialect.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "RowStream.h"
#include "SerbianCollation.h"
#include "SerbianFold.h"
#include "SqlText.h"
#include "StoredForm.h"
#include "ZConnection.h"

#include <QSqlQuery>
#include <algorithm>
#include <cstring>
#include <sqlite3.h>
#include <string>

namespace {

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

// SERBIANFOLD(text): the folded key of a text (SerbianFold.h), over which
// the indexes of the texts searched by prefix are made; NULL stays NULL.
void sqliteSerbianFold(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int len = sqlite3_value_bytes(argv[0]);
    if (!text && len) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    const QByteArray folded = SerbianFold(QString::fromUtf8(text, len)).toUtf8();
    sqlite3_result_text(ctx, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

// The SQLite library's own handle of a connection, or null.
sqlite3 *sqliteHandle(const TZConnection &connection)
{
    const QVariant handle = connection.DriverHandle();
    return handle.isValid() ? *static_cast<sqlite3 *const *>(handle.data()) : nullptr;
}

} // namespace

bool TSqliteDialect::PrepareSession(TZConnection &connection) const
{
    // Before anything of ours touches the driver's handle.
    CheckStreamingClient(connection);
    sqlite3 *sqlite = sqliteHandle(connection);
    if (!sqlite)
        throw EDatabaseError(UiText(u"SQLite veza nema svoj rukohvat."));
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function(sqlite, "CONCAT", -1, flags, nullptr, sqliteConcat, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError(UiText(u"SQLite funkcija CONCAT nije registrovana."));
    // Before anything writes a table with an index over it.
    if (sqlite3_create_function(sqlite, SerbianFoldFunctionName, 1, flags | SQLITE_INNOCUOUS, nullptr, sqliteSerbianFold, nullptr, nullptr)
        != SQLITE_OK)
        throw EDatabaseError(UiText(u"SQLite funkcija %1 nije registrovana.").arg(QLatin1String(SerbianFoldFunctionName)));
    // Before the schema is read: its indexes name the collation.
    if (sqlite3_create_collation_v2(sqlite, SerbianCollationName, SQLITE_UTF8, nullptr, serbianCollation, nullptr)
        != SQLITE_OK)
        throw EDatabaseError(UiText(u"SQLite poređenje %1 nije registrovano.").arg(QLatin1String(SerbianCollationName)));
    connection.ExecSQL(QStringLiteral("PRAGMA foreign_keys = ON"));
    return false;
}

QVariant TSqliteDialect::BindValue(const QVariant &value) const
{
    return StoredBindValue(value, true);
}

QString TSqliteDialect::LastInsertIdSql() const
{
    return QStringLiteral("SELECT last_insert_rowid()");
}

QString TSqliteDialect::TableExistsSql() const
{
    return QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ?");
}

std::vector<TColumnInfo> TSqliteDialect::ReadColumns(TZConnection &connection, const QString &table) const
{
    std::vector<TColumnInfo> cols;
    auto q = connection.OpenQuery(QStringLiteral("PRAGMA table_xinfo(%1)").arg(QuotedStr(table)));
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
            c.DefaultText = unquotedDefault(def.toString());
        c.PrimaryKey = q->value(5).toInt() > 0;
        c.AutoIncrement = c.PrimaryKey && c.TypeName == QLatin1String("integer");
        c.Generated = q->value(6).toInt() >= 2;
        cols.push_back(c);
    }
    return cols;
}

bool TSqliteDialect::KeyIsStorageOrder(const std::vector<TColumnInfo> &columns) const
{
    const auto keys = std::count_if(columns.begin(), columns.end(), [](const TColumnInfo &c) { return c.PrimaryKey; });
    return keys == 1 && std::any_of(columns.begin(), columns.end(), [](const TColumnInfo &c) {
               return c.PrimaryKey && c.TypeName == QLatin1String("integer");
           });
}

QString TSqliteDialect::InsertDefaultsSql(const QString &table) const
{
    return QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
}

QString TSqliteDialect::LikePrefix(const QString &typed) const
{
    return typed + u'%';
}

QString TSqliteDialect::PrefixCondition(const QString &column, const QString &typed, QVariantList &params) const
{
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

QString TSqliteDialect::TextOrder(const QString &column) const
{
    return column + QStringLiteral(" COLLATE ") + QLatin1String(SerbianCollationName);
}

QString TSqliteDialect::FoldedKey(const QString &column) const
{
    return QLatin1String(SerbianFoldFunctionName) + u'(' + column + u')';
}

QString TSqliteDialect::FoldedPrefixCondition(const QString &column, const QString &typed, QVariantList &params) const
{
    return column + QStringLiteral(" IS NOT NULL AND ") + TSqlDialect::FoldedPrefixCondition(column, typed, params);
}

int TSqliteDialect::LikePatternLimit(const TZConnection &connection) const
{
    if (!connection.Connected())
        return 0;
    sqlite3 *sqlite = sqliteHandle(connection);
    return sqlite ? sqlite3_limit(sqlite, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1) : 0;
}

QString TSqliteDialect::BeginTransactionSql() const
{
    return QStringLiteral("BEGIN IMMEDIATE");
}

QString TSqliteDialect::LockRowSql(const QString &table, const QString &keyColumn) const
{
    return QStringLiteral("SELECT %1 FROM %2 WHERE %1 = ?").arg(QuoteIdent(keyColumn), QuoteIdent(table));
}

QString TSqliteDialect::HeldReadSql(const QString &table, const QString &keyColumn, const QString &columns) const
{
    // BEGIN IMMEDIATE already holds the whole file.
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(columns, QuoteIdent(table), QuoteIdent(keyColumn));
}

QString TSqliteDialect::NowSql() const
{
    return QStringLiteral("strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')");
}

QString TSqliteDialect::UpsertSql(const QString &table, const QStringList &keyColumns,
                                  const QStringList &valueColumns) const
{
    const QStringList columns = keyColumns + valueColumns;
    QStringList sets;
    for (const QString &column : valueColumns)
        sets << column + QStringLiteral(" = excluded.") + column;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ON CONFLICT (%4) DO UPDATE SET %5")
        .arg(table, columns.join(u", "), QStringList(columns.size(), QStringLiteral("?")).join(u", "),
             keyColumns.join(u", "), sets.join(u", "));
}
