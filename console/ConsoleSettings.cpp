#include "ConsoleSettings.h"

#include "IniFile.h"

#include <QDir>
#include <QFileInfo>

namespace ConsoleSettings {

namespace {
QDir bookDir(const QString &iniPath, const QString &bookFolder)
{
    return bookFolder.isEmpty() ? QFileInfo(iniPath).absoluteDir() : QDir(bookFolder);
}
} // namespace

TConsolePaths Paths()
{
    return ConsolePaths::ForThisProgram(QStringLiteral(KCONSOLE_PRODUCT));
}

TConnectionParams LoadConnectionParams(const QString &iniPath, const QString &bookFolder)
{
    TIniFile ini(iniPath);
    const QString section = QStringLiteral("Database");
    const std::pair<const char *, QString> defaults[] = {
        {"Driver", QStringLiteral("QSQLITE")},
        {"Database", QStringLiteral(KCONSOLE_DATABASE_FILE)},
        {"Host", QStringLiteral("localhost")},
        {"Port", QStringLiteral("3306")},
        {"Socket", QString()},
        // Several servers, in order of preference: when set, Host, Port and
        // Socket are not used (see the README).
        {"Servers", QString()},
        {"User", QString()},
        {"Password", QString()},
        {"ConnectTimeout", QStringLiteral("10")},
        {"ReadTimeout", QStringLiteral("30")},
        {"WriteTimeout", QStringLiteral("30")},
    };
    bool wrote = false;
    for (const auto &[key, value] : defaults) {
        if (!ini.Contains(section, QLatin1String(key))) {
            ini.SetValue(section, QLatin1String(key), value);
            wrote = true;
        }
    }
    const auto value = [&](const char *key) { return ini.Value(section, QLatin1String(key)); };

    TConnectionParams p;
    p.Driver = value("Driver").trimmed().toUpper();
    if (p.Driver != QLatin1String("QMYSQL") && p.Driver != QLatin1String("QMARIADB"))
        p.Driver = QStringLiteral("QSQLITE");
    p.Database = value("Database").trimmed();
    p.Host = value("Host").trimmed();
    p.Port = value("Port").trimmed().toInt();
    p.Socket = value("Socket").trimmed();
    p.Servers = value("Servers");
    p.User = value("User");
    p.Password = value("Password");
    // Seconds; a text that is no positive number keeps the default.
    const auto seconds = [&](const char *key, int def) {
        bool ok = false;
        const int n = value(key).trimmed().toInt(&ok);
        return ok && n > 0 ? n : def;
    };
    p.ConnectTimeout = seconds("ConnectTimeout", p.ConnectTimeout);
    p.ReadTimeout = seconds("ReadTimeout", p.ReadTimeout);
    p.WriteTimeout = seconds("WriteTimeout", p.WriteTimeout);
    if (wrote)
        ini.Save();

    if (p.Driver == QLatin1String("QSQLITE")) {
        if (p.Database.isEmpty())
            p.Database = QStringLiteral(KCONSOLE_DATABASE_FILE);
        p.Database = QDir::cleanPath(bookDir(iniPath, bookFolder).absoluteFilePath(p.Database));
    }
    return p;
}

void SaveConnectionParams(const QString &iniPath, const TConnectionParams &params, const QString &bookFolder)
{
    TIniFile ini(iniPath);
    const QString section = QStringLiteral("Database");
    const auto set = [&](const char *key, const QString &value) { ini.SetValue(section, QLatin1String(key), value); };
    set("Driver", params.Driver);
    if (params.Driver == QLatin1String("QSQLITE")) {
        const QFileInfo file(params.Database);
        const bool inFolder = file.absoluteDir() == bookDir(iniPath, bookFolder);
        set("Database", inFolder ? file.fileName() : params.Database);
    } else {
        set("Database", params.Database);
        set("Host", params.Host);
        set("Port", QString::number(params.Port));
        set("Socket", params.Socket);
        set("Servers", params.Servers);
        set("User", params.User);
        set("Password", params.Password);
    }
    ini.Save();
}

QString DefaultBookFile(const QString &iniPath, const QString &bookFolder)
{
    return QDir::cleanPath(bookDir(iniPath, bookFolder).absoluteFilePath(QStringLiteral(KCONSOLE_DATABASE_FILE)));
}

QString DatabaseCaption(const TConnectionParams &params)
{
    if (params.Driver == QLatin1String("QSQLITE"))
        return QStringLiteral("SQLite: %1").arg(QDir::toNativeSeparators(params.Database));
    return QStringLiteral("MariaDB: %1").arg(params.Database);
}

QString LastLogin(const QString &iniPath)
{
    return TIniFile(iniPath).Value(QStringLiteral("Session"), QStringLiteral("LastLogin"));
}

void SetLastLogin(const QString &iniPath, const QString &login)
{
    TIniFile ini(iniPath);
    ini.SetValue(QStringLiteral("Session"), QStringLiteral("LastLogin"), login);
    ini.Save();
}

} // namespace ConsoleSettings
