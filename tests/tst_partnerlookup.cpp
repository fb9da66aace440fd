// The partners the detail form's Partner field offers: folded names, those
// starting with the typed text first, inactive partners never.

#include "InterfaceScript.h"
#include "TestDb.h"
#include "data/PartnerLookup.h"

#include <QtTest>

class TestPartnerLookup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(db);
        for (const char *row : {"Autocacak|y", "Čačanska pivara|y", "ČAČAK TRANS|y", "Knjižara Čačak|y",
                                "Stara Čaršija|n", "Đorđević i sinovi|y", "Dunav osiguranje|y", "DUNAV OSIGURANJE|y"}) {
            const QStringList cells = QString::fromUtf8(row).split(u'|');
            db.Connection().ExecSQL(QStringLiteral("INSERT INTO partner (name, city, active) VALUES (?, 'Niš', ?)"),
                                    {cells[0], cells[1]});
        }
        lookup.Load(db.Connection());
        QCOMPARE(lookup.Count(), 7);
    }

    void filter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("names"); // in the order offered, joined by |
        QTest::addColumn<int>("named");     // partners of exactly that name

        QTest::newRow("folded, starting first") << "cacak" << 50 << "ČAČAK TRANS|Knjižara Čačak|Autocacak" << 0;
        QTest::newRow("diacritics typed") << "Čača" << 50 << "ČAČAK TRANS|Čačanska pivara|Knjižara Čačak|Autocacak" << 0;
        QTest::newRow("cyrillic, whole name") << "ЧАЧАК ТРАНС" << 50 << "ČAČAK TRANS" << 1;
        QTest::newRow("dj for đ") << "djordj" << 50 << "Đorđević i sinovi" << 0;
        QTest::newRow("two of one name") << "  dunav   osiguranje" << 50 << "Dunav osiguranje|DUNAV OSIGURANJE" << 2;
        QTest::newRow("inactive hidden") << "stara carsija" << 50 << "" << 0;
        QTest::newRow("no such partner") << "xyz" << 50 << "" << 0;
        QTest::newRow("nothing typed") << "   " << 50 << "" << 0;
        QTest::newRow("limit keeps the best") << "cacak" << 2 << "ČAČAK TRANS|Knjižara Čačak" << 0;
        QTest::newRow("limit in the first group") << "c" << 1 << "ČAČAK TRANS" << 0;
    }

    void filter()
    {
        QFETCH(QString, typed);
        QFETCH(int, limit);
        QFETCH(QString, names);
        QFETCH(int, named);
        QStringList found;
        for (const TPartnerChoice &p : lookup.Filter(typed, limit))
            found << p.Name;
        QCOMPARE(found.join(u'|'), names);
        QCOMPARE(lookup.Named(typed).size(), named);
    }

    // Names in either script offered in one order, the interface script's.
    void mixedScripts()
    {
        db.Connection().ExecSQL(QStringLiteral("INSERT INTO partner (name, city, active) VALUES ('Чачак Вектор', 'Чачак', 'y')"));
        const std::pair<TScript, const char *> expected[] = {
            {TScript::Latin, "ČAČAK TRANS|Чачак Вектор|Knjižara Čačak|Autocacak"},
            {TScript::Cyrillic, "Чачак Вектор|ČAČAK TRANS|Knjižara Čačak|Autocacak"}};
        for (const auto &[script, names] : expected) {
            SetInterfaceScript(script);
            TPartnerLookup mixed;
            mixed.Load(db.Connection());
            SetInterfaceScript(TScript::Latin);
            QStringList found;
            for (const TPartnerChoice &p : mixed.Filter(QStringLiteral("cacak")))
                found << p.Name;
            QCOMPARE(found.join(u'|'), QString::fromUtf8(names));
        }
    }

private:
    TestDb db;
    TPartnerLookup lookup;
};

QTEST_GUILESS_MAIN(TestPartnerLookup)
#include "tst_partnerlookup.moc"
