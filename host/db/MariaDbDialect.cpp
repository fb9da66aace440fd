#include "MariaDbDialect.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "RowStream.h"
#include "SqlText.h"
#include "StoredForm.h"
#include "ZConnection.h"

#include <QSqlQuery>

namespace {

// One row of SHOW VARIABLES / SHOW STATUS: its value, or empty when the
// server has no such variable (MySQL has no wsrep_*).
QString shownValue(TZConnection &connection, const QString &sql)
{
    auto q = connection.OpenQuery(sql);
    return q->next() ? q->value(1).toString() : QString();
}

bool isOn(const QString &value)
{
    return value.compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0;
}

} // namespace

bool TMariaDbDialect::PrepareSession(TZConnection &connection) const
{
    connection.ExecSQL(QStringLiteral("SET NAMES utf8mb4"));
    connection.ExecSQL(QStringLiteral("SET SESSION sql_mode = CONCAT_WS(',', NULLIF(@@SESSION.sql_mode, ''), "
                                      "'NO_BACKSLASH_ESCAPES')"));
    CheckStreamingClient(connection);
    if (!isOn(shownValue(connection, QStringLiteral("SHOW VARIABLES LIKE 'wsrep_on'"))))
        return false;
    // A node that is still joining, or cut off from the majority, refuses
    // statements; the desk takes the next server instead.
    if (!isOn(shownValue(connection, QStringLiteral("SHOW STATUS LIKE 'wsrep_ready'"))))
        throw EDatabaseError(UiText(u"Server nije spreman: nije usklađen sa ostalim serverima klastera."),
                             QStringLiteral("1047"));
    // Every statement first waits until this node has applied what the
    // others committed: the next number counts the item another office
    // saved a moment ago, and a retried write meets its duplicate here.
    connection.ExecSQL(QStringLiteral("SET SESSION wsrep_sync_wait = 15"));
    // A held row's claim orders two nodes' transactions, but under repeatable
    // read a transaction may still read from a snapshot older than the other
    // node's commit it waited for. Each statement reads the latest commits.
    connection.ExecSQL(QStringLiteral("SET SESSION TRANSACTION ISOLATION LEVEL READ COMMITTED"));
    return true;
}

QVariant TMariaDbDialect::BindValue(const QVariant &value) const
{
    return StoredBindValue(value, false);
}

QString TMariaDbDialect::LastInsertIdSql() const
{
    return QStringLiteral("SELECT LAST_INSERT_ID()");
}

QString TMariaDbDialect::TableExistsSql() const
{
    return QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() "
                          "AND TABLE_NAME = ?");
}

std::vector<TColumnInfo> TMariaDbDialect::ReadColumns(TZConnection &connection, const QString &table) const
{
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
    StreamQuery(connection,
                QStringLiteral("SELECT COLUMN_NAME, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH, IS_NULLABLE, COLUMN_KEY, EXTRA, "
                               "COLUMN_DEFAULT FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() "
                               "AND TABLE_NAME = ? ORDER BY ORDINAL_POSITION"),
                {table}, columns);
    std::vector<TColumnInfo> cols;
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
            c.DefaultText = unquotedDefault(def.toString());
        cols.push_back(c);
    }
    return cols;
}

QString TMariaDbDialect::InsertDefaultsSql(const QString &table) const
{
    return QStringLiteral("INSERT INTO %1 () VALUES ()").arg(table);
}

QString TMariaDbDialect::LikePrefix(const QString &typed) const
{
    QString pattern = typed;
    pattern.replace(u'\\', QStringLiteral("\\\\"));
    return pattern + u'%';
}

QString TMariaDbDialect::PrefixCondition(const QString &column, const QString &typed, QVariantList &params) const
{
    params << LikePrefix(typed);
    return column + QStringLiteral(" LIKE ?");
}

QString TMariaDbDialect::FoldedKey(const QString &column) const
{
    return column + QStringLiteral("fold");
}

QString TMariaDbDialect::BeginTransactionSql() const
{
    return QStringLiteral("START TRANSACTION");
}

QString TMariaDbDialect::LockRowSql(const QString &table, const QString &keyColumn) const
{
    return QStringLiteral("SELECT %1 FROM %2 WHERE %1 = ? FOR UPDATE").arg(QuoteIdent(keyColumn), QuoteIdent(table));
}

QString TMariaDbDialect::HeldReadSql(const QString &table, const QString &keyColumn, const QString &columns) const
{
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? FOR UPDATE").arg(columns, QuoteIdent(table), QuoteIdent(keyColumn));
}

QString TMariaDbDialect::NowSql() const
{
    return QStringLiteral("DATE_FORMAT(NOW(), '%Y-%m-%d %H:%i:%s')");
}

QString TMariaDbDialect::UpsertSql(const QString &table, const QStringList &keyColumns,
                                   const QStringList &valueColumns) const
{
    const QStringList columns = keyColumns + valueColumns;
    QStringList sets;
    for (const QString &column : valueColumns)
        sets << column + QStringLiteral(" = VALUES(") + column + u')';
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ON DUPLICATE KEY UPDATE %4")
        .arg(table, columns.join(u", "), QStringList(columns.size(), QStringLiteral("?")).join(u", "),
             sets.join(u", "));
}
