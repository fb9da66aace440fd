#pragma once
// A scoped transaction on a TZConnection: begun by the constructor, rolled
// back by the destructor unless committed. Several statements that must
// succeed or fail together run inside one.
//
// SQLite takes the database's write lock when the transaction begins, so two
// desks writing at once queue up instead of both reading a stale state.
// MariaDB locks rows on demand with LockRow; a read made after the lock sees
// what the other desk committed before it let go.

#include "KExport.h"

#include <QString>
#include <QVariant>

class TZConnection;

class KCOMMON_EXPORT TZTransaction
{
public:
    explicit TZTransaction(TZConnection &connection); // throws EDatabaseError
    ~TZTransaction();
    TZTransaction(const TZTransaction &) = delete;
    TZTransaction &operator=(const TZTransaction &) = delete;

    // Holds the row of table whose keyColumn is key until the transaction
    // ends; another desk asking for it waits. False when there is no such row.
    bool LockRow(const QString &table, const QString &keyColumn, const QVariant &key);
    void Commit(); // throws EDatabaseError; the transaction is over either way
    void Rollback();

private:
    TZConnection &m_connection;
    bool m_open = false;
};
