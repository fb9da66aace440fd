// The list keeps its own rows while other windows work on theirs: after an
// enclosure, a pass-on, a link, an edit or the handover record the list
// shows the same items in the same order on the same current row, the
// changed item as stored, and a new item that meets its condition in its
// sorted place.

#include "LedgerFixture.h"
#include "TestConsole.h"
#include "ZQuery.h"
#include "DBControls.h"
#include "data/LedgerDMUnit.h"
#include "integration/GlobalConsole.h"
#include "screens/GetLedgerUnit.h"
#include "screens/LedgerNavigatorUnit.h"
#include "screens/LedgerViewerUnit.h"
#include "screens/ProceedingUnit.h"
#include "ValueListEditor.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestListKeepsRows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("jelena"));
        m_ledger = IRef<RecordingLedger>(new RecordingLedger);
        m_console = IRef<TConsole>(new TConsole);
        m_console->AddService(fx.Security);
        m_console->AddService(m_ledger);
        GlobalConsole = m_console;
    }
    void cleanupTestCase() { fx.Stop(); }

    void keepsRows_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("shown"); // numbers, newest first; B the item worked on
        QTest::newRow("Prilog") << "Prilog" << QStringList{"C", "B-1", "B", "A"};
        QTest::newRow("Predaj") << "Predaj" << QStringList{"B", "C", "B", "A"};
        QTest::newRow("Povezan sa") << "Povezan sa" << QStringList{"C", "B", "A"};
        QTest::newRow("Uredi") << "Uredi" << QStringList{"C", "B", "A"};
        QTest::newRow("Zapisnik") << "Zapisnik" << QStringList{"C", "B", "A"};
    }

    void keepsRows()
    {
        QFETCH(QString, action);
        QFETCH(QStringList, shown);
        const QString kind = QStringLiteral("Zadržano %1").arg(fx.Serial());
        const qint64 jelena = fx.UserId(QStringLiteral("jelena"));
        const bool passOn = action == QLatin1String("Predaj");
        const auto add = [&](const char *name, int day, const QVariantMap &more = {}) {
            QVariantMap values{{"ledgernumber", QStringLiteral("%1%2/26").arg(QLatin1String(name)).arg(fx.Serial())},
                               {"itemtype", kind},
                               {"ledgerdatetime", QDateTime(QDate(2026, 3, day), QTime(9, 0))},
                               {"userid", jelena},
                               {"outuserid", jelena}};
            values.insert(more);
            return fx.AddItem(values);
        };
        const qint64 a = add("A", 1);
        const qint64 b = add("B", 2, passOn ? QVariantMap{{"userid", fx.UserId(QStringLiteral("ana"))}, {"accepted", "y"}}
                                            : QVariantMap{});
        add("C", 3);
        const QString aNumber = fx.Cell(a, QStringLiteral("ledgernumber"));

        ScopedScriptedDialogs dialogs;
        TLedgerViewerForm list(nullptr);
        list.Items().ShowCondition(QStringLiteral("l.itemtype = ?"), {kind});
        TZQuery &rows = *list.Items().LedgerItemZQ;
        rows.SetSortedFields(QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC"));
        QVERIFY(rows.Locate(b));

        // One answer per window: the detail form, and the picker it opens.
        const std::function<int(QDialog &)> answer = [&](QDialog &dialog) {
            if (auto *picker = qobject_cast<TGetLedgerForm *>(&dialog)) {
                picker->FNavigator->SearchVLE->SetValue(QStringLiteral("ledgernumber"), aNumber);
                picker->FNavigator->FindButton->click();
                picker->OKButton->click();
                return dialog.result();
            }
            if (auto *record = qobject_cast<TProceedingForm *>(&dialog)) {
                dialogs->MessageAnswers.push_back(mbYes);
                record->AcceptAllButton->click();
                record->CloseButton->click();
                return dialog.result();
            }
            auto *form = qobject_cast<TLedgerDetailForm *>(&dialog);
            if (!form)
                return int(QDialog::Rejected);
            form->show();
            if (action == QLatin1String("Prilog"))
                form->AdditionalItemButton->click();
            else if (passOn)
                form->PassOnButton->click();
            else if (action == QLatin1String("Povezan sa"))
                form->LinkedToButton->click();
            else
                QTest::keyClicks(form->ItemNumberDBE, QStringLiteral("IZMENJENO"));
            if (form->isVisible())
                form->OKButton->click();
            return form->result();
        };
        dialogs->ModalHandlers.push_back(answer);
        dialogs->ModalHandlers.push_back(answer);
        if (action == QLatin1String("Zapisnik"))
            list.ProceedingAction->trigger();
        else
            list.CustomEdit->trigger();
        // "Zapisnik" asks before accepting all.
        QVERIFY2(dialogs->Messages.size() == ((action == QLatin1String("Prilog") || passOn || action == QLatin1String("Zapisnik")) ? 1 : 0),
                 qPrintable(dialogs->Messages.value(0).Text));

        QStringList numbers;
        const qint64 current = rows.FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt();
        for (rows.First(); !rows.Eof(); rows.Next())
            numbers << rows.FieldByName(QStringLiteral("ledgernumber")).AsString().remove(QRegularExpression(QStringLiteral("\\d+/26")));
        QCOMPARE(numbers, shown);
        QCOMPARE(current, b);
        // The item worked on shows as stored.
        QVERIFY(rows.Locate(b));
        if (action == QLatin1String("Povezan sa"))
            QCOMPARE(rows.FieldByName(QStringLiteral("parentid")).AsLargeInt(), a);
        else if (action == QLatin1String("Uredi"))
            QVERIFY(rows.FieldByName(QStringLiteral("itemnumber")).AsString().endsWith(QStringLiteral("IZMENJENO")));
        else if (action == QLatin1String("Zapisnik"))
            QVERIFY(rows.FieldByName(QStringLiteral("accepted")).AsBoolean());
    }

private:
    LedgerFixture fx;
    IRef<RecordingLedger> m_ledger;
    IRef<TConsole> m_console;
};

QTEST_MAIN(TestListKeepsRows)
#include "tst_listkeepsrows.moc"
