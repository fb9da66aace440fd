// The search row "Tekst": what it finds (fields and the kept document text,
// folded, word beginnings, every word needed), the ranking it gives, and the
// passage a row's tooltip shows.

#include "DocumentTextFixture.h"
#include "KException.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerSearchCriteria.h"
#include "data/TextSearch.h"

#include <QSqlQuery>
#include <QtTest>

class TestTextSearch : public QObject
{
    Q_OBJECT
    LedgerFixture fx;

    // The ledger numbers of this test's items (TX...) found, in the ranked order.
    QStringList found(const QString &typed)
    {
        TLedgerSearchCriteria criteria;
        criteria.Texts.insert(TLedgerSearchCriteria::Text, typed);
        TZConnection &c = fx.Db.Connection();
        QVariantList params, orderParams;
        QString order;
        const QString condition = criteria.Condition(&c, params, &order, &orderParams);
        auto q = c.OpenQuery(LedgerDM->LedgerItemChangeSQLCondition(condition) + QStringLiteral(" ORDER BY ") + order,
                             params + orderParams);
        QStringList numbers;
        while (q->next())
            if (const QString n = q->value(QStringLiteral("ledgernumber")).toString(); n.startsWith(QLatin1String("TX")))
                numbers << n;
        return numbers;
    }

    qint64 item(const QString &number, const QString &when, const QVariantMap &values, const QString &text = {})
    {
        QVariantMap v = values;
        v.insert(QStringLiteral("ledgernumber"), number);
        v.insert(QStringLiteral("ledgerdatetime"), QDateTime::fromString(when, Qt::ISODate));
        return doctext::addItem(fx, v, text);
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        fx.Insert(QStringLiteral("itemtype"), {{"name", "Punomoćje"}});
        item("TX1/26", "2026-02-01T10:00:00",
             {{"subject", "Zahtev za građevinsku dozvolu"}, {"itemtype", "Punomoćje"}, {"itemnumber", "404-12/2026-03"},
              {"partnerid", doctext::addPartner(fx, "Elektrovojvodina d.o.o.")}},
             "Opština Čačak traži\ndopunu dokumentacije. Rok je petnaest dana.");
        item("TX2/26", "2026-02-02T10:00:00", {{"subject", "Žalba"}, {"partnerid", doctext::addPartner(fx, "Opština Ćuprija")}},
             "Ћуприја и Параћин: мостови");
        // For the ranking: the word in the text, the subject, both, the partner.
        item("TX3/26", "2026-03-01T10:00:00", {{"subject", "Dopis"}}, "Nema kvoruma za sednicu.");
        item("TX4/26", "2026-03-02T10:00:00", {{"subject", "Kvorum nije postignut"}});
        item("TX5/26", "2026-03-03T10:00:00", {{"partnerid", doctext::addPartner(fx, "Kvorum d.o.o.")}});
        item("TX6/26", "2026-01-01T10:00:00", {{"subject", "Kvorum"}}, "Kvorum je postignut.");
    }
    void cleanupTestCase() { fx.Stop(); }

    void finds_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("word in the text only") << "dopunu" << QStringList{"TX1/26"};
        QTest::newRow("word in the subject") << "gradjevinsku" << QStringList{"TX1/26"};
        QTest::newRow("word in the partner") << "elektrovojvodina" << QStringList{"TX1/26"};
        QTest::newRow("word in the type") << "punomocje" << QStringList{"TX1/26"};
        QTest::newRow("prefix") << "dokument" << QStringList{"TX1/26"};
        QTest::newRow("Cyrillic typed, Latin stored") << "ЧАЧАК" << QStringList{"TX1/26"};
        QTest::newRow("Latin typed, Cyrillic stored") << "paracin" << QStringList{"TX2/26"};
        QTest::newRow("both words needed") << "dopunu paracin" << QStringList{};
        QTest::newRow("words from text and partner") << "most cuprij" << QStringList{"TX2/26"};
        QTest::newRow("sender's number whole") << "404-12/2026-03" << QStringList{"TX1/26"};
        QTest::newRow("ledger number") << "tx2" << QStringList{"TX2/26"};
        QTest::newRow("percent and underscore") << "_dopun%" << QStringList{"TX1/26"};
        QTest::newRow("quote and backslash") << "'\\dopun' OR 1=1 --" << QStringList{};
        QTest::newRow("no such word") << "nepostojeca" << QStringList{};
    }
    void finds()
    {
        QFETCH(QString, typed); QFETCH(QStringList, numbers);
        QStringList got = found(typed);
        got.sort();
        QCOMPARE(got, numbers);
    }

    void ranking_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("numbers");
        // Text and subject 6, subject 3 (newer), text 3, partner 2.
        QTest::newRow("one word") << "kvorum" << QStringList{"TX6/26", "TX4/26", "TX3/26", "TX5/26"};
    }
    void ranking()
    {
        QFETCH(QString, typed); QFETCH(QStringList, numbers);
        QCOMPARE(found(typed), numbers);
    }

    void noWord()
    {
        TLedgerSearchCriteria criteria;
        criteria.Texts.insert(TLedgerSearchCriteria::Text, QStringLiteral("%%"));
        QVariantList params;
        try {
            criteria.Condition(&fx.Db.Connection(), params);
            QFAIL("no word searched");
        } catch (const KException &e) {
            QCOMPARE(e.message(), QStringLiteral("Polje 'Tekst': '%%' ne sadrži nijednu reč (traže se slova ili cifre)."));
        }
    }

    void passage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("passage");
        const QString letter = QStringLiteral("Poštovani, obaveštavamo vas da je zahtev za izdavanje\nrešenja o "
                                              "upisu primljen i da će biti rešen u roku od petnaest dana.");
        QTest::newRow("in the middle") << letter << "upis" << 40 << "…rešenja o upisu primljen i da će biti…";
        QTest::newRow("at the start") << letter << "postovan" << 30 << "Poštovani, obaveštavamo vas da…";
        QTest::newRow("at the end") << letter << "dana" << 30 << "…rešen u roku od petnaest dana.";
        QTest::newRow("Cyrillic typed") << letter << "РЕШЕЊА" << 30 << "…izdavanje rešenja o upisu…";
        QTest::newRow("second word typed") << letter << "nema roku" << 20 << "…u roku od…";
        QTest::newRow("inside a word only") << letter << "stavamo" << 30 << "";
        QTest::newRow("short text") << "Ћуприја" << "cuprija" << 30 << "Ћуприја";
    }
    void passage()
    {
        QFETCH(QString, text); QFETCH(QString, typed); QFETCH(int, width); QFETCH(QString, passage);
        QCOMPARE(MatchingPassage(text, typed, width), passage);
    }
};

QTEST_MAIN(TestTextSearch)
#include "tst_textsearch.moc"
