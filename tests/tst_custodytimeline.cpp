// The page "Istorija" of the detail form and the custody timeline it opens.

#include "LedgerFixture.h"
#include "LockedTables.h"
#include "ServerWait.h"
#include "ZQuery.h"
#include "data/LedgerCustody.h"
#include "data/LedgerDMUnit.h"
#include "screens/CustodyTimelineDialog.h"
#include "screens/LedgerHistoryPage.h"

#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

class TestCustodyTimeline : public QObject
{
    Q_OBJECT
    LedgerFixture fx;
    qint64 m_origin = 0, m_first = 0, m_second = 0;

    // As the handover record does: the recipient marks the item accepted.
    void accept(qint64 id, const QString &login)
    {
        fx.LoginAs(login);
        auto items = LedgerFixture::OpenItem(id);
        items->LedgerItemZQ->Edit();
        items->LedgerItemZQaccepted->SetAsBoolean(true);
        items->LedgerItemZQ->Post();
    }
    void handTo(qint64 id, const QString &login)
    {
        auto items = LedgerFixture::OpenItem(id);
        items->LedgerItemZQ->Edit();
        items->LedgerItemZQoutuserid->SetAsLargeInt(fx.UserId(login));
        items->LedgerItemZQ->Post();
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        // Ana registers an item with an enclosure for Jelena, who passes it
        // on to Marko, who passes it on again.
        m_origin = fx.AddItem({{QStringLiteral("outuserid"), fx.UserId(QStringLiteral("jelena"))}});
        LedgerDM->AddAdditionalItem(int(m_origin));
        accept(m_origin, QStringLiteral("jelena"));
        m_first = *LedgerDM->PassOnLedgerItem(int(m_origin), int(fx.UserId(QStringLiteral("jelena"))));
        handTo(m_first, QStringLiteral("marko"));
        accept(m_first, QStringLiteral("marko"));
        m_second = *LedgerDM->PassOnLedgerItem(int(m_first), int(fx.UserId(QStringLiteral("marko"))));
    }
    void cleanupTestCase() { fx.Stop(); }

