#include "ConsoleSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace ConsoleSettings {

QString IniPath()
{
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return QDir(QCoreApplication::applicationDirPath()).filePath(exe.completeBaseName() + QStringLiteral(".ini"));
}

TConnectionParams LoadConnectionParams(const QString &iniPath)
{
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Database"));
    const std::pair<const char *, QVariant> defaults[] = {
        {"Driver", QStringLiteral("QSQLITE")},
        {"Database", QStringLiteral("kledger.db")},
        {"Host", QStringLiteral("localhost")},
        {"Port", 3306},
        {"Socket", QString()},
        {"User", QString()},
        {"Password", QString()},
    };
    bool wrote = false;
    for (const auto &[key, value] : defaults) {
        if (!ini.contains(QLatin1String(key))) {
            ini.setValue(QLatin1String(key), value);
            wrote = true;
        }
    }

    TConnectionParams p;
    p.Driver = ini.value(QStringLiteral("Driver")).toString().trimmed().toUpper();
    if (p.Driver != QLatin1String("QMYSQL") && p.Driver != QLatin1String("QMARIADB"))
        p.Driver = QStringLiteral("QSQLITE");
    p.Database = ini.value(QStringLiteral("Database")).toString().trimmed();
    p.Host = ini.value(QStringLiteral("Host")).toString().trimmed();
    p.Port = ini.value(QStringLiteral("Port")).toInt();
    p.Socket = ini.value(QStringLiteral("Socket")).toString().trimmed();
    p.User = ini.value(QStringLiteral("User")).toString();
    p.Password = ini.value(QStringLiteral("Password")).toString();
    ini.endGroup();
    if (wrote)
        ini.sync();

    if (p.Driver == QLatin1String("QSQLITE")) {
        if (p.Database.isEmpty())
            p.Database = QStringLiteral("kledger.db");
        p.Database = QDir::cleanPath(QFileInfo(iniPath).absoluteDir().absoluteFilePath(p.Database));
    }
    return p;
}

QString DatabaseCaption(const TConnectionParams &params)
{
    if (params.Driver == QLatin1String("QSQLITE"))
        return QStringLiteral("SQLite: %1").arg(QDir::toNativeSeparators(params.Database));
    return QStringLiteral("MariaDB: %1").arg(params.Database);
}

QString LastLogin(const QString &iniPath)
{
    return QSettings(iniPath, QSettings::IniFormat).value(QStringLiteral("Session/LastLogin")).toString();
}

void SetLastLogin(const QString &iniPath, const QString &login)
{
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.setValue(QStringLiteral("Session/LastLogin"), login);
}

} // namespace ConsoleSettings
