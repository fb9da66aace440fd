// The folded keys of the texts searched by prefix: whoever writes a row, by
// whatever statement, its keys follow its texts; an older book gets them.

#include "LedgerFixture.h"
#include "SchemaInstaller.h"
#include "ZConnection.h"
#include "data/LedgerDMUnit.h"

#include <QSqlQuery>
#include <QtTest>

class TestFoldedKeys : public QObject
{
    Q_OBJECT

    QString key(TZConnection &c, const QString &table, const QString &column, qint64 id)
    {
        auto q = c.OpenQuery(QStringLiteral("SELECT %1 FROM %2 WHERE %2id = ?").arg(c.FoldedKey(column), table), {id});
        return q->next() ? q->value(0).toString() : QStringLiteral("(no row)");
    }
    // The ids found by the search's own condition, through the key's index.
    QList<qint64> found(TZConnection &c, const QString &table, const QString &column, const QString &typed)
    {
        QVariantList params;
        const QString where = c.FoldedPrefixCondition(column, typed, params);
        auto q = c.OpenQuery(QStringLiteral("SELECT %1id FROM %1 WHERE %2 ORDER BY 1").arg(table, where), params);
        QList<qint64> ids;
        while (q->next())
            ids << q->value(0).toLongLong();
        return ids;
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start();
    }
    void cleanupTestCase() { fx.Stop(); }

    void keys_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("key");
        QTest::newRow("Cyrillic") << "Ђорђе Јовановић" << "DJORDJE J" << "djordje jovanovic";
        QTest::newRow("capitals with diacritics") << "ČAČAK Ćup" << "Чачак ћ" << "cacak cup";
        QTest::newRow("digraphs in one character") << "ǅep ǈubav ǋ" << "Џеп љ" << "dzep ljubav nj";
        QTest::newRow("other accents") << "Café Müller" << "cafe mü" << "cafe muller";
        QTest::newRow("digits and signs") << "Šum 12/26-A" << "шум 12/26-a" << "sum 12/26-a";
    }
    // Written, then written over: partner names and the item's three texts.
    void keys()
    {
        QFETCH(QString, text);
        QFETCH(QString, typed);
        TZConnection &c = fx.Db.Connection();
        const qint64 partner = fx.Insert(QStringLiteral("partner"), {{"name", text}});
        const qint64 item = fx.AddItem({{"itemnumber", text}, {"itemtype", QStringLiteral("Dopis")}});
        c.ExecSQL(QStringLiteral("UPDATE ledgeritem SET ledgernumber = ?, itemtype = ? WHERE ledgeritemid = ?"),
                  {text, text, item});
        QTEST(key(c, QStringLiteral("partner"), QStringLiteral("name"), partner), "key");
        QCOMPARE(found(c, QStringLiteral("partner"), QStringLiteral("name"), typed), QList<qint64>{partner});
        for (const QString column : {"ledgernumber", "itemnumber", "itemtype"}) {
            QTEST(key(c, QStringLiteral("ledgeritem"), column, item), "key");
            QCOMPARE(found(c, QStringLiteral("ledgeritem"), column, typed), QList<qint64>{item});
        }
        c.ExecSQL(QStringLiteral("UPDATE partner SET name = 'Zora' WHERE partnerid = ?"), {partner});
        QCOMPARE(found(c, QStringLiteral("partner"), QStringLiteral("name"), typed), QList<qint64>{});
        c.ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {item});
    }

    // A copy with a number of its own has the keys of its own texts.
    void copy()
    {
        const qint64 item = fx.AddItem({{"itemnumber", QStringLiteral("Џ-7")}});
        const int copied = LedgerDM->CopyLedgerItem(int(item), {QStringLiteral("ledgernumber=Љ-99/26")});
        TZConnection &c = fx.Db.Connection();
        QCOMPARE(key(c, QStringLiteral("ledgeritem"), QStringLiteral("ledgernumber"), copied), QStringLiteral("lj-99/26"));
        QCOMPARE(key(c, QStringLiteral("ledgeritem"), QStringLiteral("itemnumber"), copied), QStringLiteral("dz-7"));
    }

    // A book from before the keys: its rows get them with the upgrade.
    void olderBookGetsKeys()
    {
        const auto admin = fx.Db.OpenAdminConnection();
        TZConnection &c = *admin;
        const bool sqlite = c.Backend() == TBackend::SQLite;
        const QStringList indexes{"ix_ledgeritem_itemnumberfold", "ix_ledgeritem_itemtypefold",
                                  "ix_ledgeritem_ledgernumberfold", "ix_partner_namefold"};
        for (const QString &index : indexes)
            c.ExecSQL(sqlite ? QStringLiteral("DROP INDEX ") + index
                             : QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                                   .arg(index.section(u'_', 1, 1), index.section(u'_', 2)));
        c.ExecSQL(QStringLiteral("DELETE FROM schemaversion WHERE version >= 10"));
        const qint64 partner = fx.Insert(QStringLiteral("partner"), {{"name", QStringLiteral("Ужице Đak")}});
        UpgradeSchema(c);
        UpgradeSchema(c);
        QCOMPARE(SchemaVersion(c), 11);
        QCOMPARE(key(c, QStringLiteral("partner"), QStringLiteral("name"), partner), QStringLiteral("uzice djak"));
        QCOMPARE(found(c, QStringLiteral("partner"), QStringLiteral("name"), QStringLiteral("UŽICE")),
                 QList<qint64>{partner});
        QStringList made;
        auto q = c.OpenQuery(sqlite ? QStringLiteral("SELECT name FROM sqlite_master WHERE name LIKE '%fold' ORDER BY 1")
                                    : QStringLiteral("SELECT DISTINCT index_name FROM information_schema.statistics "
                                                     "WHERE table_schema = DATABASE() AND index_name LIKE '%fold' "
                                                     "ORDER BY 1"));
        while (q->next())
            made << q->value(0).toString();
        QCOMPARE(made, indexes);
        if (sqlite) {
            QVariantList params;
            auto plan = c.OpenQuery(QStringLiteral("EXPLAIN QUERY PLAN SELECT partnerid FROM partner WHERE ")
                                        + c.FoldedPrefixCondition(QStringLiteral("name"), QStringLiteral("уж"), params),
                                    params);
            QVERIFY(plan->next());
            QVERIFY2(plan->value(3).toString().contains(QLatin1String("ix_partner_namefold")),
                     qPrintable(plan->value(3).toString()));
        }
    }

private:
    LedgerFixture fx;
};

QTEST_MAIN(TestFoldedKeys)
#include "tst_foldedkeys.moc"
