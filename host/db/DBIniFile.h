#pragma once
// Settings kept in the database (table settings: section, keyname, value),
// read and written like an ini file.

#include "KExport.h"

#include <QString>

class TZConnection;

class KCOMMON_EXPORT TDBIniFile
{
public:
    explicit TDBIniFile(TZConnection *connection);

    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;
    int ReadInteger(const QString &section, const QString &key, int def) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteBool(const QString &section, const QString &key, bool value);
    void DeleteKey(const QString &section, const QString &key);

private:
    TZConnection *m_connection;
};
