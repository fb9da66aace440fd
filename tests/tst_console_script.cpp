// The real kconsole speaking in a script: --script on any line, the user's
// stored setting as the default, an unknown script refused.

#include "ConsoleJob.h"

#include <QtTest>

class TestConsoleScript : public QObject
{
    Q_OBJECT
    TestDb db;
    ConsoleJob job;

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(db);
        QVERIFY(job.Prepare(db));
        // Zoran chose Cyrillic; Milan never chose.
        db.Connection().ExecSQL(QStringLiteral("INSERT INTO usersetting (userid, settingkey, settingvalue) "
                                               "SELECT userid, 'script', 'cyrillic' FROM user WHERE login = 'zoran'"));
    }

    void messages_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said"); // a line it printed, on standard output or error
        const QStringList milan{"--user", "milan", "--password-stdin"};
        const QStringList zoran{"--user", "zoran", "--password-stdin"};
        const QByteArray right = "tajna-1";
        QTest::newRow("version, Cyrillic") << QStringList{"--version", "--script", "cyrillic"} << right << 0
                                           << "Деловодник, верзија ";
        QTest::newRow("help, Cyrillic, options kept") << QStringList{"--help", "--script=cyrillic"} << right << 0
                                                     << "Име уз --add-user или --admin.";
        QTest::newRow("unknown option, Cyrillic") << QStringList{"--nema", "--script", "cyrillic"} << right << 1
                                                  << "kconsole: Непозната опција „nema“.";
        QTest::newRow("wrong password, Cyrillic") << milan + QStringList{"--script", "cyrillic", "--export-csv", "a.csv"}
                                                  << QByteArray("pogresna") << 2 << "Пријава није успела: ";
        QTest::newRow("unknown script") << milan + QStringList{"--script", "glagoljica", "--export-csv", "a.csv"} << right
                                        << 7 << "Nepoznato pismo „glagoljica“: --script prima latin ili cyrillic.";
        QTest::newRow("never chosen: Latin") << milan + QStringList{"--select", "nema"} << right << 3
                                             << "Snap-in „nema“ nije pronađen.";
        QTest::newRow("user's Cyrillic") << zoran + QStringList{"--select", "nema"} << right << 3
                                         << "Снап-ин „nema“ није пронађен.";
        QTest::newRow("--script over the user's") << zoran + QStringList{"--script", "latin", "--select", "nema"} << right
                                                  << 3 << "Snap-in „nema“ nije pronađen.";
    }
    void messages()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, password);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QCOMPARE(job.Run(args, password), exitCode);
        const QString printed = job.Out + job.Err;
        QVERIFY2(printed.contains(said), qPrintable(printed));
    }
};

QTEST_MAIN(TestConsoleScript)
#include "tst_console_script.moc"
