// A list that takes long to load: it shows how many rows came so far, the
// user may cancel it, the cancel leaves the list closed and the connection
// ready for the next search.

#include "DatasetTestUtil.h"
#include "Dialogs.h"
#include "ScriptedDialogs.h"

#include <QTimer>

using namespace dst;

namespace {

// A thousand numbers; three of them joined give a result that streams for ever.
void addNumbers(TZConnection &c)
{
    c.ExecSQL(QStringLiteral("CREATE TABLE nums (n INTEGER NOT NULL)"));
    c.ExecSQL(QStringLiteral("BEGIN"));
    auto insert = c.Prepare(QStringLiteral("INSERT INTO nums (n) VALUES (?)"));
    for (int n = 0; n < 1000; ++n)
        insert.Exec({n});
    c.ExecSQL(QStringLiteral("COMMIT"));
}

const QString kEndless = QStringLiteral("SELECT a.n * 1000000 + b.n * 1000 + c.n AS n, CONCAT('Stavka ', c.n) AS label "
                                        "FROM nums a, nums b, nums c WHERE a.n >= ?");

} // namespace

class TestLongLoad : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        DB_SETUP(m_db);
        addNumbers(*m_db->OpenAdminConnection());
        m_db->GrantDeskAccount();
    }
    void cleanup() { m_db.reset(); }

    void loadedRowsText_data()
    {
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << qint64(1) << QStringLiteral("Učitano 1 stavka…");
        QTest::newRow("few") << qint64(23) << QStringLiteral("Učitano 23 stavke…");
        QTest::newRow("teens") << qint64(12) << QStringLiteral("Učitano 12 stavki…");
        QTest::newRow("thousands") << qint64(120000) << QStringLiteral("Učitano 120.000 stavki…");
        QTest::newRow("millions") << qint64(1234567) << QStringLiteral("Učitano 1.234.567 stavki…");
    }
    void loadedRowsText()
    {
        QFETCH(qint64, rows);
        QTEST(LoadedRowsText(rows), "text");
    }

    // Both ways MariaDB streams: the text protocol and a prepared statement.
    void cancelled_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("params");
        QTest::newRow("literal") << QString(kEndless).replace(u'?', u'0') << QVariantList();
        QTest::newRow("bound") << kEndless << QVariantList{0};
    }
    void cancelled()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, params);
        TZConnection &c = m_db->Connection();
        ScopedScriptedDialogs dialogs;
        dialogs->CancelDatabaseWaitAt = 5;
        TZReadOnlyQuery list(&c, QStringLiteral("SELECT n FROM nums WHERE n < 3"));
        DB_TRY(list.Open());
        list.SetSQL(sql, params);
        TracingLink events;
        events.hookEvents(list);
        QString meanwhile;
        QTimer::singleShot(300, [&] {
            try {
                c.ExecSQL(QStringLiteral("DELETE FROM nums"));
            } catch (const EDatabaseError &e) {
                meanwhile = e.message();
            }
        });
        QVERIFY_THROWS_EXCEPTION(EAbort, list.Open());

        QCOMPARE(meanwhile, QStringLiteral("Baza podataka još radi na prethodnom upitu."));
        QCOMPARE(dialogs->DatabaseWaitRows.size(), 6);
        QVERIFY(dialogs->DatabaseWaitRows.last() > dialogs->DatabaseWaitRows.first());
        QVERIFY(std::is_sorted(dialogs->DatabaseWaitRows.begin(), dialogs->DatabaseWaitRows.end()));
        QCOMPARE(dialogs->Notices, QStringList{QStringLiteral("Učitavanje je prekinuto.")});
        QCOMPARE(events.take(), QStringList{QStringLiteral("BeforeOpen")});
        QVERIFY(!list.Active());
        QCOMPARE(list.RecordCount(), 0);
        QCOMPARE(list.FieldCount(), 0);
        // The next search works on the same connection.
        list.SetSQL(QStringLiteral("SELECT n FROM nums WHERE n < ? ORDER BY n"), {3});
        DB_TRY(list.Open());
        QCOMPARE(list.RecordCount(), 3);
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM nums")).toInt(), 1000);
    }

    void shortLoadShowsNoWait()
    {
        ScopedScriptedDialogs dialogs;
        TZReadOnlyQuery list(&m_db->Connection(), QStringLiteral("SELECT n FROM nums"));
        DB_TRY(list.Open());
        QCOMPARE(list.RecordCount(), 1000);
        QVERIFY(dialogs->DatabaseWaits.isEmpty());
        QVERIFY(dialogs->Notices.isEmpty());
    }

private:
    std::unique_ptr<TestDb> m_db;
};

QTEST_GUILESS_MAIN(TestLongLoad)
#include "tst_longload.moc"
