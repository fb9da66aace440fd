// Serbian letters in the ledger's searches and name orders, alike on both
// backends; an older SQLite book gains the indexes the searches use.

#include "LedgerFixture.h"
#include "SchemaInstaller.h"
#include "TestConsole.h"
#include "ValueListEditor.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "integration/LedgerRegistration.h"
#include "screens/LedgerNavigatorUnit.h"

#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>

class TestSerbianSearch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.StartModule();
        const qint64 user = fx.Insert("user", {{"firstname", "Ana"}, {"lastname", "Anić"}, {"login", "ana"}, {"passwordhash", "x"}});
        // Item n/24 names the n-th partner; the first three item numbers differ in case.
        const QStringList names{"Štamparija Šumadija", "ŠTAMPA d.o.o.", "štamparski centar", "Stamparija Sloga",
                                "Čačak prevoz", "Ćirić i sinovi", "Cvećara Ruža", "Đurđevak", "Dunav", "Tara",
                                "Žitopromet", "Zora"};
        const QStringList itemNumbers{"ŠB-1", "šb-2", "SB-3"};
        // Every item is a "Dopis" but these.
        const QMap<int, QString> itemTypes{{6, "ДОПИС"}, {7, "Rešenje"}, {8, "Решење"}};
        for (int n = 1; n <= names.size(); ++n)
            fx.AddItem({{"ledgernumber", QStringLiteral("%1/24").arg(n)},
                        {"itemnumber", itemNumbers.value(n - 1, QStringLiteral("BR-%1").arg(n))},
                        {"itemtype", itemTypes.value(n, QStringLiteral("Dopis"))},
                        {"partnerid", fx.Insert("partner", {{"name", names[n - 1]}})}, {"userid", user}});
        // A partner typed in Latin and one typed in Cyrillic, items 20/24 and 21/24.
        for (const auto &[n, name] : {std::pair{20, "Đorđe Petrović"}, std::pair{21, "Ђорђе Јовановић"}})
            fx.AddItem({{"ledgernumber", QStringLiteral("%1/24").arg(n)}, {"itemnumber", QStringLiteral("Ђ-%1").arg(n)},
                        {"partnerid", fx.Insert("partner", {{"name", QString::fromUtf8(name)}})}, {"userid", user}});
        m_console = IRef<TestConsole>(new TestConsole);
        m_console->Services = {IRef<IInterface>(new TPartnerService(&fx.Db.Connection()))};
        GlobalConsole = IRef<IConsole>(m_console);
    }

    void cleanupTestCase() { fx.Stop(); }

    void found_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("numbers"); // found, in number order
        // Script, case and diacritics aside: every spelling finds the same items.
        for (const char *typed : {"štam", "ŠTAM", "Štam", "штам"})
            QTest::addRow("%s", typed) << "partner" << typed << "1/24,2/24,3/24,4/24";
        QTest::newRow("stam finds štam too") << "partner" << "stam" << "1/24,2/24,3/24,4/24";
        QTest::newRow("đ") << "partner" << "đ" << "8/24,20/24,21/24";
        QTest::newRow("Đ") << "partner" << "Đ" << "8/24,20/24,21/24";
        QTest::newRow("c finds Č and Ć too") << "partner" << "c" << "5/24,6/24,7/24";
        QTest::newRow("Ć") << "partner" << "Ć" << "5/24,6/24,7/24";
        QTest::newRow("ž") << "partner" << "ž" << "11/24,12/24";
        for (const char *typed : {"Ђорђе", "ђорђе", "Đorđe", "djordje", "DJORDJE"})
            QTest::addRow("%s", typed) << "partner" << typed << "20/24,21/24";
        for (const char *typed : {"cacak", "Чачак", "ČAČAK"})
            QTest::addRow("%s", typed) << "partner" << typed << "5/24";
        QTest::newRow("Cyrillic partner in Latin") << "partner" << "Đorđe J" << "21/24";
        QTest::newRow("Latin partner in Cyrillic") << "partner" << "Ђорђе П" << "20/24";
        QTest::newRow("with a wildcard") << "partner" << "Š%IJ" << "1/24,4/24";
        QTest::newRow("number 1/2") << "ledgernumber" << "1/2" << "1/24";
        QTest::newRow("number with _") << "ledgernumber" << "1_/" << "10/24,11/24,12/24";
        QTest::newRow("item number šb") << "itemnumber" << "šb" << "1/24,2/24,3/24";
        QTest::newRow("item number typed in Latin") << "itemnumber" << "dj-2" << "20/24,21/24";
        for (const char *typed : {"ДОПИС", "dopis", "Dopis", "доп"})
            QTest::addRow("type %s", typed) << "itemtype" << typed << "1/24,2/24,3/24,4/24,5/24,6/24,9/24,10/24,11/24,12/24,20/24,21/24";
        for (const char *typed : {"resenje", "Решење", "REŠ"})
            QTest::addRow("type %s", typed) << "itemtype" << typed << "7/24,8/24";
    }

    // Through the search frame, as a clerk searches.
    void found()
    {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        ScopedScriptedDialogs dialogs;
        const auto items = LedgerDM->NewLedgerItems();
        TLedgerNavigatorForm frame(nullptr);
        frame.SetSearchTarget([&] { return items.get(); });
        frame.SearchVLE->SetValue(key, typed);
        frame.FindButton->click();
        QVERIFY2(dialogs->Messages.isEmpty(), qPrintable(dialogs->Messages.value(0).Text));
        QList<int> found;
        TZQuery *query = items->LedgerItemZQ;
        for (query->First(); !query->Eof(); query->Next())
            found << items->LedgerItemZQledgernumber->AsString().section(u'/', 0, 0).toInt();
        std::sort(found.begin(), found.end());
        QStringList numbers;
        for (int n : found)
            numbers << QStringLiteral("%1/24").arg(n);
        QTEST(numbers.join(u','), "numbers");
        query->Close();
    }

    // The partner picker and a row set sorted in memory, in the interface's
    // Latin: the name written in Cyrillic among the Latin ones.
    void sorted()
    {
        const QStringList expected{"Cvećara Ruža", "Čačak prevoz", "Ćirić i sinovi", "Dunav", "Ђорђе Јовановић",
                                   "Đorđe Petrović", "Đurđevak", "Stamparija Sloga", "ŠTAMPA d.o.o.",
                                   "Štamparija Šumadija", "štamparski centar", "Tara", "Zora", "Žitopromet"};
        QStringList picked, inMemory;
        ScopedScriptedDialogs dialogs;
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            const QAbstractItemModel *rows = dialog.findChild<QTableView *>()->model();
            for (int r = 0; r < rows->rowCount(); ++r)
                picked << rows->index(r, 0).data().toString();
            return int(QDialog::Rejected);
        });
        TPartnerDesc partner;
        ConsoleService<IPartner>()->SelectPartner(partner);
        QCOMPARE(picked, expected);

        const auto items = LedgerDM->NewLedgerItems();
        TZQuery *query = items->LedgerItemZQ;
        items->ShowCondition(QString());
        query->SetSortedFields(QStringLiteral("partnername"));
        for (query->First(); !query->Eof(); query->Next())
            inMemory << items->LedgerItemZQpartnername->AsString();
        query->Close();
        QCOMPARE(inMemory, expected);
    }

    // A book made before the collated indexes gets them once, and searches use them.
    void olderBookUpgraded()
    {
        TZConnection &c = fx.Db.Connection();
        const bool sqlite = c.Backend() == TBackend::SQLite;
        const QStringList indexes{"ix_ledgeritem_itemnumber_srlatn", "ix_ledgeritem_ledgernumber_srlatn",
                                  "ix_partner_name_srlatn"};
        for (const QString &index : indexes)
            if (sqlite)
                c.ExecSQL(QStringLiteral("DROP INDEX ") + index);
        UpgradeSchema(c);
        UpgradeSchema(c);
        if (!sqlite)
            return; // MariaDB's tables carry their collation
        QStringList found;
        auto q = c.OpenQuery(QStringLiteral("SELECT name FROM sqlite_master WHERE name LIKE '%srlatn' ORDER BY name"));
        while (q->next())
            found << q->value(0).toString();
        QCOMPARE(found, indexes);

        const auto plan = [&](const QString &sql, const QVariantList &params) {
            auto steps = c.OpenQuery(QStringLiteral("EXPLAIN QUERY PLAN ") + sql, params);
            QString text;
            while (steps->next())
                text += steps->value(3).toString() + u'\n';
            return text;
        };
        // The ledger query keeps items outermost and finds a partner by key.
        QVariantList params;
        const QString partners = QStringLiteral("SELECT partnerid FROM partner WHERE ") + c.PrefixCondition("name", "Š", params);
        QVERIFY(plan(partners, params).contains(QLatin1String("ix_partner_name_srlatn")));
        TLedgerNavigatorForm frame(nullptr);
        for (const QString column : {"ledgernumber", "itemnumber"}) {
            frame.SearchVLE->SetValue(column, QStringLiteral("Š"));
            const QString steps = plan(frame.ParseSQL(params), params);
            QVERIFY2(steps.contains(QStringLiteral("ix_ledgeritem_%1fold").arg(column)), qPrintable(steps));
            frame.SearchVLE->SetValue(column, QString());
        }
        // The partner's condition makes its join an inner one, so that on a
        // big book its folded key can lead.
        frame.SearchVLE->SetValue(QStringLiteral("partner"), QStringLiteral("Š"));
        const QString steps = plan(frame.ParseSQL(params), params);
        QVERIFY2(!steps.contains(QLatin1String("SEARCH p USING INTEGER PRIMARY KEY (rowid=?) LEFT-JOIN")), qPrintable(steps));
    }

private:
    LedgerFixture fx;
    IRef<TestConsole> m_console;
};

QTEST_MAIN(TestSerbianSearch)
#include "tst_serbiansearch.moc"
