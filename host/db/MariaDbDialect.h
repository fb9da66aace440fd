#pragma once
// MariaDB's (and MySQL's) dialect. Sessions run in utf8mb4 with
// NO_BACKSLASH_ESCAPES (a doubled quote is the only escape in a literal, as
// on SQLite); text columns use croatian_ci, so LIKE and ORDER BY already
// follow the Serbian letters. A row is locked with SELECT ... FOR UPDATE. A
// Galera node's session also waits for the other nodes' commits before each
// statement and reads committed rows.

#include "SqlDialect.h"

class KCOMMON_EXPORT TMariaDbDialect final : public TSqlDialect
{
public:
    TBackend Backend() const override { return TBackend::MySQL; }
    bool PrepareSession(TZConnection &connection) const override;
    QVariant BindValue(const QVariant &value) const override;
    QString LastInsertIdSql() const override;
    QString TableExistsSql() const override;
    // Read as a list is read (RowStream.h): the first list of the day does
    // not freeze the window on a server that stopped answering.
    std::vector<TColumnInfo> ReadColumns(TZConnection &connection, const QString &table) const override;
    bool KeyIsStorageOrder(const std::vector<TColumnInfo> &) const override { return false; }
    QString InsertDefaultsSql(const QString &table) const override;
    // The user's % and _ stay wildcards; LIKE's escape character (the
    // backslash, even with NO_BACKSLASH_ESCAPES) is doubled to match itself.
    QString LikePrefix(const QString &typed) const override;
    QString PrefixCondition(const QString &column, const QString &typed, QVariantList &params) const override;
    // The column the server computes beside the text: its name and "fold".
    QString FoldedKey(const QString &column) const override;
    QString TextOrder(const QString &column) const override { return column; }
    // The server sorts before it sends anything, which costs more than the
    // sort in memory: the rows come as the server has them.
    bool SortsInSelect() const override { return false; }
    int LikePatternLimit(const TZConnection &) const override { return 0; }
    // Each statement is a round trip to the server: many rows in one.
    int InsertBatchRows() const override { return 500; }
    QString BeginTransactionSql() const override;
    QString LockRowSql(const QString &table, const QString &keyColumn) const override;
    QString HeldReadSql(const QString &table, const QString &keyColumn, const QString &columns) const override;
    QString NowSql() const override;
    QString UpsertSql(const QString &table, const QStringList &keyColumns,
                      const QStringList &valueColumns) const override;
};
