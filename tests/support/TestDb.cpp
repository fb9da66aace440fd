#include "TestDb.h"

#include "KException.h"
#include "SchemaInstaller.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QProcessEnvironment>

namespace {
QAtomicInt g_serial;

QAtomicInt g_desks;

TConnectionParams mariaServerParams()
{
    const auto env = QProcessEnvironment::systemEnvironment();
    TConnectionParams p;
    p.Driver = QStringLiteral("QMYSQL");
    if (TestDb::OnCluster())
        p.Servers = env.value(QStringLiteral("KLEDGER_GALERA_SOCKETS"));
    else
        p.Socket = env.value(QStringLiteral("KLEDGER_MARIADB_SOCKET"));
    p.User = env.value(QStringLiteral("KLEDGER_MARIADB_USER"), QStringLiteral("ledger"));
    p.Password = env.value(QStringLiteral("KLEDGER_MARIADB_PASSWORD"), QStringLiteral("ledger"));
    return p;
}
} // namespace

QString TestDb::BackendName()
{
    const QString b = qEnvironmentVariable("KLEDGER_TEST_BACKEND", QStringLiteral("sqlite")).toLower();
    return b == QLatin1String("mariadb") || b == QLatin1String("galera") ? QStringLiteral("mariadb") : QStringLiteral("sqlite");
}

bool TestDb::OnCluster()
{
    return qEnvironmentVariable("KLEDGER_TEST_BACKEND").toLower() == QLatin1String("galera");
}

QStringList TestDb::ClusterSockets()
{
    return qEnvironmentVariable("KLEDGER_GALERA_SOCKETS").split(u';', Qt::SkipEmptyParts);
}

bool TestDb::MariaDbConfigured()
{
    return !qEnvironmentVariable(OnCluster() ? "KLEDGER_GALERA_SOCKETS" : "KLEDGER_MARIADB_SOCKET").isEmpty();
}

TestDb::TestDb()
{
    m_connection = std::make_unique<TZConnection>();
    try {
        if (BackendName() == QLatin1String("mariadb")) {
            if (!MariaDbConfigured()) {
                m_skipReason = OnCluster() ? QStringLiteral("KLEDGER_GALERA_SOCKETS is not set; run scripts/test.sh")
                                           : QStringLiteral("KLEDGER_MARIADB_SOCKET is not set; run scripts/test.sh");
                return;
            }
            m_mariaDbName = QStringLiteral("ledger_test_%1_%2")
                                .arg(QCoreApplication::applicationPid())
                                .arg(g_serial.fetchAndAddRelaxed(1));
            TZConnection admin;
            admin.SetParams(mariaServerParams());
            admin.Connect();
            admin.ExecSQL(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(m_mariaDbName));
            admin.ExecSQL(QStringLiteral("CREATE DATABASE %1 CHARACTER SET utf8mb4").arg(m_mariaDbName));
            m_params = mariaServerParams();
            m_params.Database = m_mariaDbName;
        } else {
            m_params.Driver = QStringLiteral("QSQLITE");
            m_params.Database = m_dir.filePath(QStringLiteral("test.db"));
        }
        m_connection->SetParams(m_params);
        m_connection->Connect();
        InstallSchema(*m_connection);
        m_available = true;
    } catch (const KException &e) {
        qFatal("Test database could not be prepared: %s", e.what());
    }
}

TestDb::~TestDb()
{
    m_connection.reset();
    if (!m_mariaDbName.isEmpty() && m_available) {
        try {
            TZConnection admin;
            admin.SetParams(mariaServerParams());
            admin.Connect();
            admin.ExecSQL(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(m_mariaDbName));
        } catch (const KException &) {
        }
    }
}

std::unique_ptr<TZConnection> TestDb::OpenSecondConnection() const
{
    TConnectionParams params = m_params;
    if (OnCluster()) {
        // Each further desk prefers the next node: two desks at once are two
        // offices on two servers.
        QStringList nodes = ClusterSockets();
        const int shift = 1 + g_desks.fetchAndAddRelaxed(1) % int(qMax(1, int(nodes.size()) - 1));
        for (int i = 0; i < shift && !nodes.isEmpty(); ++i)
            nodes.append(nodes.takeFirst());
        params.Servers = nodes.join(u';');
    }
    return OpenConnection(params);
}

std::unique_ptr<TZConnection> TestDb::OpenConnection(const TConnectionParams &params)
{
    auto c = std::make_unique<TZConnection>();
    c->SetParams(params);
    c->Connect();
    return c;
}
