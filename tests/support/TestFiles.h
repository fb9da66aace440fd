#pragma once
// Small files the tests write and read back, byte for byte.

#include <QByteArray>
#include <QFile>
#include <QString>

// False when the file cannot be written (wrap in QVERIFY).
inline bool WriteTestFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Empty when the file cannot be read.
inline QByteArray ReadTestFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
