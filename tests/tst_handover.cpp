// Accepting handed-over items into a kept record over a real database: rows
// another desk changed meanwhile are skipped and named, withdrawals, record
// numbers per year from two desks, and the kept record printed twice alike.

#include "HandoverFixture.h"
#include "data/HandoverAcceptance.h"
#include "data/HandoverBook.h"
#include "data/LedgerProceedingReport.h"

#include <QPdfWriter>
#include <QtTest>

using namespace handover;

namespace {

THistoryActor actor(int id)
{
    return {id, user(id).FirstName + u' ' + user(id).LastName, QStringLiteral("DESK-%1").arg(id)};
}

} // namespace

class TestHandover : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.StartModule();
        addUsers(fx);
    }

    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        clear(fx);
    }

    void cleanupTestCase() { fx.Stop(); }

    // Three items listed for Milan (7); another desk changes the second
    // before he accepts them all.
    void stale_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("first"); // the items' first number
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("rows");
        QTest::newRow("unchanged") << "" << 1 << "yyy" << "" << "a 1/26 a 2/26 a 3/26";
        QTest::newRow("re-addressed") << "readdress" << 11 << "yny"
                                      << "Nisu prihvaćene: 12/26 (preusmerena na Marko Jovanović)" << "a 11/26 a 13/26";
        QTest::newRow("accepted elsewhere") << "accept" << 21 << "yyy" << "Nisu prihvaćene: 22/26 (već prihvaćena)"
                                            << "a 21/26 a 23/26";
        QTest::newRow("cancelled") << "cancel" << 31 << "yny" << "Nisu prihvaćene: 32/26 (stornirana)" << "a 31/26 a 33/26";
        QTest::newRow("deleted, the rest go on") << "delete" << 41 << "y-y" << "Nisu prihvaćene: 42/26 (obrisana)"
                                                 << "a 41/26 a 43/26";
        QTest::newRow("year closed") << "close year" << 51 << "nnn"
                                     << "Nisu prihvaćene: 51/26 (godina 2026 je zaključena), 52/26 (godina 2026 je "
                                        "zaključena), 53/26 (godina 2026 je zaključena)"
                                     << "";
    }

    void stale()
    {
        QFETCH(QString, change);
        QFETCH(int, first);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        QFETCH(QString, rows);
        QList<qint64> ids;
        for (int n = first; n < first + 3; ++n)
            ids << addItem(fx, 3, 7, QStringLiteral("%1/26").arg(n));
        auto desk = fx.Db.OpenSecondConnection();
        changeElsewhere(*desk, change, ids[1]);

        const int journalled = acceptances();
        THandoverAcceptance acceptance(fx.Db.Connection(), user(7), actor(7));
        for (int i = 0; i < ids.size(); ++i)
            acceptance.Accept(ids[i], QStringLiteral("%1/26").arg(first + i));
        QString now;
        for (qint64 id : ids)
            now += accepted(fx, id);
        QCOMPARE(now, stored);
        QCOMPARE(HandoverSkipMessage(acceptance.TakeSkipped()), message);
        QCOMPARE(recordRows(fx), rows);
        QCOMPARE(acceptance.RecordID() != 0, !rows.isEmpty());
        // Each acceptance has its history entry.
        QCOMPARE(acceptances() - journalled, int(rows.count(u'a')));
    }

    // Milan accepts 1/26, another desk may change it, then he withdraws it.
    void withdraw_data()
    {
        QTest::addColumn<bool>("acceptFirst");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("rows");
        QTest::newRow("withdrawn") << true << "" << "n" << "" << "a 1/26 w 1/26";
        QTest::newRow("un-accepted elsewhere") << true << "unaccept" << "n" << "Nisu vraćene: 1/26 (već vraćena)" << "a 1/26";
        QTest::newRow("re-addressed") << true << "readdress" << "y"
                                      << "Nisu vraćene: 1/26 (preusmerena na Marko Jovanović)" << "a 1/26";
        QTest::newRow("deleted") << true << "delete" << "-" << "Nisu vraćene: 1/26 (obrisana)" << "a 1/26";
        QTest::newRow("not accepted in this record") << false << "accept" << "y"
                                                     << "Nisu vraćene: 1/26 (nije prihvaćena u ovom zapisniku)" << "";
    }

    void withdraw()
    {
        QFETCH(bool, acceptFirst);
        QFETCH(QString, change);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        QFETCH(QString, rows);
        const qint64 id = addItem(fx, 3, 7, QStringLiteral("1/26"));
        THandoverAcceptance acceptance(fx.Db.Connection(), user(7), actor(7));
        if (acceptFirst)
            QVERIFY(acceptance.Accept(id, QStringLiteral("1/26")));
        changeElsewhere(*fx.Db.OpenSecondConnection(), change, id);
        QCOMPARE(acceptance.Withdraw(id, QStringLiteral("1/26")), message.isEmpty());
        QCOMPARE(accepted(fx, id), stored);
        QCOMPARE(HandoverSkipMessage(acceptance.TakeSkipped(), true), message);
        QCOMPARE(recordRows(fx), rows);
    }

    // Two desks make records in turn, each on its own connection; the year's
    // count may already stand somewhere.
    void recordNumbers_data()
    {
        QTest::addColumn<int>("counted"); // 0: the year's first records
        QTest::addColumn<QString>("numbers");
        QTest::newRow("the year's first") << 0 << "1 2 1";
        QTest::newRow("after the eleventh") << 11 << "12 13 12";
    }

    void recordNumbers()
    {
        QFETCH(int, counted);
        QFETCH(QString, numbers);
        if (counted)
            fx.Db.Connection().ExecSQL(QStringLiteral("INSERT INTO handovercounter (year, lastnumber) VALUES (?, ?)"),
                                       {QDate::currentDate().year(), counted});
        const qint64 toMilan1 = addItem(fx, 3, 7, QStringLiteral("1/26"));
        const qint64 toJelena = addItem(fx, 5, 3, QStringLiteral("2/26"));
        const qint64 toMilan2 = addItem(fx, 5, 7, QStringLiteral("3/26"));
        auto desk = fx.Db.OpenSecondConnection();
        THandoverAcceptance milan(fx.Db.Connection(), user(7), actor(7));
        THandoverAcceptance jelena(*desk, user(3), actor(3));
        QVERIFY(milan.Accept(toMilan1, QStringLiteral("1/26")));
        QVERIFY(jelena.Accept(toJelena, QStringLiteral("2/26")));
        // A later acceptance adds to the record already made.
        QVERIFY(milan.Accept(toMilan2, QStringLiteral("3/26")));
        QStringList got;
        auto q = fx.Db.Connection().OpenQuery(QStringLiteral("SELECT r.number FROM handoverrow AS w JOIN handoverrecord "
                                                             "AS r ON r.handoverrecordid = w.handoverrecordid "
                                                             "ORDER BY w.handoverrowid"));
        while (q->next())
            got << q->value(0).toString();
        QCOMPARE(got.join(u' '), numbers);
        QCOMPARE(milan.RecordTitle(), recordTitle(numbers.section(u' ', 0, 0).toInt()));
    }

    // Printed from what the record kept: what happens to the items later does
    // not change a reprint.
    void reprint()
    {
        const qint64 a = addItem(fx, 3, 7, QStringLiteral("1/26"), QStringLiteral("Rešenje"), 1);
        const qint64 b = addItem(fx, 5, 7, QStringLiteral("1/26-I"), QStringLiteral("Dopis"), -1);
        const qint64 c = addItem(fx, 3, 7, QStringLiteral("3/26"), QStringLiteral("Zahtev"), 0);
        const qint64 d = addItem(fx, 3, 7, QStringLiteral("4/26"), QStringLiteral("Žalba"), 1);
        THandoverAcceptance acceptance(fx.Db.Connection(), user(7), actor(7));
        for (const auto &[id, number] : {std::pair(a, "1/26"), {b, "1/26-I"}, {c, "3/26"}, {d, "4/26"}})
            QVERIFY(acceptance.Accept(id, QLatin1String(number)));
        QVERIFY(acceptance.Withdraw(d, QStringLiteral("4/26")));
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("first.pdf")), again = dir.filePath(QStringLiteral("again.pdf"));
        SaveStoredHandoverRecord(fx.Db.Connection(), acceptance.RecordID(), first);
        auto desk = fx.Db.OpenSecondConnection();
        desk->ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemtype = 'Molba', outuserid = 2 WHERE ledgeritemid = ?"), {a});
        desk->ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {c});
        desk->ExecSQL(QStringLiteral("UPDATE user SET lastname = 'Nikolić' WHERE userid = 5"));
        SaveStoredHandoverRecord(fx.Db.Connection(), acceptance.RecordID(), again);
        desk->ExecSQL(QStringLiteral("UPDATE user SET lastname = 'Petrović' WHERE userid = 5"));

        const QString text = pdfText(first);
        QVERIFY(!text.isEmpty());
        QCOMPARE(pdfText(again), text);
        for (const QString &piece : {recordTitle(1), QStringLiteral("Tip"), QStringLiteral("Ulazni"), QStringLiteral("Izlazni"),
                                     QStringLiteral("Interni"), QStringLiteral("Rešenje"), QStringLiteral("Ukupno stavki: 3"),
                                     QStringLiteral("Primalac: Milan Čubrilo")})
            QVERIFY2(text.contains(piece), qPrintable(piece));
        // A signature line for each colleague who handed items over; the head names none of several.
        QCOMPARE(text.count(QStringLiteral("Predao")), 2);
        QCOMPARE(text.count(QStringLiteral("Jelena Đorđević")) >= 3, true);
        QCOMPARE(text.count(QStringLiteral("Ana Petrović")) >= 2, true);
        QVERIFY(!text.contains(QStringLiteral("Predaje:")));
        QVERIFY(!text.contains(QStringLiteral("4/26")));
        QVERIFY(!text.contains(QStringLiteral("Molba")));

        const QList<THandoverBookEntry> listed = HandoverBookEntries(fx.Db.Connection(), QDate::currentDate().year(), 5);
        QCOMPARE(listed.size(), 1);
        QCOMPARE(listed[0].HandedOverBy.join(u','), QStringLiteral("Jelena Đorđević,Ana Petrović"));
        QCOMPARE(listed[0].ItemCount, 3);
        QCOMPARE(HandoverBookEntries(fx.Db.Connection(), QDate::currentDate().year(), 2).size(), 0);
    }

    // The history's chain head closes the paper, after the signatures.
    void chainHead_data()
    {
        QTest::addColumn<QString>("chainHead");
        QTest::newRow("none") << "";
        QTest::newRow("printed last") << "Lanac istorije: 3f2a9c0d1e4b5a67, 1204 unosa";
    }

    void chainHead()
    {
        QFETCH(QString, chainHead);
        THandoverRecord record;
        record.Title = QStringLiteral("Zapisnik 1/26");
        record.Recipient = QStringLiteral("Milan Čubrilo");
        record.HandedOverBy = {QStringLiteral("Jelena Đorđević")};
        record.Captions = LedgerProceedingCaptions();
        record.Widths = LedgerProceedingWidths();
        record.Rows = {{"Jelena Đorđević", "Milan Čubrilo", "1/26", "Ulazni", "Dopis", "27.02.2026", "BR-1", "Da"}};
        record.ChainHead = chainHead;
        QTemporaryDir dir;
        {
            QPdfWriter writer(dir.filePath(QStringLiteral("z.pdf")));
            writer.setPageLayout(HandoverRecordPageLayout());
            QVERIFY(PaintHandoverRecord(record, writer));
        }
        const QString text = pdfText(dir.filePath(QStringLiteral("z.pdf")));
        QVERIFY(text.contains(QStringLiteral("Predaje: Jelena Đorđević")));
        QCOMPARE(text.contains(QStringLiteral("Lanac istorije")), !chainHead.isEmpty());
        QVERIFY(chainHead.isEmpty() || text.indexOf(chainHead) > text.lastIndexOf(QStringLiteral("Primio")));
    }

private:
    // History entries that set accepted.
    int acceptances()
    {
        return fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM ledgerhistoryvalue WHERE columnname = 'accepted' "
                                        "AND newvalue = 'y'"))
            .toInt();
    }

    LedgerFixture fx;
};

QTEST_MAIN(TestHandover)
#include "tst_handover.moc"
