// Every way the module writes an item, after the item's year was closed:
// the edit form's post, a cancellation, accepting in the handover record,
// deleting, copying and a new item dated in that year are refused with the
// year's message before anything is written; a pass-on and an enclosure go
// into the open year instead. And the list's actions: a clerk is refused,
// an administrator closes a year in the dialog and prints its note.

#include "KException.h"
#include "LedgerFixture.h"
#include "Screenshot.h"
#include "data/ClosedYears.h"
#include "data/LedgerDMUnit.h"
#include "data/YearClosing.h"
#include "screens/LedgerDetailUnit.h"
#include "screens/ProceedingUnit.h"
#include "screens/ReopenYearDialog.h"
#include "screens/YearClosingActions.h"
#include "screens/YearClosingDialog.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QString kClosed2018 =
    QStringLiteral("Godina 2018 je zaključena: stavke te godine se ne mogu menjati, stornirati ni brisati.");

} // namespace

class TestClosedYearWrites : public QObject
{
    Q_OBJECT
    LedgerFixture fx;
    QList<qint64> m_notAccepted, m_accepted; // items of 2018 for the cases
    qint64 m_forStorno = 0;

    // An item of 2018 meant for Jelena, accepted or not.
    qint64 itemOf2018(bool accepted = false)
    {
        return fx.AddItem({{QStringLiteral("ledgerdatetime"), QDateTime(QDate(2018, 11, 20), QTime(9, 0))},
                           {QStringLiteral("ledgernumber"), QStringLiteral("%1/18").arg(fx.Serial() + 1)},
                           {QStringLiteral("outuserid"), fx.UserId(QStringLiteral("jelena"))},
                           {QStringLiteral("accepted"), accepted ? "y" : "n"}});
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        fx.Db.Connection().ExecSQL(QStringLiteral("UPDATE user SET role = 'a' WHERE login = 'ana'"));
        fx.LoginAs(QStringLiteral("jelena"));
        fx.LoginAs(QStringLiteral("ana")); // again, now as administrator
        // Made while the year is open: afterwards nothing can be added to it.
        for (int i = 0; i < 6; ++i)
            m_notAccepted << itemOf2018();
        for (int i = 0; i < 2; ++i)
            m_accepted << itemOf2018(true);
        m_forStorno = itemOf2018();
        QVERIFY(CloseYear(fx.Db.Connection(), 2018, LedgerDM->HistoryActor()) == TCloseOutcome::Closed);
    }
    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.LoginAs(QStringLiteral("ana"));
    }
    void cleanupTestCase() { fx.Stop(); }

    void refusedBeforeAnyWrite_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("form post") << "post";
        QTest::newRow("storno") << "cancel";
        QTest::newRow("delete") << "delete";
        QTest::newRow("copy") << "copy";
        QTest::newRow("new item dated in the year") << "new";
        QTest::newRow("accept in the handover") << "accept";
    }
    void refusedBeforeAnyWrite()
    {
        QFETCH(QString, path);
        const qint64 id = m_notAccepted.takeFirst();
        const QVariantList before = fx.Row(id);
        const int items = fx.ItemCount();
        ScopedScriptedDialogs dialogs;
        if (path == QLatin1String("accept")) {
            fx.LoginAs(QStringLiteral("jelena"));
            dialogs->MessageAnswers.push_back(mbYes);
            TProceedingForm form(nullptr);
            form.AcceptAllButton->click();
            // Asked, then every row of 2018 named with its closed year (the
            // sample book's open-year item is accepted).
            QCOMPARE(dialogs->Messages.size(), 2);
            QCOMPARE(dialogs->Messages[1].Text,
                     QStringLiteral("Nisu prihvaćene: 1/18 (godina 2018 je zaključena), 2/18 (godina 2018 je zaključena), "
                                    "3/18 (godina 2018 je zaključena), 4/18 (godina 2018 je zaključena), 5/18 (godina "
                                    "2018 je zaključena), 6/18 (godina 2018 je zaključena), 9/18 (godina 2018 je zaključena)"));
        } else {
            auto set = LedgerFixture::OpenItem(id);
            TZQuery &q = *set->LedgerItemZQ;
            QString message;
            try {
                if (path == QLatin1String("post") || path == QLatin1String("cancel")) {
                    q.Edit();
                    (path == QLatin1String("post") ? set->LedgerItemZQitemnumber : set->LedgerItemZQcancelreason)
                        ->SetAsString(QStringLiteral("izmena"));
                    set->LedgerItemZQcancelled->SetAsBoolean(path == QLatin1String("cancel"));
                    q.Post();
                } else if (path == QLatin1String("delete")) {
                    q.Delete();
                } else if (path == QLatin1String("copy")) {
                    LedgerDM->CopyLedgerItem(int(id), {QStringLiteral("itemnumber=NULL")});
                } else {
                    q.Append();
                    set->LedgerItemZQledgerdatetime->SetAsDateTime(QDateTime(QDate(2018, 12, 31), QTime(12, 0)));
                    set->LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
                    q.Post();
                }
            } catch (const KException &e) {
                message = e.message();
            }
            QCOMPARE(message, kClosed2018);
            // No question first, and the edit stays for the user.
            QVERIFY(dialogs->Messages.isEmpty());
            if (path == QLatin1String("post"))
                QCOMPARE(set->LedgerItemZQitemnumber->AsString(), QStringLiteral("izmena"));
            QCOMPARE(q.State() != TDataSetState::Browse, path == QLatin1String("post") || path == QLatin1String("cancel")
                                                             || path == QLatin1String("new"));
        }
        QCOMPARE(fx.Row(id), before);
        QCOMPARE(fx.ItemCount(), items);
    }

    // A pass-on copy is dated now; an enclosure is registered now under a
    // number of this year, still linked to its item.
    void intoTheOpenYear_data()
    {
        QTest::addColumn<bool>("passOn");
        QTest::newRow("pass-on") << true;
        QTest::newRow("enclosure") << false;
    }
    void intoTheOpenYear()
    {
        QFETCH(bool, passOn);
        fx.LoginAs(QStringLiteral("jelena"));
        const qint64 id = m_accepted.takeFirst();
        const QVariantList before = fx.Row(id);
        const int newID = passOn ? LedgerDM->PassOnLedgerItem(int(id), int(fx.UserId(QStringLiteral("jelena")))).value_or(0)
                                 : LedgerDM->AddAdditionalItem(int(id));
        QVERIFY(newID > 0);
        QCOMPARE(fx.Row(id), before);
        const int year = QDate::currentDate().year();
        QCOMPARE(fx.Cell(newID, QStringLiteral("ledgerdatetime")).left(4), QString::number(year));
        const QString number = fx.Cell(newID, QStringLiteral("ledgernumber"));
        if (passOn) {
            QCOMPARE(number, fx.Cell(id, QStringLiteral("ledgernumber")));
        } else {
            QVERIFY2(number.endsWith(QStringLiteral("/%1").arg(year % 100, 2, 10, QLatin1Char('0'))), qPrintable(number));
            QVERIFY(!number.contains(u'-'));
            QCOMPARE(fx.Cell(newID, QStringLiteral("parentid")), QString::number(id));
        }
    }

    // Storno of a closed year's item is refused before a reason is asked for.
    void stornoRefusedBeforeTheReason()
    {
        DetailFormOn on(m_forStorno);
        on.form.UpdateActions();
        on.form.CancelItemAction->trigger();
        QCOMPARE(on.dialogs->ModalCount, 0);
        QCOMPARE(on.dialogs->Messages.value(0).Text,
                 QStringLiteral("Godina 2018 je zaključena: stavke te godine se ne mogu menjati, stornirati ni brisati."));
        QCOMPARE(fx.Cell(m_forStorno, QStringLiteral("cancelled")), QStringLiteral("n"));
    }

    void clerkIsRefused()
    {
        fx.LoginAs(QStringLiteral("marko"));
        ScopedScriptedDialogs dialogs;
        QVERIFY_THROWS_EXCEPTION(KException, YearClosingActionExecute(nullptr));
        QVERIFY_THROWS_EXCEPTION(KException, ReopenYearActionExecute(nullptr));
        QCOMPARE(dialogs->ModalCount, 0);
    }

    // scripts/screenshot.sh DIR closing: the dialog with the draft of 2016's
    // note, and the note printed after the closing.
    void administratorClosesInTheDialog()
    {
        for (const char *number : {"1/16", "2/16", "4/16"})
            fx.AddItem({{QStringLiteral("ledgerdatetime"), QDateTime(QDate(2016, 3, 1), QTime(8, 0))},
                        {QStringLiteral("ledgernumber"), QLatin1String(number)}});
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers = {mbYes, mbYes};
        QStringList shown;
        dialogs->ModalHandlers.push_back([&](QDialog &d) {
            auto &dialog = static_cast<TYearClosingDialog &>(d);
            dialog.YearEdit->setValue(2016);
            dialog.ShowButton->click();
            for (int i = 0; i < dialog.FiguresTree->topLevelItemCount(); ++i)
                shown << dialog.FiguresTree->topLevelItem(i)->text(1); // incoming
            SaveScreenshot(dialog, QStringLiteral("zakljucenje.png"));
            dialog.CloseYearButton->click();
            return int(QDialog::Accepted);
        });
        const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR");
        dialogs->PreviewHandlers.push_back([&](QPrinter &, const std::function<void(QPrinter &)> &) {});
        YearClosingActionExecute(nullptr);
        QCOMPARE(shown, (QStringList{"3", "1/16 – 4/16", "nema", "3/16", "0", "0", "3"}));
        QVERIFY(IsYearClosed(fx.Db.Connection(), 2016));
        QCOMPARE(dialogs->Previews.size(), 1);
        if (!dir.isEmpty())
            SaveClosingNotePdf(ClosedYearNote(fx.Db.Connection(), 2016), QDir(dir).filePath(QStringLiteral("zakljucak.pdf")));
    }

    void administratorReopens()
    {
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers = {mbOK, mbYes, mbOK};
        dialogs->ModalHandlers.push_back([](QDialog &d) {
            auto &dialog = static_cast<TReopenYearDialog &>(d);
            dialog.YearCombo->setCurrentText(QStringLiteral("2018"));
            d.accept(); // blank reason: stays open
            dialog.ReasonEdit->setPlainText(QStringLiteral("Ispravka datuma"));
            d.accept();
            return d.result();
        });
        ReopenYearActionExecute(nullptr);
        QCOMPARE(dialogs->Messages.size(), 3);
        QCOMPARE(dialogs->Messages[0].Text, QStringLiteral("Upišite razlog zbog kog se godina ponovo otvara."));
        QVERIFY(!IsYearClosed(fx.Db.Connection(), 2018));
        // Writable again.
        auto set = LedgerFixture::OpenItem(itemOf2018());
        set->LedgerItemZQ->Edit();
        set->LedgerItemZQitemnumber->SetAsString(QStringLiteral("posle otvaranja"));
        set->LedgerItemZQ->Post();
    }

};

QTEST_MAIN(TestClosedYearWrites)
#include "tst_closedyearwrites.moc"
