// The desks' MariaDB account (scripts/desk-account.sql): the history only
// grows, the tables are the administrator's, nothing else is held. The whole
// suite's desks log in as this account, so the program's own writes (post,
// accept, delete, storno, closing the year) are shown to go through.

#include "LedgerFixture.h"
#include "SchemaInstaller.h"
#include "data/LedgerDMUnit.h"

#include <QtTest>

#define REQUIRE_MARIADB()                                                                    \
    do {                                                                                     \
        if (TestDb::BackendName() != QLatin1String("mariadb"))                               \
            QSKIP("SQLite has no accounts; its history is guarded by triggers");             \
    } while (false)

class TestDeskAccount : public QObject
{
    Q_OBJECT
    LedgerFixture fx;

    // The grantee as information_schema spells the session's account.
    static QString grantee()
    {
        return QStringLiteral("CONCAT('''', SUBSTRING_INDEX(CURRENT_USER(), '@', 1), '''@''', "
                              "SUBSTRING_INDEX(CURRENT_USER(), '@', -1), '''')");
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
    }
    void cleanupTestCase() { fx.Stop(); }

    void tablesGrantedByKind_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("privileges");
        QTest::newRow("history") << "ledgerhistory" << "INSERT,SELECT";
        QTest::newRow("history values") << "ledgerhistoryvalue" << "INSERT,SELECT";
        QTest::newRow("schema version") << "schemaversion" << "SELECT";
        QTest::newRow("history's chain head") << "historychain" << "SELECT,UPDATE";
        QTest::newRow("handover records") << "handoverrecord" << "INSERT,SELECT";
        QTest::newRow("handover record rows") << "handoverrow" << "INSERT,SELECT";
        QTest::newRow("handover numbers") << "handovercounter" << "DELETE,INSERT,SELECT,UPDATE";
        QTest::newRow("items") << "ledgeritem" << "DELETE,INSERT,SELECT,UPDATE";
        QTest::newRow("cluster's row claims") << "rowclaim" << "DELETE,INSERT,SELECT,UPDATE";
        QTest::newRow("users' settings") << "usersetting" << "INSERT,SELECT,UPDATE";
    }
    void tablesGrantedByKind()
    {
        REQUIRE_MARIADB();
        QFETCH(QString, table);
        QFETCH(QString, privileges);
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT GROUP_CONCAT(privilege_type ORDER BY privilege_type) "
                                          "FROM information_schema.table_privileges WHERE table_schema = DATABASE() "
                                          "AND table_name = ? AND is_grantable = 'NO' AND grantee = ") + grantee(),
                           {table}).toString(),
                 privileges);
    }

    void nothingBeyondTheTables()
    {
        REQUIRE_MARIADB();
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT SUBSTRING_INDEX(CURRENT_USER(), '@', 1)")).toString(),
                 QStringLiteral("ledger_desk"));
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT GROUP_CONCAT(privilege_type) FROM information_schema.user_privileges "
                                          "WHERE grantee = ") + grantee()).toString(),
                 QStringLiteral("USAGE"));
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.schema_privileges WHERE grantee = ")
                           + grantee()).toInt(),
                 0);
    }

    void historyCannotBeRewritten_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("entry's user changed") << "UPDATE ledgerhistory SET username = 'Falsifikat'";
        QTest::newRow("entry deleted") << "DELETE FROM ledgerhistory";
        QTest::newRow("value changed") << "UPDATE ledgerhistoryvalue SET newvalue = 'Falsifikat'";
        QTest::newRow("value deleted") << "DELETE FROM ledgerhistoryvalue";
        QTest::newRow("chain head deleted") << "DELETE FROM historychain";
        QTest::newRow("handover row changed") << "UPDATE handoverrow SET inusername = 'Falsifikat'";
        QTest::newRow("handover record deleted") << "DELETE FROM handoverrecord";
        QTest::newRow("table dropped") << "DROP TABLE ledgerhistoryvalue";
        QTest::newRow("schema version changed") << "UPDATE schemaversion SET version = 99";
    }
    void historyCannotBeRewritten()
    {
        REQUIRE_MARIADB();
        QFETCH(QString, sql);
        // The history the desk itself wrote.
        LedgerDM->AddAdditionalItem(int(fx.AddItem()));
        const QString entries = QStringLiteral("SELECT COUNT(*) FROM ledgerhistory");
        const int before = fx.Scalar(entries).toInt();
        QVERIFY(before > 0);
        // On the cluster the second desk is on another node: the grants went there too.
        const auto second = fx.Db.OpenSecondConnection();
        for (TZConnection *desk : {&fx.Db.Connection(), second.get()}) {
            try {
                desk->ExecSQL(sql);
                QFAIL("the desks' account was let through");
            } catch (const EDatabaseError &e) {
                QVERIFY2(IsPermissionDenied(e), qPrintable(e.details()));
                QCOMPARE(e.message(), QStringLiteral("Nalog baze podataka nema pravo na ovu naredbu."));
            }
        }
        QCOMPARE(fx.Scalar(entries).toInt(), before);
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM ledgerhistoryvalue WHERE newvalue = 'Falsifikat'")).toInt(), 0);
    }

    void schemaLeftToTheAdministrator_data()
    {
        QTest::addColumn<bool>("install");
        QTest::newRow("tables made") << true;
        QTest::newRow("older book upgraded") << false;
    }
    void schemaLeftToTheAdministrator()
    {
        REQUIRE_MARIADB();
        QFETCH(bool, install);
        TZConnection &desk = fx.Db.Connection();
        // A book at this version: the desk's start leaves it as it is.
        UpgradeSchema(desk);
        QCOMPARE(SchemaVersion(desk), CurrentSchemaVersion);
        const auto admin = fx.Db.OpenAdminConnection();
        admin->ExecSQL(QStringLiteral("DELETE FROM schemaversion WHERE version = ?"), {CurrentSchemaVersion});
        try {
            install ? InstallSchema(desk) : UpgradeSchema(desk);
            QFAIL("the desks' account changed the schema");
        } catch (const ESchemaRights &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral(
                         "Šemu baze mora da napravi ili dopuni administrator baze: nalog „ledger_desk“ nema pravo "
                         "da pravi ni menja tabele baze „ledger_test_")),
                     qPrintable(e.message()));
        }
        UpgradeSchema(*admin);
        QCOMPARE(SchemaVersion(desk), CurrentSchemaVersion);
    }
};

QTEST_MAIN(TestDeskAccount)
#include "tst_deskaccount.moc"
