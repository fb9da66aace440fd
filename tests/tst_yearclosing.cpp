// Closing a year over a real database: the figures of a small known book,
// the database refusing every direct write into a closed year, two desks
// closing at once, a post in flight and a closing taking turns, and
// reopening with its reason, all kept in the log and at the book's end.

#include "KException.h"
#include "LedgerFixture.h"
#include "ZTransaction.h"
#include "data/ClosedYears.h"
#include "PagedReport.h"
#include "data/ClosingNote.h"
#include "data/LedgerRegisterBook.h"
#include "data/YearClosing.h"

#include <QtTest>
#include <barrier>
#include <thread>

namespace {

THistoryActor admin()
{
    return {QVariant::fromValue(qint64(1)), QStringLiteral("Ana Petrović"), QStringLiteral("pisarnica-1")};
}

QDateTime at(int year, int month = 6, int day = 15)
{
    return QDateTime(QDate(year, month, day), QTime(10, 30));
}

} // namespace

class TestYearClosing : public QObject
{
    Q_OBJECT
    LedgerFixture fx;

    // Items of 2019: incoming 1, 2 (cancelled), 4 with its enclosure 4-1
    // and a pass-on copy of 1; outgoing 1, 2, 3, 6; one incoming of 2020.
    void knownBook()
    {
        const struct
        {
            int Direction;
            const char *Number;
            bool Cancelled, Archived, Copy;
        } items[] = {{1, "1/19", false, true, false},  {1, "2/19", true, false, false},
                     {1, "4/19", false, true, false},  {1, "4/19-1", false, false, false},
                     {-1, "1/19", false, true, false}, {-1, "2/19", false, true, false},
                     {-1, "3/19", false, true, false}, {-1, "6/19", false, true, false}};
        qint64 first = 0;
        for (const auto &i : items) {
            const qint64 id = fx.AddItem({{QStringLiteral("direction"), i.Direction},
                                          {QStringLiteral("ledgerdatetime"), at(2019)},
                                          {QStringLiteral("ledgernumber"), QLatin1String(i.Number)},
                                          {QStringLiteral("cancelled"), i.Cancelled ? "y" : "n"},
                                          {QStringLiteral("archived"), i.Archived ? "y" : "n"}});
            first = first ? first : id;
        }
        fx.AddItem({{QStringLiteral("ledgerdatetime"), at(2019, 7)}, {QStringLiteral("ledgernumber"), "1/19"},
                    {QStringLiteral("archived"), "y"}, {QStringLiteral("passonparentid"), first}});
        fx.AddItem({{QStringLiteral("ledgerdatetime"), at(2020)}, {QStringLiteral("ledgernumber"), "1/20"}});
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        knownBook();
    }
    void init() { REQUIRE_TESTDB(fx.Db); }
    void cleanupTestCase() { fx.Stop(); }

