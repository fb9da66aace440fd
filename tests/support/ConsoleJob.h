#pragma once
// kconsole run as a scheduled job runs it: the test's own copy beside an ini
// naming the test's database, with two users the console added itself,
// milan (administrator) and zoran (clerk), both with the password "tajna-1".
// The test defines KCONSOLE_EXE, the built console's path.

#include "TestDb.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class ConsoleJob
{
public:
    QString Out;
    QString Err;

    QString FilePath(const QString &name) const { return m_dir.filePath(name); }

    // The exit code; -1 for a console that hung, -2 for one that crashed.
    int Run(const QStringList &args, const QByteArray &password = "tajna-1")
    {
        QProcess console;
        console.start(FilePath(QStringLiteral("kconsole")), args);
        console.write(password + '\n');
        console.closeWriteChannel();
        if (!console.waitForFinished(60000)) {
            console.kill();
            console.waitForFinished();
            return -1;
        }
        Out = QString::fromUtf8(console.readAllStandardOutput());
        Err = QString::fromUtf8(console.readAllStandardError());
        return console.exitStatus() == QProcess::NormalExit ? console.exitCode() : -2;
    }

    // Copies the console, writes its ini and adds the two users; false
    // (with the test's failure said) when any of it goes wrong.
    bool Prepare(TestDb &db)
    {
        if (!QFile::copy(QStringLiteral(KCONSOLE_EXE), FilePath(QStringLiteral("kconsole")))) {
            QTest::qFail("the console could not be copied", __FILE__, __LINE__);
            return false;
        }
        QFile ini(FilePath(QStringLiteral("kconsole.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            return false;
        const TConnectionParams p = db.Params();
        ini.write(QStringLiteral("[Database]\nDriver=%1\nDatabase=%2\nSocket=%3\nUser=%4\nPassword=%5\n")
                      .arg(p.Driver, p.Database, p.Socket, p.User, p.Password)
                      .toUtf8());
        ini.close();
        if (Run({"--add-user", "milan", "--first-name", "Milan", "--last-name", "Čubrilo"}) != 0
            || Run({"--add-user", "zoran", "--first-name", "Zoran", "--last-name", "Ilić"}) != 0) {
            QTest::qFail(qPrintable(QStringLiteral("a user was not added: ") + Err), __FILE__, __LINE__);
            return false;
        }
        db.Connection().ExecSQL(QStringLiteral("UPDATE user SET role = CASE WHEN login = 'milan' THEN 'a' ELSE 'c' END"));
        return true;
    }

private:
    QTemporaryDir m_dir;
};
