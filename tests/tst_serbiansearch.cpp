// Serbian letters in the ledger's searches and name orders, the same on both
// backends: prefixes match without regard to case (Š = š), Č is not C, names
// sort A B C Č Ć D Đ ... S Š T ... Z Ž; an older SQLite book gains the
// indexes the searches use.

#include "LedgerFixture.h"
#include "SchemaInstaller.h"
#include "TestConsole.h"
#include "ValueListEditor.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "integration/LedgerRegistration.h"
#include "screens/LedgerNavigatorUnit.h"

#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>
#include <memory>

class TestSerbianSearch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.StartModule();
        const qint64 user =
            fx.Insert("user", {{"firstname", "Ana"}, {"lastname", "Anić"}, {"login", "ana"}, {"passwordhash", "x"}});
        // Numbered in the order of insertion: 1/24 is Štamparija.
        const char *names[] = {"Štamparija Šumadija", "ŠTAMPA d.o.o.", "štamparski centar", "Stamparija Sloga",
                               "Čačak prevoz",        "Ćirić i sinovi", "Cvećara Ruža",      "Đurđevak",
                               "Dunav",               "Tara",           "Žitopromet",        "Zora"};
        const char *itemNumbers[] = {"ŠB-1", "šb-2", "SB-3"};
        int n = 0;
        for (const char *name : names) {
            const qint64 partner = fx.Insert("partner", {{"name", QString::fromUtf8(name)}});
            ++n;
            fx.AddItem({{"ledgernumber", QStringLiteral("%1/24").arg(n)},
                        {"itemnumber", n <= 3 ? QString::fromUtf8(itemNumbers[n - 1]) : QStringLiteral("BR-%1").arg(n)},
                        {"partnerid", partner},
                        {"userid", user}});
        }
        m_console = IRef<TestConsole>(new TestConsole);
        m_console->Services = {IRef<IInterface>(new TPartnerService(&fx.Db.Connection()))};
        GlobalConsole = IRef<IConsole>(m_console);
    }

    void cleanupTestCase()
    {
        fx.Stop();
        m_console.reset();
    }

    void found_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("numbers"); // found, in number order
        const char *stamp = "1/24,2/24,3/24";
        QTest::newRow("štam") << "partner" << "štam" << stamp;
        QTest::newRow("ŠTAM") << "partner" << "ŠTAM" << stamp;
        QTest::newRow("Štam") << "partner" << "Štam" << stamp;
        QTest::newRow("stam is no štam") << "partner" << "stam" << "4/24";
        QTest::newRow("đ") << "partner" << "đ" << "8/24";
        QTest::newRow("Đ") << "partner" << "Đ" << "8/24";
        QTest::newRow("c is no Č or Ć") << "partner" << "c" << "7/24";
        QTest::newRow("č") << "partner" << "č" << "5/24";
        QTest::newRow("Ć") << "partner" << "Ć" << "6/24";
        QTest::newRow("ž") << "partner" << "ž" << "11/24";
        QTest::newRow("Z") << "partner" << "Z" << "12/24";
        QTest::newRow("with a wildcard") << "partner" << "Š%IJ" << "1/24";
        QTest::newRow("number 1/2") << "ledgernumber" << "1/2" << "1/24";
        QTest::newRow("number 1") << "ledgernumber" << "1" << "1/24,10/24,11/24,12/24";
        QTest::newRow("number with _") << "ledgernumber" << "1_/" << "10/24,11/24,12/24";
        QTest::newRow("item number šb") << "itemnumber" << "šb" << "1/24,2/24";
        QTest::newRow("item number SB") << "itemnumber" << "SB" << "3/24";
    }

    // Through the search frame, as a clerk searches.
    void found()
    {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(QString, numbers);
        ScopedScriptedDialogs dialogs;
        TLedgerNavigatorForm frame(nullptr);
        frame.SearchVLE->SetValue(key, typed);
        frame.FindButton->click();
        QVERIFY2(dialogs->Messages.isEmpty(), qPrintable(dialogs->Messages.value(0).Text));
        QStringList found;
        TZQuery *query = LedgerDM->LedgerItemZQ;
        for (query->First(); !query->Eof(); query->Next())
            found << LedgerDM->LedgerItemZQledgernumber->AsString();
        std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) {
            return a.section(u'/', 0, 0).toInt() < b.section(u'/', 0, 0).toInt();
        });
        QCOMPARE(found.join(u','), numbers);
        query->Close();
    }

    void sorted_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("partner picker") << "picker";
        QTest::newRow("row set sorted in memory") << "memory";
    }

    void sorted()
    {
        QFETCH(QString, how);
        QStringList names;
        if (how == QLatin1String("picker")) {
            ScopedScriptedDialogs dialogs;
            dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
                const QAbstractItemModel *rows = dialog.findChild<QTableView *>()->model();
                for (int r = 0; r < rows->rowCount(); ++r)
                    names << rows->index(r, 0).data().toString();
                return int(QDialog::Rejected);
            });
            TPartnerDesc partner;
            QVERIFY(!ConsoleService<IPartner>()->SelectPartner(partner));
        } else {
            TZQuery *query = LedgerDM->LedgerItemZQ;
            query->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QString()));
            query->Open();
            query->SetSortedFields(QStringLiteral("partnername"));
            for (query->First(); !query->Eof(); query->Next())
                names << LedgerDM->LedgerItemZQpartnername->AsString();
            query->Close();
        }
        QCOMPARE(names, QStringList({"Cvećara Ruža", "Čačak prevoz", "Ćirić i sinovi", "Dunav", "Đurđevak",
                                     "Stamparija Sloga", "ŠTAMPA d.o.o.", "Štamparija Šumadija", "štamparski centar",
                                     "Tara", "Zora", "Žitopromet"}));
    }

    // A book made before the collated indexes gets them once, and the
    // searches use them.
    void olderBookUpgraded()
    {
        TZConnection &c = fx.Db.Connection();
        const bool sqlite = c.Backend() == TBackend::SQLite;
        const QStringList indexes{"ix_ledgeritem_itemnumber_srlatn", "ix_ledgeritem_ledgernumber_srlatn",
                                  "ix_partner_name_srlatn"};
        if (sqlite)
            for (const QString &index : indexes)
                c.ExecSQL(QStringLiteral("DROP INDEX ") + index);
        UpgradeSchema(c);
        UpgradeSchema(c);
        if (!sqlite)
            return; // MariaDB's tables are collated themselves
        QStringList found;
        auto q = c.OpenQuery(QStringLiteral("SELECT name FROM sqlite_master WHERE name LIKE '%srlatn' ORDER BY name"));
        while (q->next())
            found << q->value(0).toString();
        QCOMPARE(found, indexes);

        // The ledger query keeps ledger items outermost: a partner prefix
        // narrows them by key, and is index-backed on its own.
        const auto plan = [&](const QString &sql, const QVariantList &params) {
            auto q = c.OpenQuery(QStringLiteral("EXPLAIN QUERY PLAN ") + sql, params);
            QString steps;
            while (q->next())
                steps += q->value(3).toString() + u'\n';
            return steps;
        };
        QVariantList params;
        const QString partners = plan(
            QStringLiteral("SELECT partnerid FROM partner WHERE ") + c.PrefixCondition(QStringLiteral("name"), "Š", params),
            params);
        QVERIFY2(partners.contains(QLatin1String("ix_partner_name_srlatn")), qPrintable(partners));
        TLedgerNavigatorForm frame(nullptr);
        for (const QString &column : {QStringLiteral("ledgernumber"), QStringLiteral("itemnumber")}) {
            frame.SearchVLE->SetValue(column, QStringLiteral("Š"));
            const QString steps = plan(frame.ParseSQL(params), params);
            QVERIFY2(steps.contains(QStringLiteral("ix_ledgeritem_%1_srlatn").arg(column)), qPrintable(steps));
            frame.SearchVLE->SetValue(column, QString());
        }
    }

private:
    LedgerFixture fx;
    IRef<TestConsole> m_console;
};

QTEST_MAIN(TestSerbianSearch)
#include "tst_serbiansearch.moc"
