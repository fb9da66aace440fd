// An item's number carries its date's year: the rule itself, the post that
// breaks it refused with the edit kept, a pass-on copy exempt, the detail
// form renumbering on a date moved to another year, and a date more than a
// day ahead asked about.

#include "Clock.h"
#include "DatasetTestUtil.h"
#include "KException.h"
#include "integration/GlobalConsole.h"
#include "LedgerFixture.h"
#include "StornoFixture.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerYearRule.h"
#include "screens/LedgerDetailUnit.h"

#include <QAction>
#include <QtTest>

class TestNumberYear : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
    }
    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        GlobalConsole = fx.Console;
    }
    void cleanupTestCase() { fx.Stop(); }

    void rule_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("fits");
        QTest::newRow("its year") << "12/26" << QDate(2026, 5, 1) << true;
        QTest::newRow("enclosure") << "12/26-3" << QDate(2026, 5, 1) << true;
        QTest::newRow("blanks and zeros") << " 012 / 26 " << QDate(2026, 12, 31) << true;
        QTest::newRow("new year's day") << "1/27" << QDate(2027, 1, 1) << true;
        QTest::newRow("last year's number") << "12/25" << QDate(2026, 1, 2) << false;
        QTest::newRow("next year's number") << "1/27" << QDate(2026, 12, 31) << false;
        QTest::newRow("no year") << "12" << QDate(2026, 5, 1) << false;
        QTest::newRow("four digits") << "12/2026" << QDate(2026, 5, 1) << false;
    }
    void rule()
    {
        QFETCH(QString, number);
        QFETCH(QDate, date);
        QFETCH(bool, fits);
        QCOMPARE(NumberYearRefusal(number, QDateTime(date, QTime(10, 0))).isEmpty(), fits);
    }

    void postChecksYear_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("passOn");
        QTest::addColumn<QString>("refused");
        QTest::newRow("its year") << "901/26" << false << "";
        QTest::newRow("another year") << "902/25" << false
                                      << "Delovodni broj 902/25 ne nosi godinu datuma 10.06.2026: broj stavke iz 2026. "
                                         "godine završava se na /26.";
        QTest::newRow("pass-on copy keeps its origin's") << "903/25" << true << "";
    }
    void postChecksYear()
    {
        QFETCH(QString, number);
        QFETCH(bool, passOn);
        QFETCH(QString, refused);
        TClock::TFixed clock(QDateTime(QDate(2026, 6, 10), QTime(12, 0)));
        auto items = LedgerDM->NewLedgerItems();
        items->ShowCondition(QStringLiteral("l.ledgeritemid = -1"));
        TZQuery &q = *items->LedgerItemZQ;
        q.Append();
        items->LedgerItemZQledgernumber->SetAsString(number);
        items->LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
        if (passOn)
            items->LedgerItemZQpassonparentid->SetAsLargeInt(storno::addOwnItem(fx));
        QString message;
        try {
            q.Post();
        } catch (const KException &e) {
            message = e.message();
        }
        QCOMPARE(message, refused);
        QCOMPARE(q.State(), refused.isEmpty() ? TDataSetState::Browse : TDataSetState::Insert);
        QCOMPARE(items->LedgerItemZQledgernumber->AsString(), number); // the edit is kept
        QCOMPARE(dst::countItems(fx.Db.Connection(), QStringLiteral("ledgernumber = ?"), {number}), refused.isEmpty() ? 1 : 0);
    }

    // An older item that breaks the rule is still changed in other columns.
    void olderItemStillEdits()
    {
        const qint64 id = fx.AddItem({{QStringLiteral("ledgernumber"), QStringLiteral("904/19")}});
        auto items = LedgerFixture::OpenItem(id);
        items->LedgerItemZQ->Edit();
        items->LedgerItemZQitemnumber->SetAsString(QStringLiteral("N-1"));
        items->LedgerItemZQ->Post();
        QCOMPARE(fx.Cell(id, QStringLiteral("itemnumber")), QStringLiteral("N-1"));
    }

    void formRenumbersOnDate_data()
    {
        QTest::addColumn<QList<QDateTime>>("dates"); // chosen one after another
        QTest::addColumn<QString>("number");         // %1: the stored number
        const int year = QDate::currentDate().year();
        QTest::newRow("same year") << QList<QDateTime>{QDateTime(QDate(year, 2, 3), QTime(8, 0))} << "%1";
        QTest::newRow("another year") << QList<QDateTime>{QDateTime(QDate(2031, 2, 3), QTime(8, 0))} << "1/31";
        QTest::newRow("and back") << QList<QDateTime>{QDateTime(QDate(2031, 2, 3), QTime(8, 0)),
                                                       QDateTime(QDate(year, 2, 3), QTime(8, 0))}
                                  << "%1";
    }
    void formRenumbersOnDate()
    {
        QFETCH(QList<QDateTime>, dates);
        QFETCH(QString, number);
        fx.LoginAs(QStringLiteral("ana"));
        const qint64 id = storno::addOwnItem(fx);
        const QString stored = fx.Cell(id, QStringLiteral("ledgernumber"));
        DetailFormOn on(id);
        for (const QDateTime &d : dates) {
            on.dialogs->DateTimeAnswers.push_back(d);
            on.form.DateTimeAction->trigger();
        }
        QCOMPARE(on.items().LedgerItemZQledgernumber->AsString(), number.arg(stored));
        on.items().LedgerItemZQ->Cancel();
    }

    void futureDateAsks_data()
    {
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("stored");
        QTest::newRow("two days ahead, Da") << QDateTime(QDate(2026, 6, 12), QTime(12, 0)) << int(mbYes) << true << true;
        QTest::newRow("two days ahead, Ne") << QDateTime(QDate(2026, 6, 12), QTime(12, 0)) << int(mbNo) << true << false;
        QTest::newRow("within a day") << QDateTime(QDate(2026, 6, 11), QTime(8, 0)) << int(mbNo) << false << true;
        QTest::newRow("yesterday") << QDateTime(QDate(2026, 6, 9), QTime(8, 0)) << int(mbNo) << false << true;
    }
    void futureDateAsks()
    {
        QFETCH(QDateTime, date);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, stored);
        TClock::TFixed clock(QDateTime(QDate(2026, 6, 10), QTime(12, 0)));
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers = {TModalResult(answer)};
        auto items = LedgerDM->NewLedgerItems();
        items->ShowCondition(QStringLiteral("l.ledgeritemid = -1"));
        TZQuery &q = *items->LedgerItemZQ;
        q.Append();
        items->LedgerItemZQledgerdatetime->SetAsDateTime(date);
        items->LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
        const QString number = items->LedgerItemZQledgernumber->AsString();
        bool aborted = false;
        try {
            q.Post();
        } catch (const EAbort &) {
            aborted = true;
        }
        QCOMPARE(dialogs->Messages.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(dialogs->Messages.first().Text,
                     QStringLiteral("Datum 12.06.2026 12:00 je više od jednog dana posle današnjeg.\n"
                                    "Sačuvati stavku sa tim datumom?"));
            QCOMPARE(dialogs->Messages.first().Buttons, TMsgDlgButtons(mbYes | mbNo | mbDefaultNo));
        }
        QCOMPARE(aborted, !stored);
        QCOMPARE(q.State(), stored ? TDataSetState::Browse : TDataSetState::Insert);
        QCOMPARE(dst::countItems(fx.Db.Connection(), QStringLiteral("ledgernumber = ? AND direction = 1"), {number}),
                 stored ? 1 : 0);
        if (stored) // the numbers of 2026 stay free for the rows after
            fx.Db.Connection().ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgernumber = ? AND direction = 1"),
                                       {number});
    }

private:
    LedgerFixture fx;
};

QTEST_MAIN(TestNumberYear)
#include "tst_numberyear.moc"
