#pragma once
// What differs between the backends' SQL, in one object per backend: how a
// session is set up, how values are bound, the catalogue, LIKE and the
// Serbian order, transactions and row locks. A connection holds the dialect
// of its driver and asks it; nothing above the connection branches on the
// backend for these.

#include "KExport.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

class TZConnection;

enum class TBackend { SQLite, MySQL };

struct TColumnInfo
{
    QString Name;
    QString TypeName;   // as the database reports it, lower case
    int Length = 0;     // characters for text columns, 0 when unknown
    bool NotNull = false;
    bool PrimaryKey = false;
    bool AutoIncrement = false;
    bool Generated = false; // computed by the database, never written
    bool HasDefault = false;
    QString DefaultText;    // the default as SQL text, unquoted for strings
};

class KCOMMON_EXPORT TSqlDialect
{
public:
    virtual ~TSqlDialect() = default;
    virtual TBackend Backend() const = 0;

    // Readies a session just opened, before its first statement of ours;
    // throws EDatabaseError. True when the server is a node of a Galera
    // cluster (see TZConnection::IsCluster).
    virtual bool PrepareSession(TZConnection &connection) const = 0;

    // A value as this backend's statements bind it (StoredForm.h).
    virtual QVariant BindValue(const QVariant &value) const = 0;

    // The catalogue. TableExistsSql takes the table's name for its one ?
    // and answers a count.
    virtual QString LastInsertIdSql() const = 0;
    virtual QString TableExistsSql() const = 0;
    // Columns of a table in their order; empty when there is no such table.
    virtual std::vector<TColumnInfo> ReadColumns(TZConnection &connection, const QString &table) const = 0;
    // Whether a table with these columns is stored in the order of its key.
    virtual bool KeyIsStorageOrder(const std::vector<TColumnInfo> &columns) const = 0;
    // An insert of a row with every column at its default; table is quoted.
    virtual QString InsertDefaultsSql(const QString &table) const = 0;

    // Searching and ordering text (see TZConnection for the contracts).
    virtual QString LikePrefix(const QString &typed) const = 0;
    virtual QString PrefixCondition(const QString &column, const QString &typed, QVariantList &params) const = 0;
    virtual QString TextOrder(const QString &column) const = 0;
    // The folded key of a text column, as a search names it (see TZConnection).
    virtual QString FoldedKey(const QString &column) const = 0;
    // A range over the folded key, and LIKE after a wildcard.
    virtual QString FoldedPrefixCondition(const QString &column, const QString &typed, QVariantList &params) const;
    virtual bool SortsInSelect() const = 0;
    // The longest LIKE pattern the open session takes in UTF-8 bytes, 0
    // when it sets no limit of its own.
    virtual int LikePatternLimit(const TZConnection &connection) const = 0;
    // How many rows one INSERT ... VALUES (...), (...) should carry when
    // many are written at once.
    virtual int InsertBatchRows() const = 0;

    // A transaction's first statement, and the read that holds a row of
    // table (one ? for its key) until the transaction ends.
    virtual QString BeginTransactionSql() const = 0;
    virtual QString LockRowSql(const QString &table, const QString &keyColumn) const = 0;
    // The same hold, reading columns (SQL expressions of the program's own).
    virtual QString HeldReadSql(const QString &table, const QString &keyColumn, const QString &columns) const = 0;
    // The current time as yyyy-MM-dd hh:mm:ss: the server's clock on MariaDB,
    // this computer's on SQLite (its own "server").
    virtual QString NowSql() const = 0;
    // One statement writing a row of table: keyColumns then valueColumns,
    // one ? each. Where a row with that key (a unique key of table) is there
    // already, its valueColumns take the values instead; two desks writing
    // one key at once leave the later one's values, and neither is refused.
    virtual QString UpsertSql(const QString &table, const QStringList &keyColumns,
                              const QStringList &valueColumns) const = 0;

protected:
    // A column default as the catalogue spells it, without the quotes of a text.
    static QString unquotedDefault(QString text);
};

// Whether driver (QMYSQL, QMARIADB, QSQLITE) talks to a MariaDB/MySQL server.
KCOMMON_EXPORT bool IsMySqlDriver(const QString &driver);
// The dialect of a driver: MariaDB's for QMYSQL and QMARIADB, else SQLite's.
KCOMMON_EXPORT std::unique_ptr<TSqlDialect> MakeSqlDialect(const QString &driver);
