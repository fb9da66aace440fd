#include "UserSettings.h"

#include "ZConnection.h"

#include <QSqlQuery>

namespace {

const QString ScriptKey = QStringLiteral("script");

} // namespace

namespace UserSettings {

TScript Script(TZConnection &connection, qint64 userID)
{
    auto q = connection.OpenQuery(
        QStringLiteral("SELECT settingvalue FROM usersetting WHERE userid = ? AND settingkey = ?"), {userID, ScriptKey});
    if (!q->next())
        return TScript::Latin;
    return ScriptFromName(q->value(0).toString()).value_or(TScript::Latin);
}

void SaveScript(TZConnection &connection, qint64 userID, TScript script)
{
    connection.ExecSQL(connection.Dialect().UpsertSql(QStringLiteral("usersetting"),
                                                      {QStringLiteral("userid"), QStringLiteral("settingkey")},
                                                      {QStringLiteral("settingvalue")}),
                       {userID, ScriptKey, ScriptName(script)});
}

} // namespace UserSettings
