// Accepting handed-over items into a kept record over a real database: rows
// another desk changed meanwhile are skipped and named, withdrawals, record
// numbers per year from two desks, and the chain head on the printed record.

#include "HandoverFixture.h"
#include "data/HandoverAcceptance.h"
#include "data/HandoverRecord.h"
#include "data/LedgerProceedingReport.h"

#include <QPdfWriter>
#include <barrier>
#include <thread>
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

    // The history's chain head closes the paper, after the signatures.
    void chainHead()
    {
        THandoverRecord record;
        record.Title = QStringLiteral("Zapisnik 1/26");
        record.HandedOverBy = {QStringLiteral("Jelena Đorđević")};
        record.Captions = LedgerProceedingCaptions();
        record.Widths = LedgerProceedingWidths();
        record.ChainHead = QStringLiteral("Lanac istorije: 3f2a9c0d1e4b5a67, 1204 unosa");
        QTemporaryDir dir;
        {
            QPdfWriter writer(dir.filePath(QStringLiteral("z.pdf")));
            writer.setPageLayout(HandoverRecordPageLayout());
            QVERIFY(PaintHandoverRecord(record, writer));
        }
        const QString text = pdfText(dir.filePath(QStringLiteral("z.pdf")));
        QVERIFY(text.contains(QStringLiteral("Predaje: Jelena Đorđević")));
        QVERIFY(text.indexOf(record.ChainHead) > text.lastIndexOf(QStringLiteral("Primio")));
    }

    // Two desks make the year's first records at the same moment: two numbers.
    void recordNumbersAtOnce()
    {
        const qint64 items[] = {addItem(fx, 3, 7, QStringLiteral("1/26")), addItem(fx, 5, 3, QStringLiteral("2/26"))};
        std::barrier meet(2);
        QString errors[2];
        auto desk = [&](int k) {
            try {
                auto connection = fx.Db.OpenSecondConnection();
                THandoverAcceptance acceptance(*connection, user(k ? 3 : 7), actor(k ? 3 : 7));
                meet.arrive_and_wait();
                if (!acceptance.Accept(items[k], QStringLiteral("%1/26").arg(k + 1)))
                    errors[k] = HandoverSkipMessage(acceptance.TakeSkipped());
            } catch (const std::exception &e) {
                errors[k] = QString::fromUtf8(e.what());
            }
        };
        std::thread a(desk, 0), b(desk, 1);
        a.join();
        b.join();
        QVERIFY2(errors[0].isEmpty() && errors[1].isEmpty(), qPrintable(errors[0] + errors[1]));
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT COUNT(DISTINCT number) FROM handoverrecord")).toInt(), 2);
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT MAX(number) FROM handoverrecord")).toInt(), 2);
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
