// The text kept per item (stored, replaced, read, gone with its item) and the
// duplicates a new intake would repeat.

#include "DocumentTextFixture.h"
#include "KException.h"

#include <QSqlQuery>
#include <QtTest>
#include <barrier>
#include <thread>

class TestDocumentText : public QObject
{
    Q_OBJECT
    LedgerFixture fx;

    QStringList words(qint64 id)
    {
        QStringList found;
        auto q = fx.Db.Connection().OpenQuery(
            QStringLiteral("SELECT word FROM documentword WHERE ledgeritemid = ? ORDER BY word"), {id});
        while (q->next())
            found << q->value(0).toString();
        return found;
    }

private slots:
    void initTestCase() { REQUIRE_TESTDB(fx.Db); fx.Start(QStringLiteral("ana")); }
    void init() { REQUIRE_TESTDB(fx.Db); }
    void cleanupTestCase() { fx.Stop(); }

    void storeAndReplace_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("kept") << "Rešenje o upisu" << "" << QStringList{"o", "resenje", "upisu"};
        QTest::newRow("replaced") << "Prvi tekst" << "Drugi: ĆUPRIJA, Ћуприја" << QStringList{"cuprija", "drugi"};
        QTest::newRow("emptied") << "Nešto" << "-" << QStringList{};
    }
    void storeAndReplace()
    {
        QFETCH(QString, first); QFETCH(QString, second); QFETCH(QStringList, words);
        TZConnection &c = fx.Db.Connection();
        const qint64 id = doctext::addItem(fx, {}, first, QStringLiteral("AB12"));
        if (!second.isEmpty()) {
            TZTransaction t(c);
            StoreItemDocumentText(c, id, second == QLatin1String("-") ? QString() : second, {});
            t.Commit();
        }
        QCOMPARE(ItemDocumentText(c, id), second.isEmpty() ? first : second == QLatin1String("-") ? QString() : second);
        QCOMPARE(this->words(id), words);
    }

    void goesWithItem()
    {
        const qint64 id = doctext::addItem(fx, {}, QStringLiteral("Dopis za brisanje"), QStringLiteral("cd34"));
        fx.Db.Connection().ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {id});
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM itemdocument WHERE ledgeritemid = ?"), {id}).toInt(), 0);
        QCOMPARE(words(id), QStringList{});
    }

    void goneItemRefused()
    {
        TZConnection &c = fx.Db.Connection();
        TZTransaction t(c);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, StoreItemDocumentText(c, 999999, QStringLiteral("Tekst"), {}));
    }

    // Two desks store one item's text at once: one text stays, with its own words only.
    void twoDesksAtOnce()
    {
        const qint64 id = doctext::addItem(fx, {}, QStringLiteral("Pre svega"));
        std::barrier meet(2);
        QString errors[2];
        auto desk = [&](int k) {
            try {
                auto connection = fx.Db.OpenSecondConnection();
                meet.arrive_and_wait();
                TZTransaction t(*connection);
                StoreItemDocumentText(*connection, id, k ? QStringLiteral("drugi opis") : QStringLiteral("prvi tekst"), {});
                t.Commit();
            } catch (const std::exception &e) {
                errors[k] = QString::fromUtf8(e.what());
            }
        };
        std::thread a(desk, 0), b(desk, 1);
        a.join();
        b.join();
        QVERIFY2(errors[0].isEmpty() && errors[1].isEmpty(), qPrintable(errors[0] + errors[1]));
        const QString kept = ItemDocumentText(fx.Db.Connection(), id);
        QVERIFY2(kept == QLatin1String("prvi tekst") || kept == QLatin1String("drugi opis"), qPrintable(kept));
        const QStringList expected = kept == QLatin1String("prvi tekst") ? QStringList{"prvi", "tekst"}
                                                                          : QStringList{"drugi", "opis"};
        QCOMPARE(words(id), expected);
    }

    void duplicates_data()
    {
        QTest::addColumn<QString>("number"); // the stored item's ledger number
        QTest::addColumn<QString>("change"); // done to the stored item before the search
        QTest::addColumn<QString>("sha");    // searched for
        QTest::addColumn<bool>("samePartner");
        QTest::addColumn<QString>("itemNumber");
        QTest::addColumn<QStringList>("reasons");
        QTest::newRow("same file") << "101/26" << "" << "aa01" << false << "" << QStringList{"isti fajl je već sken stavke 101/26"};
        QTest::newRow("same file, upper-case hex") << "102/26" << "" << "AA02" << false << ""
                                                   << QStringList{"isti fajl je već sken stavke 102/26"};
        QTest::newRow("same partner and number") << "103/26" << "" << "" << true << "Br-7/26"
                                                 << QStringList{"isti partner i broj dokumenta već su zavedeni pod 103/26"};
        QTest::newRow("other case and blanks") << "104/26" << "" << "" << true << "  br-7/26 "
                                               << QStringList{"isti partner i broj dokumenta već su zavedeni pod 104/26"};
        QTest::newRow("both") << "105/26" << "" << "aa05" << true << "BR-7/26"
                              << QStringList{"isti fajl je već sken stavke 105/26",
                                             "isti partner i broj dokumenta već su zavedeni pod 105/26"};
        QTest::newRow("other partner") << "106/26" << "" << "" << false << "Br-7/26" << QStringList{};
        QTest::newRow("other number") << "107/26" << "" << "aa99" << true << "Br-8/26" << QStringList{};
        QTest::newRow("deleted item") << "108/26" << "delete" << "aa08" << true << "Br-7/26" << QStringList{};
        QTest::newRow("cancelled item") << "109/26" << "cancel" << "" << true << "Br-7/26"
                                        << QStringList{"isti partner i broj dokumenta već su zavedeni pod 109/26"};
    }
    void duplicates()
    {
        QFETCH(QString, number); QFETCH(QString, change); QFETCH(QString, sha); QFETCH(bool, samePartner);
        QFETCH(QString, itemNumber); QFETCH(QStringList, reasons);
        TZConnection &c = fx.Db.Connection();
        const qint64 partner = doctext::addPartner(fx, QStringLiteral("Partner %1").arg(number));
        const qint64 other = doctext::addPartner(fx, QStringLiteral("Drugi %1").arg(number));
        // The stored file's hash ends in the ledger number's digits: aa01 for 101/26.
        const qint64 id = doctext::addItem(fx, {{"ledgernumber", number}, {"partnerid", partner}, {"itemnumber", "Br-7/26"}},
                                           QStringLiteral("Tekst"), QStringLiteral("aa") + number.mid(1, 2));
        if (change == QLatin1String("delete"))
            c.ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {id});
        if (change == QLatin1String("cancel"))
            c.ExecSQL(QStringLiteral("UPDATE ledgeritem SET cancelled = 'y' WHERE ledgeritemid = ?"), {id});
        QStringList found;
        for (const TIntakeDuplicate &d : FindIntakeDuplicates(c, sha, samePartner ? partner : other, itemNumber)) {
            QCOMPARE(d.ItemID, id);
            QCOMPARE(d.LedgerNumber, number);
            found << d.Reason;
        }
        QCOMPARE(found, reasons);
    }
};

QTEST_MAIN(TestDocumentText)
#include "tst_documenttext.moc"
