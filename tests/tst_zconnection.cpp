// The connection irons out the backends: literals read the same (no backslash
// escapes), CONCAT means MySQL's CONCAT, the catalogue is read right, and a
// duplicate number is recognised as such.

#include "DatasetTestUtil.h"
#include "ErrorLog.h"
#include "Guard.h"
#include "ScriptedDialogs.h"
#include "ServerList.h"

#include <QTemporaryDir>

using namespace dst;

class TestZConnection : public QObject
{
    Q_OBJECT
private slots:
    void init() { DB_SETUP(m_db); }
    void cleanup() { m_db.reset(); }

    // Entries as a person types them in the ini, in order; "!" + the word the
    // refusal names.
    void serverList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("servers"); // Text() of each
        QTest::newRow("socket and hosts") << " /run/a b.sock ;db2:3307; db3 ;" << QStringList{"/run/a b.sock", "db2:3307", "db3:3306"};
        QTest::newRow("ipv6") << "[fd00::3]:3310;[::1]" << QStringList{"[fd00::3]:3310", "[::1]:3306"};
        QTest::newRow("empty") << " ; " << QStringList{};
        QTest::newRow("bad port") << "db2:33o6" << QStringList{"!port"};
        QTest::newRow("port out of range") << "db2:70000" << QStringList{"!port"};
        QTest::newRow("bare ipv6") << "fd00::3" << QStringList{"!IPv6"};
        QTest::newRow("no host") << ":3306" << QStringList{"!nedostaje"};
        QTest::newRow("space in host") << "db 2:3306" << QStringList{"!razmak"};
    }
    void serverList()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, servers);
        try {
            QStringList got;
            for (const TServerAddress &s : ParseServerList(text, 3306))
                got << s.Text();
            QCOMPARE(got, servers);
        } catch (const EDatabaseError &e) {
            QVERIFY2(servers.size() == 1 && servers.first().startsWith(u'!'), qPrintable(e.message()));
            QVERIFY2(e.message().contains(servers.first().mid(1)), qPrintable(e.message()));
        }
    }

    // A server that does not answer is passed over for the next one.
    void firstAnsweringServerIsUsed()
    {
        if (m_db->Params().Driver == QLatin1String("QSQLITE"))
            QSKIP("a server list is MariaDB's");
        TConnectionParams p = m_db->Params();
        const QString real = p.Servers.isEmpty() ? p.Socket : p.Servers.section(u';', 0, 0);
        p.Servers = QStringLiteral("/nonexistent/kledger.sock;") + real;
        auto c = TestDb::OpenConnection(p);
        QCOMPARE(c->ServerText(), real);
        QCOMPARE(c->OpenQuery(QStringLiteral("SELECT 1"))->next(), true);
        p.Servers = QStringLiteral("/nonexistent/a.sock;/nonexistent/b.sock");
        try {
            TestDb::OpenConnection(p);
            QFAIL("no server answers");
        } catch (const EDatabaseError &e) {
            QCOMPARE(e.message(), QStringLiteral("Nijedan server baze podataka iz liste nije dostupan."));
            QVERIFY(e.details().contains(QStringLiteral("/nonexistent/b.sock")));
        }
    }

    void expressionsAgree_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QVariant>("expected");
        const QVariant null;
        QTest::newRow("backslash before quote") << "'a\\'" << QVariant("a\\");
        QTest::newRow("two backslashes") << "'\\\\'" << QVariant("\\\\");
        QTest::newRow("backslash n") << "'x\\ny'" << QVariant("x\\ny");
        QTest::newRow("backslash percent") << "'\\%_'" << QVariant("\\%_");
        QTest::newRow("doubled quote") << "'O''Neil'" << QVariant("O'Neil");
        QTest::newRow("concat") << "CONCAT('Ana',' ','Anić')" << QVariant("Ana Anić");
        QTest::newRow("concat with null") << "CONCAT(NULL,' ',NULL)" << null;
        QTest::newRow("concat one null") << "CONCAT('Ana',' ',NULL)" << null;
        QTest::newRow("concat number") << "CONCAT(12,'')" << QVariant("12");
        QTest::newRow("concat empty") << "CONCAT('')" << QVariant("");
        QTest::newRow("concat 4-byte") << "CONCAT('\xF0\x9D\x84\x9E','ž')" << QVariant(QString::fromUtf8("\xF0\x9D\x84\x9Ež"));
    }

    void expressionsAgree()
    {
        QFETCH(QString, expression);
        QFETCH(QVariant, expected);
        auto second = m_db->OpenSecondConnection();
        for (TZConnection *c : {&m_db->Connection(), second.get()}) {
            const QVariant v = scalar(*c, QStringLiteral("SELECT ") + expression);
            QCOMPARE(v.isNull(), expected.isNull());
            if (!expected.isNull())
                QCOMPARE(v.toString(), expected.toString());
        }
    }

    void catalogue_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<bool>("primaryKey");
        QTest::addColumn<bool>("autoIncrement");
        QTest::addColumn<bool>("generated");
        QTest::addColumn<QString>("defaultText");
        QTest::newRow("item key") << "ledgeritem" << "ledgeritemid" << true << true << false << "";
        QTest::newRow("flag default") << "ledgeritem" << "accepted" << false << false << false << "n";
        QTest::newRow("generated") << "ledgeritem" << "numberkey" << false << false << true << "";
        QTest::newRow("composite key 1") << "settings" << "section" << true << false << false << "";
        QTest::newRow("composite key 2") << "settings" << "keyname" << true << false << false << "";
    }

    void catalogue()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        const bool mysql = m_db->Connection().Backend() == TBackend::MySQL;
        if (column == QLatin1String("numberkey") && !mysql)
            QSKIP("SQLite binds numbers with a partial index instead");
        const TColumnInfo *info = nullptr;
        for (const TColumnInfo &c : m_db->Connection().TableColumns(table))
            if (c.Name == column)
                info = &c;
        QVERIFY(info);
        QTEST(info->PrimaryKey, "primaryKey");
        QTEST(info->AutoIncrement, "autoIncrement");
        QTEST(info->Generated, "generated");
        QTEST(info->DefaultText, "defaultText");
        QCOMPARE(info->HasDefault, !info->DefaultText.isEmpty());
    }

    void uniqueViolation_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QVariant>("passOnParent");
        QTest::addColumn<QString>("accepted");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("unique");
        QTest::newRow("same number") << "1/2024" << QVariant() << "n" << true << true;
        QTest::newRow("same number, passed on") << "1/2024" << QVariant(1) << "n" << false << false;
        QTest::newRow("other number") << "2/2024" << QVariant() << "n" << false << false;
        QTest::newRow("bad flag") << "3/2024" << QVariant() << "x" << true << false;
        QTest::newRow("upper-case flag") << "3/2024" << QVariant() << "Y" << true << false;
    }

    void uniqueViolation()
    {
        QFETCH(QString, number);
        QFETCH(QVariant, passOnParent);
        QFETCH(QString, accepted);
        QFETCH(bool, refused);
        TZConnection &c = m_db->Connection();
        addItem(c, QStringLiteral("1/2024"), QStringLiteral("2024-03-05 10:00:00"));
        const QString sql = QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid, "
                                           "passonparentid, accepted) VALUES (1, '2024-03-05 11:00:00', ?, 'Dopis', 1, ?, ?)");
        try {
            c.ExecSQL(sql, {number, passOnParent, accepted});
            QVERIFY2(!refused, "the database took the row");
        } catch (const EDatabaseError &e) {
            QVERIFY2(refused, qPrintable(e.message()));
            QTEST(IsUniqueViolation(e), "unique");
        }
    }

    void boundDateTimesDropFractions()
    {
        TZConnection &c = m_db->Connection();
        const QDateTime almostMidnight(QDate(2024, 3, 5), QTime(23, 59, 59, 999));
        c.ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid) "
                                 "VALUES (1, ?, '1/2024', 'Dopis', 1)"), {almostMidnight});
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE ledgerdatetime = '2024-03-05 23:59:59'")).toInt(), 1);
    }

    void reconnectWithAnotherDriver()
    {
        if (TestDb::BackendName() != QLatin1String("mariadb"))
            QSKIP("needs both backends");
        QTemporaryDir dir;
        TConnectionParams lite;
        lite.Database = dir.filePath(QStringLiteral("other.db"));
        TZConnection c;
        for (int round = 0; round < 2; ++round) {
            c.SetParams(lite);
            c.Connect();
            QCOMPARE(c.Backend(), TBackend::SQLite);
            QVERIFY(scalar(c, QStringLiteral("SELECT CONCAT('a', NULL)")).isNull());
            c.SetParams(m_db->Params());
            c.Connect();
            QCOMPARE(c.Backend(), TBackend::MySQL);
            QVERIFY(scalar(c, QStringLiteral("SELECT @@SESSION.sql_mode")).toString().contains(QLatin1String("NO_BACKSLASH_ESCAPES")));
            QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM ledgeritem")).toInt(), 0);
        }
    }

    void refusalShownShortAndLogged_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("message");
        QTest::newRow("duplicate number") << "INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid) "
                                             "VALUES (1, '2024-03-05 11:00:00', '1/2024', 'Dopis', 1)"
                                          << "Takav zapis već postoji u bazi podataka.";
        // The desks' MariaDB account is not told which tables exist beyond its own.
        QTest::newRow("no such table") << "SELECT * FROM nema_tabele"
                                       << (TestDb::BackendName() == QLatin1String("mariadb")
                                               ? "Nalog baze podataka nema pravo na ovu naredbu."
                                               : "Baza podataka je odbila naredbu: ");
        QTest::newRow("no such column") << "SELECT nema_kolone FROM ledgeritem" << "Baza podataka je odbila naredbu: ";
    }

    // The user reads a short sentence; the statement and the database's words
    // wait in the details and in the log.
    void refusalShownShortAndLogged()
    {
        QFETCH(QString, sql);
        QFETCH(QString, message);
        addItem(m_db->Connection(), QStringLiteral("1/2024"), QStringLiteral("2024-03-05 10:00:00"));
        QTemporaryDir dir;
        SetErrorLogPath(dir.filePath(QStringLiteral("kconsole.log")));
        ScopedScriptedDialogs dialogs;
        QVERIFY(!Guarded([&] { m_db->Connection().ExecSQL(sql); }));
        SetErrorLogPath(QString());

        QCOMPARE(dialogs->Messages.size(), 1);
        QVERIFY2(dialogs->Messages[0].Text.startsWith(message), qPrintable(dialogs->Messages[0].Text));
        QVERIFY(!dialogs->Messages[0].Text.contains(sql));
        QFile log(dir.filePath(QStringLiteral("kconsole.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString logged = QString::fromUtf8(log.readAll());
        QVERIFY2(logged.contains(QStringLiteral("Naredba: ") + sql), qPrintable(logged));
        QVERIFY(logged.contains(QStringLiteral("Kod: ")));
        QVERIFY(logged.startsWith(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
    }

private:
    std::unique_ptr<TestDb> m_db;
};

QTEST_GUILESS_MAIN(TestZConnection)
#include "tst_zconnection.moc"