    void chainInOrderFromAnyStep_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("from the origin") << 0;
        QTest::newRow("from the newest copy") << 2;
    }
    void chainInOrderFromAnyStep()
    {
        QFETCH(int, step);
        const TCustodyChain chain = LedgerCustody(fx.Db.Connection(), QList<qint64>{m_origin, m_first, m_second}[step]);
        QCOMPARE(chain.Steps.size(), 3);
        QCOMPARE(chain.Steps[0].ItemID, m_origin);
        QCOMPARE(chain.Steps[1].ItemID, m_first);
        QCOMPARE(chain.Steps[2].ItemID, m_second);
        QCOMPARE(chain.Steps[0].Enclosures.size(), 1);
        QCOMPARE(chain.Steps[0].RegisteredBy, QStringLiteral("Ana Petrović"));
        QCOMPARE(chain.Steps[0].MeantFor, QStringLiteral("Jelena Đorđević"));
        QCOMPARE(chain.Steps[0].AcceptedBy, QStringLiteral("Jelena Đorđević"));
        QCOMPARE(chain.Steps[1].RegisteredBy, QStringLiteral("Jelena Đorđević"));
        QCOMPARE(chain.Steps[1].AcceptedBy, QStringLiteral("Marko Jovanović"));
        QVERIFY(chain.Steps[0].AcceptedAt.isValid() && chain.Steps[1].AcceptedAt >= chain.Steps[0].AcceptedAt);
        QVERIFY(!chain.Steps[2].Accepted && !chain.Steps[2].AcceptedAt.isValid());
        QCOMPARE(chain.Holder, QStringLiteral("Stavka je sada kod: Marko Jovanović"));
    }

    void historyPageOpensThePrintableTimeline()
    {
        fx.LoginAs(QStringLiteral("ana"));
        DetailFormOn on(m_first);
        on.form.PageControl->setCurrentWidget(on.form.HistoryTS);
        const QListWidget *list = on.form.HistoryTS->HistoryList;
        // Newest first: Marko accepted, Jelena named him, Jelena registered the copy.
        QCOMPARE(list->count(), 3);
        QVERIFY(list->item(0)->text().endsWith(QStringLiteral(" · Marko Jovanović · Prihvaćen: Ne → Da")));
        QVERIFY(list->item(1)->text().endsWith(QStringLiteral(" · Jelena Đorđević · Namenjeno: — → Marko Jovanović")));
        QVERIFY(list->item(2)->text().contains(QStringLiteral("Zavedeno kao T1/00, predato iz T1/00")));
        int steps = -1;
        on.dialogs->ModalHandlers.push_back([&steps](QDialog &d) {
            auto &timeline = dynamic_cast<TCustodyTimelineDialog &>(d);
            steps = timeline.StepsTree->topLevelItemCount();
            timeline.PrintButton->click();
            return int(QDialog::Accepted);
        });
        on.form.HistoryTS->CustodyButton->click();
        QCOMPARE(steps, 3);
        QCOMPARE(on.dialogs->Previews, QStringList{QStringLiteral("Tok predaje")});
    }

    // The history and the timeline read off this thread; a cancel while they
    // wait for the database shows no timeline and leaves the page saying so.
    void readsCancelledWhileWaiting()
    {
        fx.LoginAs(QStringLiteral("ana"));
        DetailFormOn on(m_first);
        {
            LockedTables locked(fx.Db, {QStringLiteral("ledgeritem"), QStringLiteral("ledgerhistory"),
                                        QStringLiteral("ledgerhistoryvalue")});
            ScopedCancellingDialogs dialogs(locked);
            on.form.PageControl->setCurrentWidget(on.form.HistoryTS);
            QCOMPARE(dialogs->Waits(), 1);
            QCOMPARE(on.form.HistoryTS->HistoryList->count(), 0);
            QCOMPARE(on.form.HistoryTS->EmptyLabel->text(), LoadCancelledText);
            QVERIFY(!on.form.HistoryTS->EmptyLabel->isHidden());
        }
        {
            LockedTables locked(fx.Db, {QStringLiteral("ledgeritem"), QStringLiteral("ledgerhistory"),
                                        QStringLiteral("ledgerhistoryvalue")});
            ScopedCancellingDialogs dialogs(locked);
            on.form.HistoryTS->CustodyButton->click();
            QCOMPARE(dialogs->Waits(), 1);
            QCOMPARE(dialogs->ModalCount, 0);
            QCOMPARE(dialogs->Notices, QStringList{LoadCancelledText});
            QVERIFY(dialogs->Messages.isEmpty());
        }
        // Read again, all of it is there.
        on.form.HistoryTS->Load(fx.Db.Connection(), m_first);
        QCOMPARE(on.form.HistoryTS->HistoryList->count(), 3);
        QVERIFY(on.form.HistoryTS->EmptyLabel->isHidden());
        QCOMPARE(LedgerCustody(fx.Db.Connection(), m_first).Steps.size(), 3);
    }

    void sampleBookHasAChainOfCustody()
    {
        const qint64 newest = fx.Scalar(QStringLiteral("SELECT MAX(c.ledgeritemid) FROM ledgeritem AS c JOIN ledgeritem AS p "
                                                       "ON p.ledgeritemid = c.passonparentid WHERE p.passonparentid IS NOT NULL "
                                                       "AND c.ledgeritemid < ?"),
                                        {m_origin})
                                  .toLongLong();
        const TCustodyChain chain = LedgerCustody(fx.Db.Connection(), newest);
        QCOMPARE(chain.Steps.size(), 3);
        QVERIFY(!chain.Steps[0].Enclosures.isEmpty());
        for (const TCustodyStep &step : chain.Steps)
            QVERIFY(step.AcceptedAt.isValid());
        // With KLEDGER_SCREENSHOT_DIR set: istorija.png, tok-predaje.png and tok-predaje.pdf.
        const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR");
        if (dir.isEmpty())
            return;
        fx.LoginAs(QStringLiteral("ana"));
        DetailFormOn on(chain.Steps[1].ItemID);
        on.form.PageControl->setCurrentWidget(on.form.HistoryTS);
        QVERIFY(QTest::qWaitForWindowExposed(&on.form));
        QVERIFY(on.form.grab().save(dir + QStringLiteral("/istorija.png")));
        on.dialogs->ModalHandlers.push_back([&dir](QDialog &d) {
            d.show();
            (void)QTest::qWaitForWindowExposed(&d);
            d.grab().save(dir + QStringLiteral("/tok-predaje.png"));
            dynamic_cast<TCustodyTimelineDialog &>(d).PrintButton->click();
            return int(QDialog::Accepted);
        });
        on.dialogs->PreviewHandlers.push_back([&dir](QPrinter &printer, const std::function<void(QPrinter &)> &paint) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir + QStringLiteral("/tok-predaje.pdf"));
            paint(printer);
        });
        on.form.HistoryTS->CustodyButton->click();
    }
};

QTEST_MAIN(TestCustodyTimeline)
#include "tst_custodytimeline.moc"
