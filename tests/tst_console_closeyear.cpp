// The real kconsole binary closing a year from the command line on the
// test's database: its exit codes, its refusals, and the note it writes.

#include "TestDb.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class TestConsoleCloseYear : public QObject
{
    Q_OBJECT
    TestDb db;
    QTemporaryDir dir;
    QString m_stderr;

    // The console beside its ini file; returns the exit code.
    int run(const QStringList &args, const QByteArray &password = "tajna-1")
    {
        QProcess console;
        console.start(dir.filePath(QStringLiteral("kconsole")), args);
        console.write(password + '\n');
        console.closeWriteChannel();
        if (!console.waitForFinished(60000)) {
            console.kill();
            console.waitForFinished();
            return -1;
        }
        m_stderr = QString::fromUtf8(console.readAllStandardError());
        return console.exitStatus() == QProcess::NormalExit ? console.exitCode() : -2;
    }

    bool closed(int year)
    {
        return db.Connection().OpenQuery(QStringLiteral("SELECT year FROM closedyear WHERE year = ?"), {year})->next();
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
                arg = dir.filePath(arg);
        QCOMPARE(run(QStringList{"--user", user, "--password-stdin"} + args), exitCode);
        QVERIFY2(m_stderr.contains(message), qPrintable(m_stderr));
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
