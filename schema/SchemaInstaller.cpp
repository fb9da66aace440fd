#include "SchemaInstaller.h"

#include "HistoryChaining.h"
#include "KException.h"
#include "ZConnection.h"
#include "ZTransaction.h"

#include <QDateTime>
#include <algorithm>
#include <QFile>
#include <QRegularExpression>
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
    case 5:
        return mysql ? QStringLiteral(":/schema/mysql-registers.sql") : QStringLiteral(":/schema/sqlite-registers.sql");
    case 6:
        return mysql ? QStringLiteral(":/schema/mysql-register-columns.sql")
                     : QStringLiteral(":/schema/sqlite-register-columns.sql");
    case 7:
        return mysql ? QStringLiteral(":/schema/mysql-history-chain.sql") : QStringLiteral(":/schema/sqlite-history-chain.sql");
    case 8:
        return mysql ? QStringLiteral(":/schema/mysql-handover-records.sql")
                     : QStringLiteral(":/schema/sqlite-handover-records.sql");
    case 9:
        return mysql ? QStringLiteral(":/schema/mysql-document-text.sql") : QStringLiteral(":/schema/sqlite-document-text.sql");
    case 10:
        return mysql ? QStringLiteral(":/schema/mysql-folded-keys.sql") : QStringLiteral(":/schema/sqlite-folded-keys.sql");
    case 11:
        return mysql ? QStringLiteral(":/schema/mysql-user-settings.sql") : QStringLiteral(":/schema/sqlite-user-settings.sql");
    default:
        throw EDatabaseError(QStringLiteral("Nepoznat korak šeme: %1").arg(version));
    }
}

QStringList fileStatements(const QString &fileName)
{
    if (fileName.isEmpty())
        return {};
    initSchemaResource();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EDatabaseError(QStringLiteral("Datoteka šeme nije pronađena: %1").arg(file.fileName()));
    QStringList statements;
    QString current;
    // A trigger's body holds statements of its own: it ends at "END;".
    bool inTrigger = false;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("--")))
            continue;
        if (current.isEmpty())
            inTrigger = line.startsWith(QLatin1String("CREATE TRIGGER"), Qt::CaseInsensitive);
        current += raw + u'\n';
        if (inTrigger ? line.compare(QLatin1String("END;"), Qt::CaseInsensitive) == 0 : line.endsWith(u';')) {
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

// SQLite's ADD COLUMN has no IF NOT EXISTS; this stands in for it, so that
// a step runs again on a book that lost its version table.
bool columnExists(TZConnection &connection, const QString &statement)
{
    static const QRegularExpression addColumn(QStringLiteral(R"(^ALTER TABLE (\w+) ADD COLUMN (\w+))"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = addColumn.match(statement);
    if (!match.hasMatch() || connection.Backend() != TBackend::SQLite)
        return false;
    auto q = connection.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM pragma_table_info(?) WHERE name = ?"),
                                  {match.captured(1), match.captured(2)});
    return q->next() && q->value(0).toInt() > 0;
}

void runStep(TZConnection &connection, int version)
{
    for (const QString &statement : SchemaStepStatements(connection, version))
        if (!columnExists(connection, statement))
            connection.ExecSQL(statement);
    // The history written before the chain joins it, once.
    if (version == 7)
        ChainUnchainedHistory(connection);
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

// SQLite's DDL is transactional but has no ADD COLUMN IF NOT EXISTS: a step
// runs whole or not at all, so running it again never meets a half of it.
// MariaDB commits each DDL statement; its steps are written to run again.
void applyStep(TZConnection &connection, int version)
{
    if (connection.Backend() == TBackend::MySQL || connection.InTransaction()) {
        runStep(connection, version);
        recordStep(connection, version);
        return;
    }
    TZTransaction transaction(connection);
    runStep(connection, version);
    recordStep(connection, version);
    transaction.Commit();
}

const QString RightsText = QStringLiteral(
    "Šemu baze mora da napravi ili dopuni administrator baze: nalog „%1“ nema pravo da pravi ni menja tabele "
    "baze „%2“. Administrator jednom pokrene program sa svojim nalogom baze, pa nalogu radnih mesta dodeli prava "
    "skriptom desk-account.sql (/usr/share/delovodnik/desk-account.sql).");

} // namespace

bool IsPermissionDenied(const EDatabaseError &error)
{
    static const QStringList codes = {QStringLiteral("1044"), QStringLiteral("1142"), QStringLiteral("1143"),
                                      QStringLiteral("1227")};
    return codes.contains(error.nativeCode());
}

ESchemaRights::ESchemaRights(const TZConnection &connection, const EDatabaseError &refusal)
    : EDatabaseError(RightsText.arg(connection.Params().User, connection.Params().Database), refusal.nativeCode(),
                     refusal.details().isEmpty() ? refusal.message() : refusal.details())
{
}

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
    try {
        for (int version = 1; version <= CurrentSchemaVersion; ++version)
            applyStep(connection, version);
    } catch (const EDatabaseError &e) {
        if (IsPermissionDenied(e))
            throw ESchemaRights(connection, e);
        throw;
    }
}

void UpgradeSchema(TZConnection &connection)
{
    // Step 1 again: it creates the version table in a book made before it.
    const int recorded = std::max(SchemaVersion(connection), 1);
    try {
        runStep(connection, 1);
        if (recorded == 1)
            recordStep(connection, 1);
        for (int version = recorded + 1; version <= CurrentSchemaVersion; ++version)
            applyStep(connection, version);
    } catch (const EDatabaseError &e) {
        if (!IsPermissionDenied(e))
            throw;
        // The desks' account may not touch the tables: a book already at this
        // version needs nothing from it, an older one needs its administrator.
        if (recorded < CurrentSchemaVersion)
            throw ESchemaRights(connection, e);
    }
}

int SchemaVersion(TZConnection &connection)
{
    if (!connection.TableExists(QStringLiteral("schemaversion")))
        return 0;
    auto q = connection.OpenQuery(QStringLiteral("SELECT MAX(version) FROM schemaversion"));
    return q->next() ? q->value(0).toInt() : 0;
}

void EnsureAdministrator(TZConnection &connection)
{
    connection.ExecSQL(QStringLiteral("UPDATE user SET role = 'a' WHERE userid = (SELECT MIN(userid) FROM user) "
                                      "AND NOT EXISTS (SELECT 1 FROM user WHERE role = 'a')"));
}

bool SchemaInstalled(TZConnection &connection)
{
    return connection.TableExists(QStringLiteral("ledgeritem"));
}
