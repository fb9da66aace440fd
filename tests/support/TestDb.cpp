#include "TestDb.h"

#include "KException.h"
#include "SchemaInstaller.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QProcessEnvironment>

namespace {
QAtomicInt g_serial;

TConnectionParams mariaServerParams()
{
    const auto env = QProcessEnvironment::systemEnvironment();
    TConnectionParams p;
    p.Driver = QStringLiteral("QMYSQL");
    p.Socket = env.value(QStringLiteral("KLEDGER_MARIADB_SOCKET"));
    p.User = env.value(QStringLiteral("KLEDGER_MARIADB_USER"), QStringLiteral("ledger"));
    p.Password = env.value(QStringLiteral("KLEDGER_MARIADB_PASSWORD"), QStringLiteral("ledger"));
    return p;
}
} // namespace

QString TestDb::BackendName()
{
    const QString b = qEnvironmentVariable("KLEDGER_TEST_BACKEND", QStringLiteral("sqlite")).toLower();
    return b == QLatin1String("mariadb") ? b : QStringLiteral("sqlite");
}

bool TestDb::MariaDbConfigured()
{
    return !qEnvironmentVariable("KLEDGER_MARIADB_SOCKET").isEmpty();
}

TestDb::TestDb()
{
    m_connection = std::make_unique<TZConnection>();
    try {
        if (BackendName() == QLatin1String("mariadb")) {
            if (!MariaDbConfigured()) {
                m_skipReason = QStringLiteral("KLEDGER_MARIADB_SOCKET is not set; run scripts/test.sh");
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
    auto c = std::make_unique<TZConnection>();
    c->SetParams(m_params);
    c->Connect();
    return c;
}
