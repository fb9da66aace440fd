// A report's rows through the streaming path: each column as a report reads
// it, on both backends, handed over off the GUI thread.

#include "KException.h"
#include "TestDb.h"
#include "ReadRows.h"

#include <QCoreApplication>
#include <QThread>
#include <QtTest>

class TestReadRows : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDb> m_db;

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDb>();
        REQUIRE_TESTDB(*m_db);
        const auto admin = m_db->OpenAdminConnection();
        TZConnection &c = *admin;
        c.ExecSQL(QStringLiteral("CREATE TABLE reportrow (id INTEGER NOT NULL PRIMARY KEY, title VARCHAR(40) NULL, "
                                 "amount INTEGER NULL, registered DATETIME NULL)"));
        c.ExecSQL(QStringLiteral("INSERT INTO reportrow (id, title, amount, registered) VALUES "
                                 "(1, 'Žalba na rešenje', -12, '2025-03-01 10:00:00'), (2, NULL, NULL, NULL), "
                                 "(3, '', 0, '2026-12-31 23:59:59')"));
        m_db->GrantDeskAccount();
    }

    void values_data()
    {
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QString>("texts"); // Text of every column, | between
        QTest::addColumn<QString>("nulls"); // IsNull of every column
        QTest::addColumn<qint64>("amount"); // Integer of the third
        QTest::addColumn<QString>("utf8");  // Utf8 of every column, a NULL as <null>
        QTest::newRow("filled") << qint64(1) << "1|Žalba na rešenje|-12|2025-03-01 10:00:00" << "----" << qint64(-12)
                                << "1|Žalba na rešenje|-12|2025-03-01 10:00:00";
        QTest::newRow("NULLs") << qint64(2) << "2|||" << "-NNN" << qint64(0) << "2|<null>|<null>|<null>";
        QTest::newRow("empty and zero") << qint64(3) << "3||0|2026-12-31 23:59:59" << "----" << qint64(0)
                                        << "3||0|2026-12-31 23:59:59";
    }
    void values()
    {
        REQUIRE_TESTDB(*m_db);
        QFETCH(qint64, id);
        QStringList texts;
        QString nulls;
        QByteArray utf8;
        qint64 amount = 99, key = 0;
        QVariant keyValue;
        bool offThread = false;
        int rows = 0;
        ReadRows(m_db->Connection(), QStringLiteral("SELECT id, title, amount, registered FROM reportrow WHERE id = ?"),
                 {id}, [&](const TReadRow &r) {
                     ++rows;
                     offThread = QThread::currentThread() != QCoreApplication::instance()->thread();
                     for (int c = 0; c < r.Count(); ++c) {
                         texts << r.Text(c);
                         nulls += r.IsNull(c) ? u'N' : u'-';
                         const QByteArray bytes = r.Utf8(c);
                         utf8 += (c ? "|" : "") + (bytes.isNull() ? QByteArray("<null>") : bytes);
                     }
                     amount = r.Integer(2);
                     key = r.Integer(0);
                     keyValue = r.Value(0);
                 });
        QCOMPARE(rows, 1);
        QVERIFY(offThread);
        QTEST(texts.join(u'|'), "texts");
        QTEST(nulls, "nulls");
        QTEST(amount, "amount");
        QTEST(QString::fromUtf8(utf8), "utf8");
        QCOMPARE(key, id);
        QCOMPARE(keyValue, QVariant(id));
    }

    // What a handler throws comes back to the caller; the connection reads on.
    void handlerThrows()
    {
        REQUIRE_TESTDB(*m_db);
        QVERIFY_THROWS_EXCEPTION(KException, ReadRows(m_db->Connection(), QStringLiteral("SELECT id FROM reportrow"), {},
                                                      [](const TReadRow &) { throw KException(QStringLiteral("ne")); }));
        int rows = 0;
        ReadRows(m_db->Connection(), QStringLiteral("SELECT id FROM reportrow"), {}, [&rows](const TReadRow &) { ++rows; });
        QCOMPARE(rows, 3);
    }
};

QTEST_GUILESS_MAIN(TestReadRows)
#include "tst_readrows.moc"
