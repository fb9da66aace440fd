#include "SchemaInstaller.h"

#include "KException.h"
#include "ZConnection.h"

#include <QFile>
#include <QSqlQuery>

static void initSchemaResource() { Q_INIT_RESOURCE(schema); }

QStringList SchemaStatements(const TZConnection &connection)
{
    initSchemaResource();
    QFile file(connection.Backend() == TBackend::MySQL ? QStringLiteral(":/schema/mysql.sql")
                                                       : QStringLiteral(":/schema/sqlite.sql"));
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

void InstallSchema(TZConnection &connection)
{
    for (const QString &statement : SchemaStatements(connection))
        connection.ExecSQL(statement);
}

void UpgradeSchema(TZConnection &connection)
{
    if (connection.Backend() == TBackend::SQLite)
        InstallSchema(connection);
}

bool SchemaInstalled(TZConnection &connection)
{
    const QString sql = connection.Backend() == TBackend::MySQL
        ? QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() "
                         "AND TABLE_NAME = 'ledgeritem'")
        : QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'ledgeritem'");
    auto q = connection.OpenQuery(sql);
    return q->next() && q->value(0).toInt() > 0;
}
