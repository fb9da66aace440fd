#include "SchemaInstaller.h"

#include "KException.h"
#include "ZConnection.h"

#include <QDateTime>
#include <algorithm>
#include <QFile>
#include <QSqlQuery>

static void initSchemaResource() { Q_INIT_RESOURCE(schema); }

namespace {

QString stepFile(const TZConnection &connection, int version)
{
    const bool mysql = connection.Backend() == TBackend::MySQL;
    switch (version) {
    case 1:
        return mysql ? QStringLiteral(":/schema/mysql.sql") : QStringLiteral(":/schema/sqlite.sql");
    case 2:
        return mysql ? QStringLiteral(":/schema/mysql-history.sql") : QStringLiteral(":/schema/sqlite-history.sql");
    case 3:
        return mysql ? QStringLiteral(":/schema/mysql-cluster.sql") : QStringLiteral(":/schema/sqlite-cluster.sql");
    case 4:
        return mysql ? QStringLiteral(":/schema/mysql-search.sql") : QStringLiteral(":/schema/sqlite-search.sql");
    default:
        throw EDatabaseError(QStringLiteral("Nepoznat korak šeme: %1").arg(version));
    }
}

QStringList fileStatements(const QString &fileName)
{
    initSchemaResource();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EDatabaseError(QStringLiteral("Datoteka šeme nije pronađena: %1").arg(file.fileName()));
    QStringList statements;
    QString current;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("--")))
            continue;
        current += raw + u'\n';
        if (line.endsWith(u';')) {
            current = current.trimmed();
            current.chop(1);
            statements << current;
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current.trimmed();
    return statements;
}

void runStep(TZConnection &connection, int version)
{
    for (const QString &statement : SchemaStepStatements(connection, version))
        connection.ExecSQL(statement);
}

void recordStep(TZConnection &connection, int version)
{
    try {
        connection.ExecSQL(QStringLiteral("INSERT INTO schemaversion (version, appliedat) VALUES (?, ?)"),
                           {version, TZConnection::DateTimeText(QDateTime::currentDateTime())});
    } catch (const EDatabaseError &e) {
        // Another desk upgrading the same book at once recorded it first.
        if (!IsUniqueViolation(e))
            throw;
    }
}

} // namespace

QStringList SchemaStatements(const TZConnection &connection)
{
    return fileStatements(stepFile(connection, 1));
}

QStringList SchemaStepStatements(const TZConnection &connection, int version)
{
    return fileStatements(stepFile(connection, version));
}

void InstallSchema(TZConnection &connection)
{
    for (int version = 1; version <= CurrentSchemaVersion; ++version) {
        runStep(connection, version);
        recordStep(connection, version);
    }
}

void UpgradeSchema(TZConnection &connection)
{
    // Step 1 again: it creates the version table in a book made before it.
    const int recorded = std::max(SchemaVersion(connection), 1);
    runStep(connection, 1);
    if (recorded == 1)
        recordStep(connection, 1);
    for (int version = recorded + 1; version <= CurrentSchemaVersion; ++version) {
        runStep(connection, version);
        recordStep(connection, version);
    }
}

int SchemaVersion(TZConnection &connection)
{
    if (!connection.TableExists(QStringLiteral("schemaversion")))
        return 0;
    auto q = connection.OpenQuery(QStringLiteral("SELECT MAX(version) FROM schemaversion"));
    return q->next() ? q->value(0).toInt() : 0;
}

bool SchemaInstalled(TZConnection &connection)
{
    return connection.TableExists(QStringLiteral("ledgeritem"));
}
