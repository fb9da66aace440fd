#pragma once
// A fresh, empty database with the schema installed, on the backend named by
// KLEDGER_TEST_BACKEND (sqlite or mariadb). The MariaDB database is private to
// the test process and dropped when the object goes away.
//
// On MariaDB the database is made as a shared book is: the administrator's
// account (KLEDGER_MARIADB_ADMIN_USER/PASSWORD, default ledger/ledger) makes
// it and its tables, then scripts/desk-account.sql gives the desks' account
// (KLEDGER_MARIADB_USER/PASSWORD, default ledger_desk/ledger_desk) its rights;
// every desk connection logs in as the desks' account.

#include "ZConnection.h"

#include <QTemporaryDir>
#include <memory>

class TestDb
{
public:
    TestDb();   // QSKIPs are not possible in a constructor: check Available()
    ~TestDb();

    static QString BackendName();             // "sqlite" or "mariadb" (a cluster too)
    // KLEDGER_TEST_BACKEND=galera: MariaDB on the private three-node cluster
    // whose sockets KLEDGER_GALERA_SOCKETS lists; the first desk prefers
    // node 1, each second connection the next node.
    static bool OnCluster();
    static QStringList ClusterSockets();
    static bool MariaDbConfigured();          // socket given in the environment
    bool Available() const { return m_available; }
    QString SkipReason() const { return m_skipReason; }

    TZConnection &Connection() { return *m_connection; }
    // A second connection to the same database (two desks at once).
    std::unique_ptr<TZConnection> OpenSecondConnection() const;
    // The administrator's connection to the same database, for what a desk
    // may not do: change tables, tamper with the history. On SQLite simply
    // another connection.
    std::unique_ptr<TZConnection> OpenAdminConnection() const;
    static std::unique_ptr<TZConnection> OpenConnection(const TConnectionParams &params);
    TConnectionParams Params() const { return m_params; }
    TConnectionParams AdminParams() const;
    // The administrator's account on the server, without a database.
    static TConnectionParams AdminServerParams();
    // Runs scripts/desk-account.sql on the database again, as after an
    // upgrade that made tables (MariaDB only).
    void GrantDeskAccount() const;

private:
    bool m_available = false;
    QString m_skipReason;
    QTemporaryDir m_dir;
    TConnectionParams m_params;
    QString m_mariaDbName;
    std::unique_ptr<TZConnection> m_connection;
};

// Use at the top of a test function or init(): skips when the backend is missing.
#define REQUIRE_TESTDB(db)                                                                   \
    do {                                                                                     \
        if (!(db).Available())                                                               \
            QSKIP(qPrintable((db).SkipReason()));                                            \
    } while (false)
