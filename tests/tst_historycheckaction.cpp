// "Provera integriteta…": administrators only; the finding in words, as
// information when the history is intact and as a warning when it is not.

#include "HistoryChainRows.h"
#include "LedgerFixture.h"
#include "screens/HistoryCheckAction.h"

#include <QtTest>

class TestHistoryCheckAction : public QObject
{
    Q_OBJECT
    LedgerFixture fx;

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start();
        fx.Db.Connection().ExecSQL(QStringLiteral("UPDATE user SET role = CASE WHEN login = 'ana' THEN 'a' ELSE 'c' END"));
    }
    void cleanupTestCase() { fx.Stop(); }

    // In order: refused, intact, then rewritten by a second SQL client.
    void findingInWords_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("tamper");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("clerk") << "marko" << "" << -1
                               << QStringList{"Proveru integriteta istorije može da radi samo administrator."};
        QTest::newRow("intact") << "ana" << "" << int(TMsgDlgType::Information)
                                << QStringList{"Istorija je neizmenjena: ", " unosa u lancu.\nKontrolni zbir istorije: "};
        QTest::newRow("rewritten") << "ana" << "UPDATE ledgerhistory SET hostname = 'DRUGI' WHERE chainseq = 1"
                                   << int(TMsgDlgType::Warning) << QStringList{"Unos 1 (", ") je izmenjen.\nKontrolni zbir"};
    }
    void findingInWords()
    {
        QFETCH(QString, login);
        QFETCH(QString, tamper);
        QFETCH(int, type);
        QFETCH(QStringList, words);
        fx.LoginAs(login);
        if (!tamper.isEmpty())
            hcr::Tamper(fx.Db, tamper);
        ScopedScriptedDialogs dialogs;
        QString said;
        try {
            HistoryCheckActionExecute(nullptr);
            QCOMPARE(dialogs->Messages.size(), 1);
            said = dialogs->Messages.first().Text;
            QCOMPARE(int(dialogs->Messages.first().Type), type);
        } catch (const KException &e) {
            said = e.message();
            QCOMPARE(type, -1);
        }
        for (const QString &w : words)
            QVERIFY2(said.contains(w), qPrintable(said));
    }
};

QTEST_MAIN(TestHistoryCheckAction)
#include "tst_historycheckaction.moc"
