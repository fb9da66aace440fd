// The real kconsole binary checking the history's chain from the command
// line on the test's database: its exit codes and what it says.

#include "ConsoleJob.h"
#include "HistoryChainRows.h"

class TestConsoleVerifyHistory : public QObject
{
    Q_OBJECT
    TestDb db;
    ConsoleJob job;

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(db);
        QVERIFY(job.Prepare(db));
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
        QCOMPARE(job.Run(QStringList{"--user", user, "--password-stdin"} + args), exitCode);
        QVERIFY2((job.Out + job.Err).contains(message), qPrintable(job.Out + job.Err));
    }
};

QTEST_MAIN(TestConsoleVerifyHistory)
#include "tst_console_verifyhistory.moc"