    void figures_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("expected"); // items first last | cancelled | missing | enclosures copies not archived
        QTest::newRow("incoming") << 1 << "3 1/19 4/19 | 2/19 | 3/19 | 1 1 2";
        QTest::newRow("outgoing") << -1 << "4 1/19 6/19 |  | 4/19 – 5/19 | 0 0 0";
        QTest::newRow("internal") << 0 << "0   |  |  | 0 0 0";
    }
    void figures()
    {
        QFETCH(int, direction);
        QFETCH(QString, expected);
        const auto text = [direction](const TClosingFigures &figures) {
            for (const TDirectionFigures &d : figures.Directions)
                if (d.Direction == direction)
                    return QStringLiteral("%1 %2 %3 | %4 | %5 | %6 %7 %8")
                        .arg(d.Items)
                        .arg(d.FirstNumber, d.LastNumber, d.Cancelled.join(u','), d.Missing.join(u','))
                        .arg(d.Enclosures)
                        .arg(d.PassOnCopies)
                        .arg(d.NotArchived);
            return QString();
        };
        const TClosingFigures read = ReadClosingFigures(fx.Db.Connection(), 2019);
        QCOMPARE(read.TotalItems(), qint64(7));
        QCOMPARE(text(read), expected);
        // Kept with the closing as they were read.
        QCOMPARE(text(ClosingFiguresFromJson(ClosingFiguresJson(read))), expected);
    }

    void closingNoteAndLog()
    {
        TClosingFigures figures;
        QVERIFY(CloseYear(fx.Db.Connection(), 2019, admin(), &figures) == TCloseOutcome::Closed);
        QCOMPARE(figures.TotalItems(), qint64(7));
        QVERIFY(IsYearClosed(fx.Db.Connection(), 2019));
        QCOMPARE(ClosedYearRecord(fx.Db.Connection(), 2019)->Figures.TotalItems(), qint64(7));
        QVERIFY(CloseYear(fx.Db.Connection(), 2019, admin()) == TCloseOutcome::AlreadyClosed);
        const TClosingNote note = ClosedYearNote(fx.Db.Connection(), 2019);
        QVERIFY(ClosingStatement(note).startsWith(QStringLiteral("Delovodnik za 2019. godinu zaključen je ")));
        QVERIFY(ClosingStatement(note).endsWith(QStringLiteral("Pod delovodnim brojem upisano: 7 stavki. Zaključio: Ana Petrović.")));
        const QList<TYearClosingEvent> log = YearClosingLog(fx.Db.Connection(), 2019);
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].HostName, QStringLiteral("pisarnica-1"));
        const QStringList book = ClosingBookLines(fx.Db.Connection(), 2019);
        QVERIFY(book.contains(QStringLiteral("Ulazni: 3 stavke (1/19 – 4/19); stornirani: 2/19; nedostaju: 3/19; "
                                             "priloga 1, prosleđenih primeraka 1, nije arhivirano 2.")));
        QVERIFY(ClosingBookLines(fx.Db.Connection(), 2020).isEmpty());
        // The year's register book ends with them, then the history's head.
        const QStringList closing = RegisterBookReport(fx.Db.Connection(), 2019, {}).Closing;
        QCOMPARE(closing.mid(3, book.size()), book);
        QCOMPARE(closing.size(), 3 + book.size() + 1);
        QVERIFY2(closing.last().startsWith(QStringLiteral("Kontrolni zbir istorije: ")), qPrintable(closing.last()));
    }

    // Straight SQL, past the program's checks: the triggers refuse it.
    void triggersRefuseDirectWrites_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("insert") << "INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid) "
                                   "VALUES (1, '2017-03-01 09:00:00', '9/17', 'Dopis', 1)";
        QTest::newRow("update") << "UPDATE ledgeritem SET itemnumber = 'X' WHERE ledgernumber = '1/17'";
        QTest::newRow("cancel") << "UPDATE ledgeritem SET cancelled = 'y', cancelreason = 'greška' WHERE ledgernumber = '1/17'";
        QTest::newRow("moved into the year") << "UPDATE ledgeritem SET ledgerdatetime = '2017-12-31 10:00:00' "
                                                "WHERE ledgernumber = '1/16'";
        QTest::newRow("moved out of the year") << "UPDATE ledgeritem SET ledgerdatetime = '2016-12-31 10:00:00' "
                                                  "WHERE ledgernumber = '1/17'";
        QTest::newRow("delete") << "DELETE FROM ledgeritem WHERE ledgernumber = '1/17'";
    }
    void triggersRefuseDirectWrites()
    {
        QFETCH(QString, sql);
        TZConnection &c = fx.Db.Connection();
        if (!IsYearClosed(c, 2017)) {
            fx.AddItem({{QStringLiteral("ledgerdatetime"), at(2017)}, {QStringLiteral("ledgernumber"), "1/17"}});
            fx.AddItem({{QStringLiteral("ledgerdatetime"), at(2016)}, {QStringLiteral("ledgernumber"), "1/16"}});
            QVERIFY(CloseYear(c, 2017, admin()) == TCloseOutcome::Closed);
        }
        const int before = fx.Count(QStringLiteral("ledgeritem"));
        try {
            c.ExecSQL(sql);
            QFAIL("the write went through");
        } catch (const EDatabaseError &e) {
            const std::optional<int> year = ClosedYearRefusal(e);
            QVERIFY2(year.has_value(), qPrintable(e.details()));
            // MariaDB names the year, SQLite cannot.
            QCOMPARE(*year, TestDb::BackendName() == QLatin1String("sqlite") ? 0 : 2017);
            try {
                ThrowIfClosedYearRefusal(c, e, {at(2017)});
                QFAIL("not mapped");
            } catch (const KException &mapped) {
                QCOMPARE(mapped.message(), QStringLiteral("Godina 2017 je zaključena: stavke te godine se ne mogu "
                                                          "menjati, stornirati ni brisati."));
            }
        }
        QCOMPARE(fx.Count(QStringLiteral("ledgeritem")), before);
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT itemnumber FROM ledgeritem WHERE ledgernumber = '1/17'")).toString(),
                 QStringLiteral("BR-%1").arg(fx.Serial() - 1));
        // The open year next to it takes writes as before.
        c.ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemnumber = 'Y' WHERE ledgernumber = '1/16'"));
    }

    void twoDesksCloseAtOnce()
    {
        fx.AddItem({{QStringLiteral("ledgerdatetime"), at(2015)}, {QStringLiteral("ledgernumber"), "1/15"}});
        std::barrier meet(2);
        TCloseOutcome outcomes[2];
        QString errors[2];
        auto desk = [&](int k) {
            try {
                auto connection = fx.Db.OpenSecondConnection();
                meet.arrive_and_wait();
                outcomes[k] = CloseYear(*connection, 2015, admin());
            } catch (const std::exception &e) {
                errors[k] = QString::fromUtf8(e.what());
            }
        };
        std::thread a(desk, 0), b(desk, 1);
        a.join();
        b.join();
        QVERIFY2(errors[0].isEmpty() && errors[1].isEmpty(), qPrintable(errors[0] + errors[1]));
        QCOMPARE(int(outcomes[0]) + int(outcomes[1]), int(TCloseOutcome::Closed) + int(TCloseOutcome::AlreadyClosed));
        QCOMPARE(YearClosingLog(fx.Db.Connection(), 2015).size(), 1);
    }

    // A desk posting into the year while it is being closed: the closing
    // waits for the post and counts its item.
    void postInFlightAndClosingTakeTurns()
    {
        auto poster = fx.Db.OpenSecondConnection();
        TClosingFigures figures;
        QString error;
        {
            TZTransaction post(*poster);
            poster->ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, "
                                           "userid) VALUES (1, '2014-05-05 09:00:00', '1/14', 'Dopis', 1)"));
            std::thread closing([&] {
                try {
                    auto connection = fx.Db.OpenSecondConnection();
                    CloseYear(*connection, 2014, admin(), &figures);
                } catch (const std::exception &e) {
                    error = QString::fromUtf8(e.what());
                }
            });
            QThread::msleep(400);
            post.Commit();
            closing.join();
        }
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(figures.TotalItems(), qint64(1));
    }

    void reopen()
    {
        TZConnection &c = fx.Db.Connection();
        fx.AddItem({{QStringLiteral("ledgerdatetime"), at(2013)}, {QStringLiteral("ledgernumber"), "1/13"}});
        QVERIFY(CloseYear(c, 2013, admin()) == TCloseOutcome::Closed);
        QVERIFY_THROWS_EXCEPTION(KException, ReopenYear(c, 2013, QStringLiteral("   "), admin()));
        QVERIFY(IsYearClosed(c, 2013));
        ReopenYear(c, 2013, QStringLiteral("Upisana pogrešna godina na dve stavke"), admin());
        QVERIFY(!IsYearClosed(c, 2013));
        QVERIFY_THROWS_EXCEPTION(KException, ReopenYear(c, 2013, QStringLiteral("opet"), admin()));
        c.ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemnumber = 'ispravljeno' WHERE ledgernumber = '1/13'"));

        const QList<TYearClosingEvent> log = YearClosingLog(c, 2013);
        QCOMPARE(log.size(), 2);
        QCOMPARE(log[0].Reopened, false);
        QCOMPARE(log[1].Reopened, true);
        QCOMPARE(log[1].Reason, QStringLiteral("Upisana pogrešna godina na dve stavke"));
        const QStringList book = ClosingBookLines(c, 2013);
        QCOMPARE(book.last(), QStringLiteral("Godina je sada otvorena: knjiga nije konačna."));
        QVERIFY(book[3].startsWith(QStringLiteral("Ponovo otvoren ")));
        QVERIFY(book[3].endsWith(QStringLiteral(", otvorio: Ana Petrović (pisarnica-1). Razlog: Upisana pogrešna godina na dve stavke")));
        // Closed again: a second closing in the log, with the figures of now.
        QVERIFY(CloseYear(c, 2013, admin()) == TCloseOutcome::Closed);
        QCOMPARE(YearClosingLog(c, 2013).size(), 3);
    }

    void refusesClerks()
    {
        TUserDesc clerk;
        QVERIFY_THROWS_EXCEPTION(KException, CheckYearClosingAllowed(clerk));
        TUserDesc administrator;
        administrator.Administrator = true;
        CheckYearClosingAllowed(administrator);
    }
};

QTEST_MAIN(TestYearClosing)
#include "tst_yearclosing.moc"
