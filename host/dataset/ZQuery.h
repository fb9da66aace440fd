#pragma once
// A data set over an SQL SELECT on a TZConnection. Reads stream the result into
// a store of their own off the GUI thread, which the data set takes over in
// one step when the read is done (a cancelled read leaves it closed). A live
// query (RequestLive) writes its rows back to one table with bound
// parameters: an update writes only the changed columns (umUpdateChanged) and
// finds the row by its key (wmWhereKeyOnly); an insert reads the assigned key
// back. Columns that are not the table's own are display-only.

#include "DataSet.h"
#include "KExport.h"
#include "SqlText.h"

#include <functional>
#include <vector>

class TZConnection;
struct TColumnInfo;

enum class TUpdateMode { umUpdateAll, umUpdateChanged };
enum class TWhereMode { wmWhereKeyOnly, wmWhereAll };

class KCOMMON_EXPORT TZQuery : public TDataSet
{
    Q_OBJECT
public:
    explicit TZQuery(QObject *parent = nullptr);

    TZConnection *Connection() const { return m_connection; }
    void SetConnection(TZConnection *connection) { m_connection = connection; }

    QString SQL() const { return m_sql; }
    // The text and the values bound to its ? marks, in order; closes first,
    // like changing the text of an open query.
    void SetSQL(const QString &sql, const QVariantList &params = {});
    const QVariantList &Params() const { return m_params; }

    bool RequestLive = false;
    TUpdateMode UpdateMode = TUpdateMode::umUpdateChanged;
    TWhereMode WhereMode = TWhereMode::wmWhereKeyOnly;
    bool CalcDefaults = false;  // new rows get the table's column defaults
    QString UpdateTable;        // default: the first table after FROM

    bool CanModify() const override { return RequestLive; }

    // Judged again on the stored row while it is held, right before the
    // DELETE runs in the same transaction: what BeforeDelete decided on the
    // row as it was read may no longer hold. Throws to refuse (EStaleRow for
    // a row that changed).
    std::function<void(TZConnection &connection, const QVariant &key)> OnDeleteCheck;

    // A live query's write, told to OnJournal.
    enum class TWriteKind { Insert, Update, Delete };
    // Called inside the transaction of every write, so that what it writes
    // stands or falls with the write: for an insert after the row is written
    // (key is the new one), for an update or a delete before the statement,
    // with the row held (key is the stored one). changed: the columns an
    // insert or an update writes; empty for a delete. Throws to refuse.
    std::function<void(TZConnection &connection, TWriteKind kind, const QVariant &key,
                       const std::vector<TField *> &changed)>
        OnJournal;

    // The table a live query writes to: UpdateTable, or the first after FROM.
    QString WriteTable() const;

    // The text the last open ran: SQL(), or it with the ORDER BY of the sort
    // when the connection sorts in the SELECT (see selectOrder).
    QString OpenedSQL() const { return m_openedSql; }

    // Another window wrote a row this query may hold: sql (this query's
    // text with a condition that selects that one row, bound to params) is
    // read and the row shown in its sorted place, replacing the row with the
    // same key or, when addIfMissing, added. False when the database gave no
    // row or the query holds none and may not add one; nothing changes then.
    // Only in browse state, on an open query.
    bool RefreshRow(const QString &sql, const QVariantList &params, bool addIfMissing);

    // Rows affected by the last write.
    int RowsAffected() const { return m_rowsAffected; }

protected:
    void InternalOpen() override;
    QVariant InternalPost(bool inserting, const std::vector<TField *> &changed) override;
    void InternalDelete() override;
    void InternalInitRecord() override;
    TField *KeyField() const override { return m_keyField; }

private:
    class Loader;
    TZConnection &connection() const;
    void checkLive() const;
    // The sort for the SELECT's ORDER BY when the connection sorts there and
    // the database gives the order the memory sort would: only numbers and
    // dates (no text collation) of the written table's own columns, naming
    // its whole key, so no two rows tie. Empty otherwise. The data set still
    // checks the order it gets and sorts what is out of it.
    std::vector<TSortTerm> selectOrder(const std::vector<TColumnInfo> &cols) const;
    // "k1 = ? AND k2 = ?" over the whole key, with the stored key values.
    QString keyCondition(QVariantList &params) const;
    // One attempt at the write; InternalPost / InternalDelete repeat it after
    // a write conflict.
    QVariant post(bool inserting, const std::vector<TField *> &changed);
    void remove();

    TZConnection *m_connection = nullptr;
    QString m_sql;
    QString m_openedSql;
    QVariantList m_params;
    TField *m_keyField = nullptr;        // a single-column key, read back after an insert
    std::vector<TField *> m_keyFields;   // every column of the key
    int m_rowsAffected = 0;
};

// A read-only query for short look-ups (counts, existence tests).
class KCOMMON_EXPORT TZReadOnlyQuery : public TZQuery
{
    Q_OBJECT
public:
    explicit TZReadOnlyQuery(TZConnection *connection, const QString &sql = {}, const QVariantList &params = {},
                             QObject *parent = nullptr);
};
