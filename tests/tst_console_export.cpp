// The real kconsole binary exporting the ledger to CSV and writing the
// register book and the numbering check from the command line, on the
// test's database: the files it writes and its exit codes.

#include "CsvReader.h"
#include "TestDb.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class TestConsoleExport : public QObject
{
    Q_OBJECT
    TestDb db;
    QTemporaryDir dir;

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
    QString m_stderr;

    QStringList exportArgs(const QString &file, const QStringList &more, const QString &command = QStringLiteral("--export-csv"))
    {
        return QStringList{"--user", "milan", "--password-stdin", command, dir.filePath(file)} + more;
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
        TZConnection &c = db.Connection();
        auto id = c.OpenQuery(QStringLiteral("SELECT userid FROM user WHERE login = 'milan'"));
        QVERIFY(id->next());
        const struct
        {
            int Direction;
            const char *When, *Number, *Type;
        } items[] = {{1, "2024-03-05T08:30:00", "7/24", "Dopis; \"hitno\""},
                     {-1, "2024-06-01T10:00:00", "3/24", "Rešenje"},
                     {1, "2023-12-31T23:59:00", "90/23", "Žalba"}};
        for (const auto &item : items)
            c.ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, itemnumber, "
                                     "userid, accepted, archived) VALUES (?, ?, ?, ?, '007', ?, 'n', 'n')"),
                      QVariantList{item.Direction, c.ToBindValue(QDateTime::fromString(QLatin1String(item.When), Qt::ISODate)),
                       QLatin1String(item.Number), QString::fromUtf8(item.Type), id->value(0)});
        // A partner typed in Latin, for --partner in either script.
        c.ExecSQL(QStringLiteral("INSERT INTO partner (name) VALUES (?)"), {QStringLiteral("Čačak prevoz")});
        c.ExecSQL(QStringLiteral("UPDATE ledgeritem SET partnerid = (SELECT MAX(partnerid) FROM partner) "
                                 "WHERE ledgernumber = '3/24'"));
    }

    void exitCodes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("command");
        QTest::newRow("year and direction") << "a.csv" << QStringList{"--year", "2024", "--direction", "ulazni"} << 0 << QString();
        QTest::newRow("direction by code, dates") << "b.csv" << QStringList{"--direction", "-1", "--from", "01.06.2024", "--to", "30.06.2024"} << 0 << QString();
        QTest::newRow("bad path") << "nema/c.csv" << QStringList{} << 1 << QString();
        QTest::newRow("bad year") << "d.csv" << QStringList{"--year", "20x4"} << 1 << QString();
        QTest::newRow("bad date") << "e.csv" << QStringList{"--from", "31.02.2024"} << 1 << QString();
        QTest::newRow("unknown direction") << "f.csv" << QStringList{"--direction", "Bočni"} << 1 << QString();
        QTest::newRow("text") << "s.csv" << QStringList{"--text", "90/23"} << 0 << QString();
        QTest::newRow("text without a word") << "t.csv" << QStringList{"--text", "%"} << 1 << QString();
        QTest::newRow("register book with text") << "u.pdf" << QStringList{"--year", "2024", "--text", "x"} << 7
                                                 << "--register-pdf";
        const QString book = QStringLiteral("--register-pdf"), check = QStringLiteral("--continuity-report");
        QTest::newRow("register book") << "k.pdf" << QStringList{"--year", "2024"} << 0 << book;
        QTest::newRow("register book, bad year") << "l.pdf" << QStringList{"--year", "20x4"} << 1 << book;
        QTest::newRow("register book, year out of range") << "m.pdf" << QStringList{"--year", "1066"} << 1 << book;
        QTest::newRow("register book, bad path") << "nema/n.pdf" << QStringList{"--year", "2024"} << 1 << book;
        QTest::newRow("continuity") << "o.pdf" << QStringList{"--year", "2024"} << 0 << check;
        QTest::newRow("continuity, bad year") << "p.pdf" << QStringList{"--year", "dve hiljade"} << 1 << check;
        QTest::newRow("continuity without a year") << "q.pdf" << QStringList{} << 7 << check;
        QTest::newRow("continuity with a direction") << "r.pdf" << QStringList{"--year", "2024", "--direction", "1"} << 7 << check;
        QTest::newRow("register book of a partner, in Cyrillic")
            << "w.pdf" << QStringList{"--year", "2024", "--partner", "cacak", "--data-script", "cyrillic"} << 0 << book;
        QTest::newRow("register book, unknown data script")
            << "x.pdf" << QStringList{"--year", "2024", "--data-script", "glagoljica"} << 7 << book;
        QTest::newRow("data script on an export") << "y.csv" << QStringList{"--data-script", "latin"} << 7 << QString();
        QTest::newRow("continuity of a partner") << "z.pdf" << QStringList{"--year", "2024", "--partner", "a"} << 7 << check;
    }

    void exitCodes()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, command);
        if (command.isEmpty())
            command = QStringLiteral("--export-csv");
        QCOMPARE(run(exportArgs(file, args, command)), exitCode);
        QCOMPARE(QFile::exists(dir.filePath(file)), exitCode == 0);
        const bool csv = command == QLatin1String("--export-csv");
        if (exitCode == 1)
            QVERIFY2(m_stderr.contains(csv ? QStringLiteral("Izvoz nije uspeo") : QStringLiteral("Izveštaj nije upisan")),
                     qPrintable(m_stderr));
        if (exitCode == 0 && !csv) {
            QFile pdf(dir.filePath(file));
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            QVERIFY(pdf.read(5) == "%PDF-");
        }
    }

    void refusesWithoutExporting()
    {
        QCOMPARE(run(exportArgs(QStringLiteral("g.csv"), {}), "pogrešna"), 2);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("g.csv"))));
        QCOMPARE(run({"--user", "milan", "--password-stdin", "--year", "2024"}), 7);
    }

    void writesTheSelectedItems()
    {
        QCOMPARE(run(exportArgs(QStringLiteral("h.csv"), {"--year", "2024", "--direction", "1"})), 0);
        const CsvContent csv = ReadCsvFile(dir.filePath(QStringLiteral("h.csv")));
        QVERIFY(csv.Bom);
        QCOMPARE(csv.Rows.size(), 2);
        QCOMPARE(csv.Rows.at(0).mid(0, 3), (QStringList{"Tip", "Delovodni broj", "Datum i vreme"}));
        QCOMPARE(csv.Rows.at(1), (QStringList{"Ulazni", "7/24", "05.03.2024 08:30", "", "Dopis; \"hitno\"", "", "007", "",
                                              "Milan Čubrilo", "", "", "", "", "Ne", ""}));
    }

    // The list's partner criterion: any script, case or diacritics.
    void exportsOfPartner_data()
    {
        QTest::addColumn<QString>("partner");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("as typed") << "Čačak" << QStringList{"3/24"};
        QTest::newRow("Cyrillic") << "Чачак" << QStringList{"3/24"};
        QTest::newRow("without diacritics") << "cacak" << QStringList{"3/24"};
        QTest::newRow("capitals, past the first word") << "ČAČAK PREV" << QStringList{"3/24"};
        QTest::newRow("not a prefix") << "prevoz" << QStringList{};
    }

    void exportsOfPartner()
    {
        QFETCH(QString, partner);
        QFETCH(QStringList, numbers);
        QCOMPARE(run(exportArgs(QStringLiteral("p.csv"), {"--partner", partner})), 0);
        const CsvContent csv = ReadCsvFile(dir.filePath(QStringLiteral("p.csv")));
        QStringList found;
        for (const QStringList &row : csv.Rows.mid(1))
            found << row.value(1);
        QCOMPARE(found, numbers);
    }

    void writesTheItemsOfText()
    {
        // An item's type is searched through the register of types.
        db.Connection().ExecSQL(QStringLiteral("INSERT INTO itemtype (name) VALUES ('Žalba')"));
        QCOMPARE(run(exportArgs(QStringLiteral("v.csv"), {"--text", "ЖАЛБ"})), 0);
        const CsvContent csv = ReadCsvFile(dir.filePath(QStringLiteral("v.csv")));
        QCOMPARE(csv.Rows.size(), 2);
        QCOMPARE(csv.Rows.at(1).mid(0, 2), (QStringList{"Ulazni", "90/23"}));
    }
};

QTEST_MAIN(TestConsoleExport)
#include "tst_console_export.moc"
