#pragma once
// A scoped transaction on a TZConnection: begun by the constructor, rolled
// back by the destructor unless committed. Several statements that must
// succeed or fail together run inside one.
//
// SQLite takes the database's write lock when the transaction begins, so two
// desks writing at once queue up instead of both reading a stale state.
// MariaDB locks rows on demand with LockRow; a read made after the lock sees
// what the other desk committed before it let go. A cluster node's locks hold
// only on that node: there LockRow also writes the row's claim (table
// rowclaim), so two nodes holding the same row cannot both commit; the later
// one gets a write conflict, and RetryOnWriteConflict runs its work again.

#include "InterfaceScript.h"
#include "KException.h"
#include "KExport.h"
#include "ZConnection.h"

#include <QString>
#include <QVariant>
#include <optional>

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
    void beginOnCluster();
    void endOnCluster();
    void closeCluster() noexcept;

    TZConnection &m_connection;
    bool m_open = false;
    bool m_onCluster = false;     // autocommit is off until the end
    quint64 m_session = 0;
    QString m_clusterTransaction; // the session's claim count it wrote
};

// Inside a transaction the caller holds open: reads columns (the program's
// own SQL expressions) of table's row whose keyColumn is key and holds the row
// as LockRow does, its claim counted on a cluster. Null when there is no such
// row; else the row's values in the order of columns.
KCOMMON_EXPORT std::optional<QVariantList> ReadHeldRow(TZConnection &connection, const QString &table,
                                                      const QString &keyColumn, const QVariant &key,
                                                      const QString &columns);

// What a user reads when the same rows were written elsewhere at the same
// moment, twice in a row.
KCOMMON_EXPORT extern const QString WriteConflictText;

// Runs work, which begins and commits a transaction of its own, and runs it
// once more from the start when the database gave it up for a write conflict
// (IsWriteConflict): the second run reads what the other desk stored, so it
// ends as it would have on one server (a duplicate number refused, an item
// already passed on). Not inside a caller's transaction, which is lost then.
template <class Work>
auto RetryOnWriteConflict(TZConnection &connection, Work work) -> decltype(work())
{
    for (int attempt = 0;; ++attempt) {
        try {
            return work();
        } catch (const KException &e) {
            // A refusal the work met in a transaction the cluster had given
            // up (its reads no longer saw its own writes) is a conflict too.
            const auto *db = dynamic_cast<const EDatabaseError *>(&e);
            const bool givenUp = connection.TakeGivenUpTransaction();
            const bool conflict = givenUp || (db && IsWriteConflict(*db));
            if (!conflict || connection.InTransaction())
                throw;
            if (attempt > 0)
                throw EDatabaseError(Ui(WriteConflictText), QStringLiteral("1213"), db ? db->details() : QString());
        }
    }
}
