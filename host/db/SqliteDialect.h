#pragma once
// SQLite's dialect. A session gets MySQL's CONCAT, SERBIANFOLD and the Serbian collation
// registered on its handle and foreign keys on. Dates and date-times are kept
// as text; letters compare in the Serbian order only where a column names
// the collation, so prefixes become ranges over it. A transaction takes the
// database's write lock when it begins (BEGIN IMMEDIATE), so a locked row
// needs no more than reading it.

#include "SqlDialect.h"

// The function every SQLite connection of the program registers: the folded
// key of a text (SerbianFold.h). Indexes are made over it, so a client
// without it cannot write those tables.
inline constexpr char SerbianFoldFunctionName[] = "SERBIANFOLD";

class KCOMMON_EXPORT TSqliteDialect final : public TSqlDialect
{
public:
    TBackend Backend() const override { return TBackend::SQLite; }
    bool PrepareSession(TZConnection &connection) const override;
    QVariant BindValue(const QVariant &value) const override;
    QString LastInsertIdSql() const override;
    QString TableExistsSql() const override;
    std::vector<TColumnInfo> ReadColumns(TZConnection &connection, const QString &table) const override;
    // A table whose key is one INTEGER column (its rowid).
    bool KeyIsStorageOrder(const std::vector<TColumnInfo> &columns) const override;
    QString InsertDefaultsSql(const QString &table) const override;
    // The user's % and _ stay wildcards; there is no escape character.
    QString LikePrefix(const QString &typed) const override;
    // A range over the Serbian collation up to the first % or _; the rest of
    // a pattern with wildcards is checked by LIKE (which folds only ASCII).
    QString PrefixCondition(const QString &column, const QString &typed, QVariantList &params) const override;
    QString TextOrder(const QString &column) const override;
    // SERBIANFOLD(column): the expression its index is made over.
    QString FoldedKey(const QString &column) const override;
    // Led by "column IS NOT NULL": SQLite cannot tell that the function
    // finds nothing for NULL, and without the term it keeps a LEFT JOINed
    // table inner and reads every row of the outer one instead of the index.
    QString FoldedPrefixCondition(const QString &column, const QString &typed, QVariantList &params) const override;
    // This process sorts as it reads, sparing the sort of the loaded rows.
    bool SortsInSelect() const override { return true; }
    int LikePatternLimit(const TZConnection &connection) const override;
    // No round trips in-process, and Qt's driver looks each bound value's
    // name up among all of a statement's (quadratic): few rows at a time.
    int InsertBatchRows() const override { return 16; }
    QString BeginTransactionSql() const override;
    QString LockRowSql(const QString &table, const QString &keyColumn) const override;
    QString HeldReadSql(const QString &table, const QString &keyColumn, const QString &columns) const override;
    QString NowSql() const override;
    QString UpsertSql(const QString &table, const QStringList &keyColumns,
                      const QStringList &valueColumns) const override;
};
