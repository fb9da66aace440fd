// The real kconsole binary closing a year from the command line on the
// test's database: its exit codes, its refusals, and the note it writes.

#include "ConsoleJob.h"

#include <QSqlQuery>

class TestConsoleCloseYear : public QObject
{
    Q_OBJECT
    TestDb db;
    ConsoleJob job;

    bool closed(int year)
    {
        return db.Connection().OpenQuery(QStringLiteral("SELECT year FROM closedyear WHERE year = ?"), {year})->next();
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(db);
        QVERIFY(job.Prepare(db));
        TZConnection &c = db.Connection();
        for (const char *number : {"1/21", "3/21"})
            c.ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid) "
                                     "SELECT 1, '2021-04-01 10:00:00', ?, 'Dopis', userid FROM user WHERE login = 'milan'"),
                      {QLatin1String(number)});
    }

    // In order: a refusal leaves the year open, then it is closed, then closed already.
    void exitCodes_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("clerk") << "zoran" << QStringList{"--close-year", "2021", "--closing-pdf", "a.pdf"} << 1
                               << "samo administrator";
        QTest::newRow("bad year") << "milan" << QStringList{"--close-year", "20x1", "--closing-pdf", "b.pdf"} << 1
                                  << "nije ispravna";
        QTest::newRow("unwritable file") << "milan" << QStringList{"--close-year", "2021", "--closing-pdf", "nema/c.pdf"}
                                         << 1 << "nema/c.pdf";
        QTest::newRow("without a file") << "milan" << QStringList{"--close-year", "2021"} << 7 << "--closing-pdf";
        QTest::newRow("file without a closing") << "milan" << QStringList{"--closing-pdf", "d.pdf"} << 7
                                                << "samo uz --close-year";
        QTest::newRow("closes") << "milan" << QStringList{"--close-year", "2021", "--closing-pdf", "e.pdf"} << 0 << "";
        QTest::newRow("closed already") << "milan" << QStringList{"--close-year", "2021", "--closing-pdf", "f.pdf"} << 7
                                        << "Godina 2021 je već zaključena";
    }
    void exitCodes()
    {
        QFETCH(QString, user);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        for (QString &arg : args)
            if (arg.endsWith(QLatin1String(".pdf")))
                arg = job.FilePath(arg);
        QCOMPARE(job.Run(QStringList{"--user", user, "--password-stdin"} + args), exitCode);
        QVERIFY2(job.Err.contains(message), qPrintable(job.Err));
        const QByteArray tag = QTest::currentDataTag();
        QCOMPARE(closed(2021), tag == "closes" || tag == "closed already");
        const QString file = args.value(args.indexOf(QStringLiteral("--closing-pdf")) + 1);
        QCOMPARE(QFile::exists(file), exitCode == 0);
        if (exitCode == 0) {
            QProcess text;
            text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
            QVERIFY(text.waitForFinished(30000));
            const QString note = QString::fromUtf8(text.readAllStandardOutput());
            QVERIFY2(note.contains(QStringLiteral("Zaključak delovodnika za 2021. godinu")), qPrintable(note));
            QVERIFY(note.contains(QStringLiteral("Nedostajući brojevi")));
            QVERIFY(note.contains(QStringLiteral("M.P.")));
            QVERIFY(note.contains(QStringLiteral("Zaključio: Milan Čubrilo")));
        }
    }
};

QTEST_MAIN(TestConsoleCloseYear)
#include "tst_console_closeyear.moc"
