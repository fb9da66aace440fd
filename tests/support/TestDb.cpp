#include "TestDb.h"

#include "KException.h"
#include "SchemaInstaller.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlQuery>

namespace {
QAtomicInt g_serial;

QAtomicInt g_desks;

// The desks' account, or with admin the administrator's; no database yet.
TConnectionParams mariaServerParams(bool admin)
{
    const auto env = QProcessEnvironment::systemEnvironment();
    TConnectionParams p;
    p.Driver = QStringLiteral("QMYSQL");
    if (TestDb::OnCluster())
        p.Servers = env.value(QStringLiteral("KLEDGER_GALERA_SOCKETS"));
    else
        p.Socket = env.value(QStringLiteral("KLEDGER_MARIADB_SOCKET"));
    const QString prefix = admin ? QStringLiteral("KLEDGER_MARIADB_ADMIN_") : QStringLiteral("KLEDGER_MARIADB_");
    const QString fallback = admin ? QStringLiteral("ledger") : QStringLiteral("ledger_desk");
    p.User = env.value(prefix + QStringLiteral("USER"), fallback);
    p.Password = env.value(prefix + QStringLiteral("PASSWORD"), fallback);
    return p;
}

// The administrator runs the script with the server's own client, as the
// README tells; the desks' account exists already (made with the server).
void grantDesk(const TConnectionParams &adminSession, const QString &deskUser)
{
    QProcess client;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MYSQL_PWD"), adminSession.Password);
    client.setProcessEnvironment(env);
    client.setStandardInputFile(QStringLiteral(KLEDGER_DESK_ACCOUNT_SQL));
    const QString deskVariables = QStringLiteral("SET @desk_user = %1, @desk_host = 'localhost'").arg(QuotedStr(deskUser));
    client.start(QStringLiteral("mariadb"),
                 {QStringLiteral("--no-defaults"), QStringLiteral("--socket=") + adminSession.Socket,
                  QStringLiteral("--user=") + adminSession.User, QStringLiteral("--init-command=") + deskVariables,
                  adminSession.Database});
    if (!client.waitForFinished(60000) || client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0)
        throw EDatabaseError(QStringLiteral("desk-account.sql failed (%1): %2")
                                 .arg(client.errorString(), QString::fromUtf8(client.readAllStandardError())));
}
// Another node applies the grants a moment after the one that ran them; a
// desk logging in there at once must find them. A read on each node waits
// for what the cluster has committed (the sessions' wsrep_sync_wait).
void waitForEveryNode()
{
    for (const QString &socket : TestDb::ClusterSockets()) {
        TConnectionParams node = mariaServerParams(true);
        node.Servers.clear();
        node.Socket = socket;
        try {
            TestDb::OpenConnection(node)->OpenQuery(QStringLiteral("SELECT 1"));
        } catch (const EDatabaseError &) {
            // A node a test has stopped takes no desk; it catches up when it rejoins.
        }
    }
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
            TZConnection server;
            server.SetParams(AdminServerParams());
            server.Connect();
            server.ExecSQL(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(m_mariaDbName));
            server.ExecSQL(QStringLiteral("CREATE DATABASE %1 CHARACTER SET utf8mb4").arg(m_mariaDbName));
            m_params = mariaServerParams(false);
            m_params.Database = m_mariaDbName;
            // Made as a shared book is: tables by the administrator, then the desks' rights.
            auto admin = OpenAdminConnection();
            InstallSchema(*admin);
            grantDesk(admin->SessionParams(), m_params.User);
            if (OnCluster())
                waitForEveryNode();
        } else {
            m_params.Driver = QStringLiteral("QSQLITE");
            m_params.Database = m_dir.filePath(QStringLiteral("test.db"));
        }
        m_connection->SetParams(m_params);
        m_connection->Connect();
        if (m_mariaDbName.isEmpty())
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
            admin.SetParams(AdminServerParams());
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

TConnectionParams TestDb::AdminServerParams()
{
    return mariaServerParams(true);
}

TConnectionParams TestDb::AdminParams() const
{
    if (m_mariaDbName.isEmpty())
        return m_params;
    TConnectionParams params = AdminServerParams();
    params.Database = m_mariaDbName;
    return params;
}

std::unique_ptr<TZConnection> TestDb::OpenAdminConnection() const
{
    return OpenConnection(AdminParams());
}

void TestDb::GrantDeskAccount() const
{
    if (m_mariaDbName.isEmpty())
        return;
    auto admin = OpenAdminConnection();
    grantDesk(admin->SessionParams(), m_params.User);
    if (OnCluster())
        waitForEveryNode();
}

std::unique_ptr<TZConnection> TestDb::OpenConnection(const TConnectionParams &params)
{
    auto c = std::make_unique<TZConnection>();
    c->SetParams(params);
    c->Connect();
    return c;
}
