#include "ErrorLog.h"

#include <QDateTime>
#include <QFile>

namespace {

QString &logPath()
{
    static QString path;
    return path;
}

} // namespace

void SetErrorLogPath(const QString &path)
{
    logPath() = path;
}

QString ErrorLogPath()
{
    return logPath();
}

void LogError(const QString &message, const QString &details)
{
    QString entry = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u' ' + message + u'\n';
    if (!details.isEmpty())
        entry += QStringLiteral("    ") + QString(details).replace(u'\n', QStringLiteral("\n    ")) + u'\n';
    QFile file(logPath());
    if (logPath().isEmpty() || !file.open(QIODevice::Append | QIODevice::Text)) {
        qWarning("%s", qUtf8Printable(entry.trimmed()));
        return;
    }
    file.write(entry.toUtf8());
}
