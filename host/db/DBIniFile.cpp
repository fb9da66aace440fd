#include "DBIniFile.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "StoredForm.h"
#include "ZConnection.h"

#include <QSqlQuery>

TDBIniFile::TDBIniFile(TZConnection *connection) : m_connection(connection)
{
    if (!m_connection)
        throw EDatabaseError(UiText(u"Podešavanja nemaju vezu sa bazom podataka."));
}

QString TDBIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    auto q = m_connection->OpenQuery(QStringLiteral("SELECT value FROM settings WHERE section = ? AND keyname = ?"),
                                     {section, key});
    if (!q->next() || q->value(0).isNull())
        return def;
    return q->value(0).toString();
}

bool TDBIniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadStoredFlag(ReadString(section, key, QString())).value_or(def);
}

int TDBIniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    bool ok = false;
    const int v = ReadString(section, key, QString()).trimmed().toInt(&ok);
    return ok ? v : def;
}

void TDBIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    if (m_connection->ExecSQL(QStringLiteral("UPDATE settings SET value = ? WHERE section = ? AND keyname = ?"),
                              {value, section, key}) == 0)
        m_connection->ExecSQL(QStringLiteral("INSERT INTO settings (section, keyname, value) VALUES (?, ?, ?)"),
                              {section, key, value});
}

void TDBIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TDBIniFile::DeleteKey(const QString &section, const QString &key)
{
    m_connection->ExecSQL(QStringLiteral("DELETE FROM settings WHERE section = ? AND keyname = ?"), {section, key});
}
