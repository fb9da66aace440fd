// The real kconsole binary checking the history's chain from the command
// line on the test's database: its exit codes and what it says.

#include "HistoryChainRows.h"
#include "TestDb.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestConsoleVerifyHistory : public QObject
{
    Q_OBJECT
    TestDb db;
    QTemporaryDir dir;
    QString m_out;
    QString m_err;

    int run(const QStringList &args)
    {
        QProcess console;
        console.start(dir.filePath(QStringLiteral("kconsole")), args);
        console.write("tajna-1\n");
        console.closeWriteChannel();
        if (!console.waitForFinished(60000)) {
            console.kill();
            console.waitForFinished();
            return -1;
        }
        m_out = QString::fromUtf8(console.readAllStandardOutput());
        m_err = QString::fromUtf8(console.readAllStandardError());
        return console.exitStatus() == QProcess::NormalExit ? console.exitCode() : -2;
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(db);
        QVERIFY(QFile::copy(QStringLiteral(KCONSOLE_EXE), dir.filePath(QStringLiteral("kconsole"))));
        QFile ini(dir.filePath(QStringLiteral("kconsole.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        const TConnectionParams p = db.Params();
        ini.write(QStringLiteral("[Database]\nDriver=%1\nDatabase=%2\nSocket=%3\nUser=%4\nPassword=%5\n")
                      .arg(p.Driver, p.Database, p.Socket, p.User, p.Password)
                      .toUtf8());
        ini.close();
        QCOMPARE(run({"--add-user", "milan", "--first-name", "Milan", "--last-name", "Čubrilo"}), 0);
        QCOMPARE(run({"--add-user", "zoran", "--first-name", "Zoran", "--last-name", "Ilić"}), 0);
        TZConnection &c = db.Connection();
        c.ExecSQL(QStringLiteral("UPDATE user SET role = CASE WHEN login = 'milan' THEN 'a' ELSE 'c' END"));
        hcr::WriteChained(*db.OpenAdminConnection(), 3);
    }

    // In order: refused, intact, then rewritten by a second SQL client.
    void exitCodes_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("tamper");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QStringList verify{"--verify-history"};
        QTest::newRow("clerk") << "zoran" << verify << "" << 1 << "samo administrator";
        QTest::newRow("beside another command") << "milan" << QStringList{"--verify-history", "--close-year", "2021"}
                                                << "" << 7 << "nijedan drugi posao";
        QTest::newRow("intact") << "milan" << verify << "" << 0 << "Istorija je neizmenjena: 3 unosa u lancu.";
        QTest::newRow("rewritten") << "milan" << verify
                                   << "UPDATE ledgerhistory SET username = 'Zoran Ilić' WHERE chainseq = 2" << 3
                                   << "Unos 2 (08.12.2026 10:02, stavka 2/26) je izmenjen.";
    }
    void exitCodes()
    {
        QFETCH(QString, user);
        QFETCH(QStringList, args);
        QFETCH(QString, tamper);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        if (!tamper.isEmpty())
            hcr::Tamper(db, tamper);
        QCOMPARE(run(QStringList{"--user", user, "--password-stdin"} + args), exitCode);
        QVERIFY2((m_out + m_err).contains(message), qPrintable(m_out + m_err));
    }
};

QTEST_MAIN(TestConsoleVerifyHistory)
#include "tst_console_verifyhistory.moc"
