// The real kconsole taking a letter in from the command line: the proposals
// of --dry-run line by line, the item registered with its scan, the same
// file refused the second time, and what is wrong on the line said.

#include "ConsoleJob.h"
#include "IntakeTestDocs.h"
#include "TestFiles.h"

#include <QDir>
#include <QSqlQuery>

class TestConsoleIntake : public QObject
{
    Q_OBJECT
    TestDb db;
    ConsoleJob job;

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(db);
        QVERIFY(job.Prepare(db));
        QFile ini(job.FilePath(QStringLiteral("kconsole.ini")));
        QVERIFY(ini.open(QIODevice::Append));
        ini.write(QStringLiteral("[Document]\nScanDocDir=%1\n").arg(job.FilePath(QStringLiteral("skenovi"))).toUtf8());
        ini.close();
        QVERIFY(QDir().mkpath(job.FilePath(QStringLiteral("skenovi"))));
        TZConnection &c = db.Connection();
        c.ExecSQL(QStringLiteral("INSERT INTO partner (name, pib) VALUES (?, ?)"),
                  {QStringLiteral("Opština Čačak"), QStringLiteral("101234569")});
        for (const char *type : {"Dopis", "Zahtev"})
            c.ExecSQL(QStringLiteral("INSERT INTO itemtype (name) VALUES (?)"), {QString::fromUtf8(type)});
        QVERIFY(WriteTestFile(job.FilePath(QStringLiteral("dopis.pdf")),
                              TestTextPdf({{QStringLiteral("OPŠTINA ČAČAK"), QStringLiteral("PIB: 101234569"),
                                            QStringLiteral("Broj: 404-12/2026-03"), QStringLiteral("Datum: 03.12.2026."),
                                            QStringLiteral("Predmet: Zahtev za dopunu dokumentacije")}})));
    }

    // In order: the dry run stores nothing, the run registers, the same
    // file again is refused.
    void runs_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("out"); // its lines
        QTest::addColumn<QString>("err"); // what standard error holds
        QTest::addColumn<int>("items");
        const QString pdf = QStringLiteral("dopis.pdf");
        QTest::newRow("dry run") << QStringList{"--intake", pdf, "--dry-run"} << 0
                                 << QStringList{"partner: Opština Čačak (PIB 101234569 u tekstu; zaglavlje dopisa, "
                                                "sličnost 100%, 99 %)",
                                                "broj: 404-12/2026-03 („Broj“ u tekstu, 85 %)",
                                                "datum: 03.12.2026 („Datum“ u tekstu, 90 %)",
                                                "predmet: Zahtev za dopunu dokumentacije („Predmet“ u tekstu, 90 %)",
                                                "vrsta: Zahtev (predmet dopisa, 70 %)"}
                                 << "" << 0;
        QTest::newRow("registered") << QStringList{"--intake", pdf} << 0 << QStringList{"1/%1"} << "" << 1; // %1: this year's yy
        QTest::newRow("again") << QStringList{"--intake", pdf} << 1 << QStringList() << "isti fajl" << 1;
        QTest::newRow("no file") << QStringList{"--intake", "nema.pdf"} << 1 << QStringList() << "ne postoji" << 1;
        QTest::newRow("dry run alone") << QStringList{"--dry-run"} << 7 << QStringList() << "važi samo uz --intake" << 1;
    }
    void runs()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QStringList, out);
        QFETCH(QString, err);
        QFETCH(int, items);
        args.replaceInStrings(QRegularExpression(QStringLiteral("^(\\w+\\.pdf)$")), job.FilePath(QStringLiteral("\\1")));
        QCOMPARE(job.Run(QStringList{"--user", "zoran", "--password-stdin"} + args), exitCode);
        out.replaceInStrings(QStringLiteral("%1"), QDate::currentDate().toString(QStringLiteral("yy")));
        QCOMPARE(job.Out.split(u'\n', Qt::SkipEmptyParts), out);
        QVERIFY2(job.Err.contains(err), qPrintable(job.Err));
        auto count = db.Connection().OpenQuery(QStringLiteral("SELECT COUNT(*) FROM ledgeritem"));
        QVERIFY(count->next());
        QCOMPARE(count->value(0).toInt(), items);
        QCOMPARE(QDir(job.FilePath(QStringLiteral("skenovi"))).entryList(QDir::Files).size(), items);
    }
};

QTEST_MAIN(TestConsoleIntake)
#include "tst_console_intake.moc"
