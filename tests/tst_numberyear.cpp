// A number carries its date's year: the rule, a post that breaks it refused
// with the edit kept (a pass-on copy and an older item's other columns
// exempt), the form renumbering on a date moved to another year, and a date
// more than a day ahead asked about.

#include "Clock.h"
#include "DatasetTestUtil.h"
#include "KException.h"
#include "StornoFixture.h"
#include "integration/GlobalConsole.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerYearRule.h"

#include <QAction>
#include <QtTest>

using storno::refusal;

class TestNumberYear : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { REQUIRE_TESTDB(fx.Db); fx.Start(QStringLiteral("ana")); }
    void init() { REQUIRE_TESTDB(fx.Db); GlobalConsole = fx.Console; }
    void cleanupTestCase() { fx.Stop(); }

    void rule_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("fits");
        QTest::newRow("its year") << "12/26" << QDate(2026, 5, 1) << true;
        QTest::newRow("enclosure") << "12/26-3" << QDate(2026, 5, 1) << true;
        QTest::newRow("blanks and zeros") << " 012 / 26 " << QDate(2026, 12, 31) << true;
        QTest::newRow("last year's") << "12/25" << QDate(2026, 1, 2) << false;
        QTest::newRow("next year's") << "1/27" << QDate(2026, 12, 31) << false;
        QTest::newRow("no year") << "12" << QDate(2026, 5, 1) << false;
        QTest::newRow("four digits") << "12/2026" << QDate(2026, 5, 1) << false;
    }
    void rule()
    {
        QFETCH(QString, number); QFETCH(QDate, date); QFETCH(bool, fits);
        QCOMPARE(NumberYearRefusal(number, QDateTime(date, QTime(10, 0))).isEmpty(), fits);
    }

    void post_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("passOn"); // a new pass-on copy, or an older item's other column
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<int>("answer");     // to the question about a date ahead
        QTest::addColumn<QString>("refused"); // "?": the question was answered Ne
        const QDateTime june10(QDate(2026, 6, 10), QTime(9, 0));
        QTest::newRow("its year") << "901/26" << "" << june10 << 0 << "";
        QTest::newRow("another year") << "902/25" << "" << june10 << 0
                                      << "Delovodni broj 902/25 ne nosi godinu datuma 10.06.2026: broj stavke iz 2026. "
                                         "godine završava se na /26.";
        QTest::newRow("pass-on copy") << "903/25" << "copy" << june10 << 0 << "";
        QTest::newRow("older item, other column") << "904/19" << "older" << june10 << 0 << "";
        QTest::newRow("in 20 hours") << "905/26" << "" << june10.addSecs(20 * 3600) << 0 << "";
        QTest::newRow("two days ahead, Da") << "906/26" << "" << june10.addDays(2) << int(mbYes) << "";
        QTest::newRow("two days ahead, Ne") << "907/26" << "" << june10.addDays(2) << int(mbNo) << "?";
    }
    void post()
    {
        QFETCH(QString, number); QFETCH(QString, passOn); QFETCH(QDateTime, date); QFETCH(int, answer); QFETCH(QString, refused);
        TClock::TFixed clock(QDateTime(QDate(2026, 6, 10), QTime(12, 0)));
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers = {answer};
        auto items = LedgerDM->NewLedgerItems();
        TZQuery &q = *items->LedgerItemZQ;
        if (passOn == QLatin1String("older")) {
            items->OpenItem(fx.AddItem({{QStringLiteral("ledgernumber"), number}}));
            q.Edit();
            items->LedgerItemZQitemnumber->SetAsString(QStringLiteral("N-1"));
        } else {
            items->ShowCondition(QStringLiteral("l.ledgeritemid = -1"));
            q.Append();
            items->LedgerItemZQledgerdatetime->SetAsDateTime(date);
            items->LedgerItemZQledgernumber->SetAsString(number);
            items->LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
            if (passOn == QLatin1String("copy"))
                items->LedgerItemZQpassonparentid->SetAsLargeInt(storno::addOwnItem(fx));
        }
        bool aborted = false;
        const QString message = refusal([&] {
            try {
                q.Post();
            } catch (const EAbort &) {
                aborted = true;
            }
        });
        QCOMPARE(aborted ? QStringLiteral("?") : message, refused);
        QCOMPARE(dialogs->Messages.size(), answer ? 1 : 0);
        if (answer)
            QCOMPARE(dialogs->Messages.first().Text, QStringLiteral("Datum 12.06.2026 09:00 je više od jednog dana posle "
                                                                    "današnjeg.\nSačuvati stavku sa tim datumom?"));
        QCOMPARE(dialogs->Messages.value(0).Buttons, answer ? TMsgDlgButtons(mbYes | mbNo | mbDefaultNo) : 0);
        QCOMPARE(items->LedgerItemZQledgernumber->AsString(), number); // the edit is kept
        QCOMPARE(q.State() == TDataSetState::Browse, refused.isEmpty());
        QCOMPARE(dst::countItems(fx.Db.Connection(), QStringLiteral("ledgernumber = ?"), {number}), refused.isEmpty() ? 1 : 0);
    }

    void formRenumbersOnDate_data()
    {
        QTest::addColumn<QList<QDateTime>>("dates"); // chosen one after another
        QTest::addColumn<QString>("number");         // %1: the stored number
        const QDateTime thisYear(QDate(QDate::currentDate().year(), 2, 3), QTime(8, 0));
        const QDateTime in2031(QDate(2031, 2, 3), QTime(8, 0));
        QTest::newRow("same year") << QList<QDateTime>{thisYear} << "%1";
        QTest::newRow("another year") << QList<QDateTime>{in2031} << "1/31";
        QTest::newRow("and back") << QList<QDateTime>{in2031, thisYear} << "%1";
    }
    void formRenumbersOnDate()
    {
        QFETCH(QList<QDateTime>, dates); QFETCH(QString, number);
        const qint64 id = storno::addOwnItem(fx);
        DetailFormOn on(id);
        for (const QDateTime &d : dates) {
            on.dialogs->DateTimeAnswers.push_back(d);
            on.form.DateTimeAction->trigger();
        }
        QCOMPARE(on.items().LedgerItemZQledgernumber->AsString(), number.arg(fx.Cell(id, QStringLiteral("ledgernumber"))));
        on.items().LedgerItemZQ->Cancel();
    }

private:
    LedgerFixture fx;
};

QTEST_MAIN(TestNumberYear)
#include "tst_numberyear.moc"
