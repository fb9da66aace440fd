#include "ZTransaction.h"

#include "KException.h"
#include "SqlText.h"
#include "ZConnection.h"

#include <QSqlQuery>

TZTransaction::TZTransaction(TZConnection &connection) : m_connection(connection)
{
    m_connection.ExecSQL(m_connection.Backend() == TBackend::SQLite ? QStringLiteral("BEGIN IMMEDIATE")
                                                                     : QStringLiteral("START TRANSACTION"));
    m_open = true;
    m_connection.TransactionStarted();
}

TZTransaction::~TZTransaction()
{
    Rollback();
}

bool TZTransaction::LockRow(const QString &table, const QString &keyColumn, const QVariant &key)
{
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %1 = ?").arg(QuoteIdent(keyColumn), QuoteIdent(table));
    if (m_connection.Backend() == TBackend::MySQL)
        sql += QStringLiteral(" FOR UPDATE");
    return m_connection.OpenQuery(sql, {key})->next();
}

void TZTransaction::Commit()
{
    if (!m_open)
        throw EDatabaseError(QStringLiteral("Transakcija je već završena."));
    m_open = false;
    m_connection.TransactionEnded();
    try {
        m_connection.ExecSQL(QStringLiteral("COMMIT"));
    } catch (...) {
        // A failed commit leaves nothing half-done behind.
        try {
            m_connection.ExecSQL(QStringLiteral("ROLLBACK"));
        } catch (const KException &e) {
            qWarning("Rollback after a failed commit failed: %s", e.what());
        }
        throw;
    }
}

void TZTransaction::Rollback()
{
    if (!m_open)
        return;
    m_open = false;
    m_connection.TransactionEnded();
    try {
        m_connection.ExecSQL(QStringLiteral("ROLLBACK"));
    } catch (const KException &e) {
        // Called from the destructor too, where nothing may escape; the
        // server ends the transaction with the session anyway.
        qWarning("Rollback failed: %s", e.what());
    }
}
