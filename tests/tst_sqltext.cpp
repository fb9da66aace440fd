// ChangeSQLCondition and FirstTableOf over SQL texts: only the statement's own
// top-level WHERE is touched, whatever literals, comments or subqueries hold.

#include "LedgerQueryText.h"
#include "SqlText.h"

#include <QtTest>

class TestSqlText : public QObject
{
    Q_OBJECT
private slots:
    void changeCondition_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("expected");

        QTest::newRow("replace") << "SELECT * FROM partner WHERE partnerid = 1" << "name = 'x'"
                                 << "SELECT * FROM partner WHERE name = 'x'";
        QTest::newRow("lower case keywords") << "select * from partner where partnerid = 1 order by name" << "city IS NULL"
                                             << "select * from partner where city IS NULL order by name";
        QTest::newRow("literal holds WHERE") << "SELECT * FROM partner AS p WHERE p.name LIKE 'x WHERE y%' ORDER BY p.name"
                                             << "p.partnerid = 2" << "SELECT * FROM partner AS p WHERE p.partnerid = 2 ORDER BY p.name";
        QTest::newRow("literal holds ORDER BY") << "SELECT * FROM partner WHERE name = 'a ORDER BY b' ORDER BY city"
                                                << "city = 'N'" << "SELECT * FROM partner WHERE city = 'N' ORDER BY city";
        QTest::newRow("doubled quote") << "SELECT * FROM partner WHERE name = 'O''Neil' ORDER BY name" << "partnerid > 0"
                                       << "SELECT * FROM partner WHERE partnerid > 0 ORDER BY name";
        QTest::newRow("doubled quote before keyword") << "SELECT * FROM partner WHERE name = ''' ORDER BY ''' LIMIT 5"
                                                      << "partnerid > 0" << "SELECT * FROM partner WHERE partnerid > 0 LIMIT 5";
        QTest::newRow("backslash ends nothing") << "SELECT * FROM partner WHERE name = 'C:\\arhiva\\' ORDER BY name"
                                                << "a = 1" << "SELECT * FROM partner WHERE a = 1 ORDER BY name";
        QTest::newRow("backslash quote") << "SELECT * FROM partner WHERE name = '\\''; DROP TABLE partner; --' ORDER BY name"
                                         << "a = 1" << "SELECT * FROM partner WHERE a = 1 ORDER BY name";
        QTest::newRow("parenthesis in literal") << "SELECT * FROM partner WHERE (name = ')' OR city = '(') ORDER BY name"
                                                << "a = 1" << "SELECT * FROM partner WHERE a = 1 ORDER BY name";
        QTest::newRow("subquery keeps its WHERE")
            << "SELECT * FROM t WHERE id IN (SELECT x FROM u WHERE y = 1 ORDER BY x) ORDER BY id" << "a = 2"
            << "SELECT * FROM t WHERE a = 2 ORDER BY id";
        QTest::newRow("subquery in select list")
            << "SELECT (SELECT MAX(x) FROM u WHERE u.id = t.id) AS m FROM t WHERE a = 1" << "a = 2"
            << "SELECT (SELECT MAX(x) FROM u WHERE u.id = t.id) AS m FROM t WHERE a = 2";
        QTest::newRow("derived table, no WHERE")
            << "SELECT * FROM (SELECT * FROM u WHERE y = 1) AS s ORDER BY id" << "a = 2"
            << "SELECT * FROM (SELECT * FROM u WHERE y = 1) AS s WHERE a = 2 ORDER BY id";
        QTest::newRow("group, having, order, limit kept")
            << "SELECT a, COUNT(*) FROM t WHERE b = 1 GROUP BY a HAVING COUNT(*) > 1 ORDER BY a LIMIT 10" << "b = 2"
            << "SELECT a, COUNT(*) FROM t WHERE b = 2 GROUP BY a HAVING COUNT(*) > 1 ORDER BY a LIMIT 10";
        QTest::newRow("comment holds WHERE") << "SELECT * FROM t -- WHERE z = 0\nWHERE a = 1\nORDER BY a" << "a = 3"
                                             << "SELECT * FROM t -- WHERE z = 0\nWHERE a = 3\nORDER BY a";
        QTest::newRow("block comment") << "SELECT * FROM t /* ORDER BY WHERE */ WHERE a = 1 LIMIT 1" << "a = 3"
                                       << "SELECT * FROM t /* ORDER BY WHERE */ WHERE a = 3 LIMIT 1";
        QTest::newRow("quoted names") << "SELECT `where`, \"order by\" FROM t WHERE a = 1" << "a = 3"
                                      << "SELECT `where`, \"order by\" FROM t WHERE a = 3";
        QTest::newRow("semicolon kept") << "SELECT * FROM t WHERE a = 1;" << "a = 3" << "SELECT * FROM t WHERE a = 3;";
        QTest::newRow("no WHERE at end") << "SELECT * FROM t" << "a = 3" << "SELECT * FROM t WHERE a = 3";
        QTest::newRow("no WHERE before ORDER") << "SELECT * FROM t ORDER BY a" << "a = 3" << "SELECT * FROM t WHERE a = 3 ORDER BY a";
        QTest::newRow("no WHERE before GROUP") << "SELECT a FROM t GROUP BY a" << "a = 3" << "SELECT a FROM t WHERE a = 3 GROUP BY a";
        QTest::newRow("no WHERE, column named like a clause") << "SELECT grouping, orders FROM t" << "a = 3"
                                                              << "SELECT grouping, orders FROM t WHERE a = 3";
        QTest::newRow("empty removes WHERE") << "SELECT * FROM t WHERE a = 1 ORDER BY a" << "" << "SELECT * FROM t ORDER BY a";
        QTest::newRow("empty removes WHERE at end") << "SELECT * FROM t\nWHERE a = 'x WHERE'" << "  " << "SELECT * FROM t";
        QTest::newRow("empty without WHERE") << "SELECT * FROM t ORDER BY a" << "" << "SELECT * FROM t ORDER BY a";
    }

    void changeCondition()
    {
        QFETCH(QString, sql);
        QFETCH(QString, condition);
        QFETCH(QString, expected);
        QCOMPARE(ChangeSQLCondition(sql, condition), expected);
        // A WHERE in a literal, a comment or a subquery is not the text's own.
        QCOMPARE(HasCondition(expected), !condition.trimmed().isEmpty());
    }

    void conditionsInARowKeepOnlyTheLast_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("plain") << "a = 1" << "b = 2";
        QTest::newRow("LIKE holding WHERE") << "p.name LIKE 'x WHERE y%'" << "p.city = 'Niš'";
        QTest::newRow("doubled quote") << "p.name = 'O''Neil'" << "p.partnerid = 7";
        QTest::newRow("ORDER BY in literal") << "p.name = ' ORDER BY p.city'" << "p.partnerid = 7";
        QTest::newRow("backslash at end") << "p.name = '\\'" << "p.partnerid = 7";
        QTest::newRow("subquery") << "p.partnerid IN (SELECT partnerid FROM ledgeritem WHERE direction = 1)" << "p.partnerid = 7";
        QTest::newRow("to empty") << "p.name = 'WHERE'" << "";
    }

    void conditionsInARowKeepOnlyTheLast()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        for (const QString &base : {QStringLiteral("SELECT p.* FROM partner AS p ORDER BY p.name LIMIT 50"),
                                    QStringLiteral("SELECT p.* FROM partner AS p WHERE p.partnerid = -1 ORDER BY p.name LIMIT 50")}) {
            const QString once = ChangeSQLCondition(base, first);
            QVERIFY2(once.contains(first), qPrintable(once));
            const QString twice = ChangeSQLCondition(once, second);
            QCOMPARE(twice, ChangeSQLCondition(base, second));
            QVERIFY(!twice.contains(first));
            QVERIFY(twice.endsWith(QLatin1String(" ORDER BY p.name LIMIT 50")));
        }
    }

    void ledgerQueryChangesOnlyItsLastLine_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("by id") << "l.ledgeritemid = 42" << "WHERE l.ledgeritemid = 42";
        QTest::newRow("date range") << "l.ledgerdatetime >= '2024-03-01 00:00:00' AND l.ledgerdatetime <= '2024-03-05 23:59:59'"
                                    << "WHERE l.ledgerdatetime >= '2024-03-01 00:00:00' AND l.ledgerdatetime <= '2024-03-05 23:59:59'";
        QTest::newRow("partner name with keywords") << "p.name LIKE 'x WHERE y%' AND l.direction = 1"
                                                    << "WHERE p.name LIKE 'x WHERE y%' AND l.direction = 1";
    }

    void ledgerQueryChangesOnlyItsLastLine()
    {
        QFETCH(QString, condition);
        QFETCH(QString, lastLine);
        const QString sql = kLedgerQueryLines.join(u'\n');
        const QStringList out = ChangeSQLCondition(sql, condition).split(u'\n');
        QCOMPARE(out.size(), kLedgerQueryLines.size());
        for (int i = 0; i < 9; ++i)
            QCOMPARE(out.at(i), kLedgerQueryLines.at(i));
        QCOMPARE(out.at(9), lastLine);
        // And back again.
        QCOMPARE(ChangeSQLCondition(out.join(u'\n'), QStringLiteral("l.ledgeritemid = -1")), sql);
        // Removing the condition leaves the joins whole.
        const QString none = ChangeSQLCondition(sql, QString());
        QVERIFY(!none.contains(QLatin1String("WHERE")));
        QVERIFY(none.endsWith(QLatin1String("ON u3.userid = l.outuserid")));
    }

    void firstTable_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("table");
        QTest::newRow("ledger query") << kLedgerQueryLines.join(u'\n') << "ledgeritem";
        QTest::newRow("backticks") << "SELECT * FROM `user` AS u WHERE u.login = 'from x'" << "user";
        QTest::newRow("schema qualified") << "select * from ledger.partner p" << "partner";
        QTest::newRow("subquery in select list") << "SELECT (SELECT 1 FROM document) AS d FROM partner" << "partner";
        QTest::newRow("FROM in literal") << "SELECT 'FROM x' AS a FROM settings" << "settings";
    }

    void firstTable()
    {
        QFETCH(QString, sql);
        QFETCH(QString, table);
        QCOMPARE(FirstTableOf(sql), table);
    }

    // The sort through the first table's name; refused where an ORDER BY cannot follow.
    void orderedSelect_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        const QString order = QStringLiteral("ORDER BY `%1`.`ledgerdatetime` DESC, `%1`.`ledgeritemid`");
        QTest::newRow("ledger query") << kLedgerQueryLines.join(u'\n') << kLedgerQueryLines.join(u'\n') + u'\n' + order.arg("l");
        QTest::newRow("alias without AS") << "SELECT * FROM ledgeritem x WHERE a = 1;" << "SELECT * FROM ledgeritem x WHERE a = 1\n" + order.arg("x");
        QTest::newRow("no alias, a join") << "SELECT * FROM ledgeritem LEFT JOIN partner AS p ON 1 = 1"
                                          << "SELECT * FROM ledgeritem LEFT JOIN partner AS p ON 1 = 1\n" + order.arg("ledgeritem");
        QTest::newRow("quoted alias") << "SELECT * FROM `ledgeritem` AS `L` -- last" << "SELECT * FROM `ledgeritem` AS `L` -- last\n" + order.arg("L");
        QTest::newRow("own ORDER BY") << "SELECT * FROM ledgeritem AS l ORDER BY l.ledgernumber" << "";
        QTest::newRow("LIMIT") << "SELECT * FROM ledgeritem AS l LIMIT 5" << "";
        QTest::newRow("compound") << "SELECT * FROM ledgeritem AS l UNION SELECT * FROM ledgeritem AS k" << "";
        QTest::newRow("ORDER BY only inside") << "SELECT * FROM t AS s WHERE a IN (SELECT a FROM u ORDER BY a LIMIT 2)"
                                              << "SELECT * FROM t AS s WHERE a IN (SELECT a FROM u ORDER BY a LIMIT 2)\n" + order.arg("s");
        QTest::newRow("derived table first") << "SELECT * FROM (SELECT * FROM t) AS s" << "";
    }

    void orderedSelect()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(OrderedSelect(sql, {{QStringLiteral("ledgerdatetime"), true}, {QStringLiteral("ledgeritemid"), false}}), expected);
    }
};

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
