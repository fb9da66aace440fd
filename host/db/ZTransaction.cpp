#include "ZTransaction.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "ZConnection.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <utility>

const QString WriteConflictText = QStringLiteral(
    "Izmena nije sačuvana: iste podatke je u istom trenutku menjao neko drugi. Pokušajte ponovo.");

QString WriteConflictMessage() { return UiText(WriteConflictText); }

namespace {
const QString SessionClaimKey = QStringLiteral("CONCAT(@@wsrep_node_name, ':', CONNECTION_ID())");

// How often this session has claimed its own row, as this transaction sees it.
QString sessionClaims(TZConnection &connection)
{
    auto q = connection.OpenQuery(QStringLiteral("SELECT claims FROM rowclaim WHERE tablename = 'session' AND rowkey = ")
                                  + SessionClaimKey);
    return q->next() ? q->value(0).toString() : QString();
}

// Two nodes holding the same row write the same claim: only one commits.
void claimRow(TZConnection &connection, const QString &table, const QVariant &key)
{
    if (connection.IsCluster())
        connection.ExecSQL(QStringLiteral("INSERT INTO rowclaim (tablename, rowkey, claims) VALUES (?, ?, 1) "
                                          "ON DUPLICATE KEY UPDATE claims = claims + 1"),
                           {table, key.toString()});
}
} // namespace

TZTransaction::TZTransaction(TZConnection &connection) : m_connection(connection)
{
    if (m_connection.IsCluster()) {
        beginOnCluster();
        return;
    }
    m_connection.ExecSQL(m_connection.Dialect().BeginTransactionSql());
    m_open = true;
    m_connection.TransactionStarted();
}

// A cluster node that gives up a transaction for another node's write has
// been seen to answer the statement it was running as if nothing happened;
// the statements after it would then each commit on their own. So the
// transaction runs with autocommit off (whatever follows stays uncommitted),
// counts a claim on its session's own row at once, and Commit checks that
// the count is still its own: a transaction given up has lost it.
void TZTransaction::beginOnCluster()
{
    m_connection.ExecSQL(QStringLiteral("SET autocommit = 0"));
    m_onCluster = true;
    m_session = m_connection.SessionSerial();
    m_connection.ExecSQL(QStringLiteral("START TRANSACTION"));
    m_open = true;
    m_connection.TransactionStarted();
    m_connection.ExecSQL(QStringLiteral("INSERT INTO rowclaim (tablename, rowkey, claims) VALUES ('session', ")
                         + SessionClaimKey + QStringLiteral(", 1) ON DUPLICATE KEY UPDATE claims = claims + 1"));
    m_clusterTransaction = sessionClaims(m_connection);
}

void TZTransaction::endOnCluster()
{
    if (!std::exchange(m_onCluster, false))
        return;
    m_connection.ExecSQL(QStringLiteral("SET autocommit = 1"));
}

TZTransaction::~TZTransaction()
{
    Rollback();
}

bool TZTransaction::LockRow(const QString &table, const QString &keyColumn, const QVariant &key)
{
    if (!m_connection.OpenQuery(m_connection.Dialect().LockRowSql(table, keyColumn), {key})->next())
        return false;
    claimRow(m_connection, table, key);
    return true;
}

std::optional<QVariantList> ReadHeldRow(TZConnection &connection, const QString &table, const QString &keyColumn,
                                        const QVariant &key, const QString &columns)
{
    if (!connection.InTransaction())
        throw EDatabaseError(UiText(u"Red se drži samo u transakciji."));
    auto q = connection.OpenQuery(connection.Dialect().HeldReadSql(table, keyColumn, columns), {key});
    if (!q->next())
        return std::nullopt;
    QVariantList values;
    for (int i = 0; i < q->record().count(); ++i)
        values << q->value(i);
    q.reset();
    claimRow(connection, table, key);
    return values;
}

void TZTransaction::Commit()
{
    if (!m_open)
        throw EDatabaseError(UiText(u"Transakcija je već završena."));
    if (m_onCluster) {
        // Asked while the transaction still counts as open: a connection lost
        // here is not read again on another node as if nothing happened.
        try {
            if (m_clusterTransaction.isEmpty() || sessionClaims(m_connection) != m_clusterTransaction)
                throw EDatabaseError(UiText(u"Transakciju je prekinuo drugi server klastera."), QStringLiteral("1213"));
        } catch (...) {
            Rollback();
            throw;
        }
    }
    m_open = false;
    m_connection.TransactionEnded();
    try {
        m_connection.ExecSQL(QStringLiteral("COMMIT"));
        endOnCluster();
    } catch (...) {
        // A failed commit leaves nothing half-done behind.
        try {
            m_connection.ExecSQL(QStringLiteral("ROLLBACK"));
        } catch (const KException &e) {
            qWarning("Rollback after a failed commit failed: %s", e.what());
        }
        closeCluster();
        throw;
    }
}

void TZTransaction::Rollback()
{
    if (!m_open)
        return;
    m_open = false;
    m_connection.TransactionEnded();
    // Only a transaction of this session can have been given up; one lost
    // with its server may have committed, and is never run again.
    if (m_onCluster && m_session == m_connection.SessionSerial()) {
        try {
            if (sessionClaims(m_connection) != m_clusterTransaction)
                m_connection.NoteGivenUpTransaction();
        } catch (const KException &) {
            m_connection.NoteGivenUpTransaction();
        }
    }
    try {
        m_connection.ExecSQL(QStringLiteral("ROLLBACK"));
    } catch (const KException &e) {
        // Called from the destructor too, where nothing may escape; the
        // server ends the transaction with the session anyway.
        qWarning("Rollback failed: %s", e.what());
    }
    closeCluster();
}

void TZTransaction::closeCluster() noexcept
{
    try {
        endOnCluster();
    } catch (const KException &e) {
        // A lost session comes back with autocommit on.
        qWarning("Autocommit not restored: %s", e.what());
    }
}
