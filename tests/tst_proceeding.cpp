// The handover record over a real database: its conditions, accepting all,
// the grid's keys and wheel, and the printed record read back as text.

#include "CommonStrings.h"
#include "DBGrid.h"
#include "DBIniFile.h"
#include "HandoverFixture.h"
#include "InterfaceScript.h"
#include "LedgerFixture.h"
#include "ReportEngine.h"
#include "data/LedgerProceedingReport.h"
#include "TestConsole.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "integration/LedgerRegistration.h"
#include "screens/HandoverBookDialog.h"
#include "screens/LedgerViewerUnit.h"
#include "screens/ProceedingUnit.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

TZQuery &query(const TProceedingForm &form) { return *form.Items().LedgerItemZQ; }

using handover::pdfText;
using handover::user;

// A column of the grid, top to bottom: 2 the ledger numbers, 6 their acceptance.
QString shown(const TDBGrid *grid, int column = 2)
{
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts << grid->model()->index(row, column).data().toString();
    return texts.join(u' ');
}

// The scripted dialogs' messages, one after another.
QString said(const ScriptedDialogs &dialogs)
{
    QStringList texts;
    for (const auto &m : dialogs.Messages)
        texts << m.Text;
    return texts.join(QStringLiteral(" | "));
}

} // namespace

class TestProceeding : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.StartModule();
        handover::addUsers(fx);
        m_console = IRef<TestConsole>(new TestConsole);
        m_console->Security = IRef<TestSecurity>(new TestSecurity);
        GlobalConsole = IRef<IConsole>(m_console);
    }

    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        handover::clear(fx);
        TDBIniFile(&fx.Db.Connection()).DeleteKey(TReportEngine::OrganizationSection, TReportEngine::OrganizationKey);
        m_console->Security->HasUser = true;
        m_console->Security->User = user(7);
        m_console->Security->UsersToSelect.clear();
    }

    void cleanupTestCase()
    {
        fx.Stop();
        GlobalConsole.reset();
    }

    void conditions_data()
    {
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<QList<int>>("chosen"); // handing-over users picked in turn; 0: picker cancelled
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("numbers");
        QTest::newRow("user 7") << true << QList<int>{} << "l.accepted = 'n' AND l.cancelled = 'n' AND l.outuserid = ? | 7" << "" << "1/26 2/26 3/26";
        QTest::newRow("in-user 3 replaces 5") << true << QList<int>{5, 3} << "l.accepted = 'n' AND l.cancelled = 'n' AND l.outuserid = ? AND l.inuserid = ? | 7 | 3"
                                              << "Jelena Đorđević" << "1/26 3/26";
        QTest::newRow("picker cancelled") << true << QList<int>{5, 0} << "l.accepted = 'n' AND l.cancelled = 'n' AND l.outuserid = ? AND l.inuserid = ? | 7 | 5"
                                          << "Ana Petrović" << "2/26";
        QTest::newRow("no user") << false << QList<int>{} << "l.accepted = 'n' AND l.cancelled = 'n' AND l.outuserid = ? | -1" << "" << "";
    }

    void conditions()
    {
        QFETCH(bool, loggedIn);
        QFETCH(QList<int>, chosen);
        QFETCH(QString, condition);
        QFETCH(QString, edit);
        QFETCH(QString, numbers);
        for (const auto &[from, to, number] : {std::tuple(3, 7, "1/26"), {5, 7, "2/26"}, {3, 7, "3/26"}, {3, 2, "4/26"}})
            addItem(from, to, QLatin1String(number));
        fx.Db.Connection().ExecSQL(QStringLiteral("UPDATE ledgeritem SET accepted = 'y' WHERE ledgeritemid = ?"),
                                   {addItem(3, 7, QStringLiteral("5/26"))});
        m_console->Security->HasUser = loggedIn;
        ScopedScriptedDialogs dialogs;
        TProceedingForm form(nullptr);
        for (int id : chosen) {
            if (id)
                m_console->Security->UsersToSelect << user(id);
            form.InUserButton->click();
        }
        QVERIFY(dialogs->Messages.isEmpty());
        QStringList bound{query(form).SQL().section(QStringLiteral("\nWHERE "), -1)};
        for (const QVariant &value : query(form).Params())
            bound << value.toString();
        QCOMPARE(bound.join(QStringLiteral(" | ")), condition);
        QCOMPARE(form.InUsernameEdit->text(), edit);
        QCOMPARE(shown(form.ProceedingDBG), numbers);
    }

    // Asked first; each row stored on its own, a row changed meanwhile named
    // at the end and the others accepted all the same.
    void acceptAll_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("broken");   // what happens to the second item meanwhile
        QTest::addColumn<bool>("yes");         // the answer to the question
        QTest::addColumn<QString>("stored");   // accepted, item by item; -: gone
        QTest::addColumn<QString>("captions"); // still listed, as stored
        QTest::addColumn<QString>("said");
        QTest::newRow("empty") << 0 << "" << true << "" << "" << "";
        QTest::newRow("one row") << 1 << "" << true << "y" << "Da" << "Prihvatiti 1 stavku?";
        QTest::newRow("three rows") << 3 << "" << true << "yyy" << "Da Da Da" << "Prihvatiti 3 stavke?";
        QTest::newRow("answered No") << 3 << "" << false << "nnn" << "Ne Ne Ne" << "Prihvatiti 3 stavke?";
        // Accepting writes nothing but the acceptance: the item's own fields are not checked again.
        QTest::newRow("check fails in the middle") << 3 << "check" << true << "yyy" << "Da Da Da" << "Prihvatiti 3 stavke?";
        QTest::newRow("row gone in the middle") << 3 << "delete" << true << "y-y" << "Da Ne Da"
                                                << "Prihvatiti 3 stavke? | Nisu prihvaćene: 2/26 (obrisana)";
        QTest::newRow("re-addressed in the middle") << 3 << "readdress" << true << "yny" << "Da Ne Da"
                                                    << "Prihvatiti 3 stavke? | Nisu prihvaćene: 2/26 (preusmerena na Marko Jovanović)";
    }

    void acceptAll()
    {
        QFETCH(int, items);
        QFETCH(QString, broken);
        QFETCH(bool, yes);
        QFETCH(QString, stored);
        QFETCH(QString, captions);
        QFETCH(QString, said);
        QList<qint64> ids;
        for (int i = 1; i <= items; ++i)
            ids << addItem(3, 7, QStringLiteral("%1/26").arg(i), i == 2 && broken == QLatin1String("check") ? "" : "Dopis");
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers.push_back(yes ? mbYes : mbNo);
        TProceedingForm form(nullptr);
        if (items > 1)
            handover::changeElsewhere(*fx.Db.OpenSecondConnection(), broken, ids[1]);
        form.AcceptAllButton->click();

        QCOMPARE(::said(*dialogs), said);
        QString now;
        for (qint64 id : ids)
            now += acceptedIn(id);
        QCOMPARE(now, stored);
        QVERIFY(!query(form).ControlsDisabled());
        QCOMPARE(query(form).State(), TDataSetState::Browse);
        QCOMPARE(query(form).RecNo(), items ? 1 : 0);
        QCOMPARE(form.ProceedingDBG->currentIndex().row(), items ? 0 : -1);
        QCOMPARE(shown(form.ProceedingDBG, 6), captions);
    }

    // Space, a double click and the pick list all take the same path: stored
    // at once, and on a row this dialog accepted, withdrawn.
    void oneRow_data()
    {
        QTest::addColumn<QStringList>("steps"); // space, double, Da, Ne; "desk:change" another desk's
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("rows"); // of the kept record
        QTest::addColumn<QString>("said");
        QTest::newRow("Space") << QStringList{"space"} << "y" << "Da" << "a 1/26" << "";
        QTest::newRow("Space twice") << QStringList{"space", "space"} << "n" << "Ne" << "a 1/26 w 1/26" << "";
        QTest::newRow("double click") << QStringList{"double"} << "y" << "Da" << "a 1/26" << "";
        QTest::newRow("double click twice") << QStringList{"double", "double"} << "n" << "Ne" << "a 1/26 w 1/26" << "";
        QTest::newRow("pick Da") << QStringList{"Da"} << "y" << "Da" << "a 1/26" << "";
        QTest::newRow("pick Da, then Ne") << QStringList{"Da", "Ne"} << "n" << "Ne" << "a 1/26 w 1/26" << "";
        QTest::newRow("pick Ne on a row not accepted") << QStringList{"Ne"} << "n" << "Ne" << "" << "";
        QTest::newRow("Space on a row re-addressed") << QStringList{"desk:readdress", "space"} << "n" << "Ne" << ""
                                                     << "Nisu prihvaćene: 1/26 (preusmerena na Marko Jovanović)";
        QTest::newRow("pick Da on a row accepted elsewhere") << QStringList{"desk:accept", "Da"} << "y" << "Da" << ""
                                                             << "Nisu prihvaćene: 1/26 (već prihvaćena)";
        QTest::newRow("Space on a row un-accepted elsewhere") << QStringList{"space", "desk:unaccept", "space"} << "n"
                                                              << "Ne" << "a 1/26" << "Nisu vraćene: 1/26 (već vraćena)";
    }

    void oneRow()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, stored);
        QFETCH(QString, caption);
        QFETCH(QString, rows);
        QFETCH(QString, said);
        const qint64 id = addItem(3, 7, QStringLiteral("1/26"));
        ScopedScriptedDialogs dialogs;
        TProceedingForm form(nullptr);
        form.show();
        TDBGrid *grid = form.ProceedingDBG;
        grid->setCurrentIndex(grid->model()->index(0, 2));
        const QPoint cell = grid->visualRect(grid->model()->index(0, 2)).center();
        for (const QString &step : steps) {
            if (step.startsWith(QLatin1String("desk:")))
                handover::changeElsewhere(*fx.Db.OpenSecondConnection(), step.mid(5), id);
            else if (step == QLatin1String("space"))
                QTest::keyClick(grid, Qt::Key_Space);
            else if (step == QLatin1String("double"))
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
            else
                QVERIFY(grid->model()->setData(grid->model()->index(0, 6), step));
        }
        QCOMPARE(acceptedIn(id), stored);
        QCOMPARE(shown(grid, 6), caption);
        QCOMPARE(query(form).State(), TDataSetState::Browse);
        QCOMPARE(handover::recordRows(fx), rows);
        QCOMPARE(::said(*dialogs), said);
    }

    // A choice made in the grid's pick list is stored at once; refused (the
    // row re-addressed meanwhile), nothing is pending and the dialog goes.
    // Printed after an acceptance, it is the kept record.
    void pendingChoice_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("preview"); // the document printed; empty: none
        QTest::newRow("closed") << "CloseButton" << "" << "y" << "";
        QTest::newRow("refused, closes") << "CloseButton" << "readdress" << "n" << "";
        QTest::newRow("printed") << "PrintButton" << "" << "y" << "kept";
        QTest::newRow("refused, the list printed") << "PrintButton" << "readdress" << "n" << "Zapisnik";
    }

    void pendingChoice()
    {
        QFETCH(QString, button);
        QFETCH(QString, change);
        QFETCH(QString, stored);
        QFETCH(QString, preview);
        const qint64 id = addItem(3, 7, QStringLiteral("1/26"));
        ScopedScriptedDialogs dialogs;
        TProceedingForm form(nullptr);
        form.show();
        handover::changeElsewhere(*fx.Db.OpenSecondConnection(), change, id);
        QVERIFY(form.ProceedingDBG->model()->setData(form.ProceedingDBG->model()->index(0, 6), _YES_CAP));
        form.findChild<QPushButton *>(button)->click();
        const bool refused = stored == QLatin1String("n");
        QCOMPARE(acceptedIn(id), stored);
        QCOMPARE(dialogs->Messages.size(), refused ? 1 : 0);
        QCOMPARE(form.isVisible(), button == QLatin1String("PrintButton"));
        QCOMPARE(dialogs->Previews.join(u','), preview == QLatin1String("kept") ? handover::recordTitle(1) : preview);
    }

    void gridKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("inEditor"); // typed into an open cell editor
        QTest::addColumn<bool>("asks");
        const int ctrl = Qt::ControlModifier, none = Qt::NoModifier, del = Qt::Key_Delete;
        QTest::newRow("letter") << int(Qt::Key_D) << none << "D" << false << false;
        QTest::newRow("digit") << int(Qt::Key_1) << none << "1" << false << false;
        QTest::newRow("letter into the cell editor") << int(Qt::Key_X) << none << "x" << true << false;
        QTest::newRow("Backspace in the cell editor") << int(Qt::Key_Backspace) << none << "\b" << true << false;
        QTest::newRow("Delete") << del << none << "" << false << false;
        QTest::newRow("Delete in the cell editor") << del << none << "" << true << false;
        QTest::newRow("Shift+Delete") << del << int(Qt::ShiftModifier) << "" << false << false;
        QTest::newRow("Ctrl+Shift+Delete") << del << int(ctrl | Qt::ShiftModifier) << "" << false << false;
        QTest::newRow("Ctrl+Delete") << del << ctrl << "" << false << true;
    }

    void gridKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(bool, inEditor);
        QFETCH(bool, asks);
        const qint64 id = addItem(3, 7, QStringLiteral("1/26"));
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers.push_back(mbNo);
        TProceedingForm form(nullptr);
        form.show();
        TDBGrid *grid = form.ProceedingDBG;
        QLineEdit *editor = nullptr;
        if (inEditor) {
            grid->setCurrentIndex(grid->model()->index(0, 0));
            grid->edit(grid->currentIndex());
            QVERIFY((editor = qobject_cast<QLineEdit *>(grid->indexWidget(grid->currentIndex()))));
            editor->setCursorPosition(0);
        }
        QTest::sendKeyEvent(QTest::Press, editor ? static_cast<QWidget *>(editor) : grid, Qt::Key(key), text,
                            Qt::KeyboardModifiers(modifiers));

        QCOMPARE(dialogs->Messages.size(), asks ? 1 : 0);
        QVERIFY(!asks || dialogs->Messages[0].Type == TMsgDlgType::Confirmation);
        QVERIFY(!editor || editor->text() == QStringLiteral("Jelena Đorđević"));
        // A character that got through the grid would have opened a cell editor.
        QCOMPARE(grid->indexWidget(grid->currentIndex()) != nullptr, inEditor);
        QCOMPARE(query(form).State(), TDataSetState::Browse);
        QCOMPARE(query(form).RecordCount(), 1);
        QCOMPARE(acceptedIn(id), QStringLiteral("n"));
    }

    void wheel_data()
    {
        QTest::addColumn<int>("distance");
        QTest::addColumn<int>("recNo");
        QTest::newRow("forward: up") << 120 << 1;
        QTest::newRow("backward: down") << -120 << 3;
        QTest::newRow("a long turn: one row") << -480 << 3;
        QTest::newRow("no distance: down") << 0 << 3;
    }

    void wheel()
    {
        QFETCH(int, distance);
        QFETCH(int, recNo);
        for (const char *number : {"1/26", "2/26", "3/26"})
            addItem(3, 7, QLatin1String(number));
        ScopedScriptedDialogs dialogs;
        TProceedingForm form(nullptr);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), form.ProceedingDBG);
        query(form).SetRecNo(2);
        QWidget *viewport = form.ProceedingDBG->viewport();
        const QPointF at = viewport->rect().center();
        QWheelEvent event(at, viewport->mapToGlobal(at), {}, {0, distance}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
        QCOMPARE(query(form).RecNo(), recNo);
    }

    void record_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("organization"); // empty: none set
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("headers"); // the table's header, on every page with rows
        QTest::newRow("100 rows") << 100 << "Opština Žabalj"
                                  << QStringList{"Opština Žabalj", "Zapisnik", "Primalac: Milan Čubrilo", "Predaje: Jelena Đorđević",
                                                 "Ukupno stavki: 100", "Strana 1 od 3", "Strana 3 od 3", "Predao", "Primio"}
                                  << 3;
        QTest::newRow("empty") << 0 << ""
                               << QStringList{"Delovodna služba", "Nema stavki za primopredaju.", "Ukupno stavki: 0",
                                              "Strana 1 od 1", "Primalac: ____"}
                               << 1;
    }

    void record()
    {
        QFETCH(int, items);
        QFETCH(QString, organization);
        QFETCH(QStringList, expected);
        QFETCH(int, headers);
        if (!organization.isEmpty())
            TDBIniFile(&fx.Db.Connection()).WriteString(TReportEngine::OrganizationSection, TReportEngine::OrganizationKey, organization);
        for (int i = 1; i <= items; ++i)
            addItem(3, 7, QStringLiteral("P-%1/26").arg(i, 3, 10, QLatin1Char('0')));
        ScopedScriptedDialogs dialogs;
        TProceedingForm form(nullptr);
        QTemporaryDir dir;
        SaveLedgerProceedingReport(&query(form), form.windowTitle(), dir.filePath(QStringLiteral("z.pdf")));
        const QString text = pdfText(dir.filePath(QStringLiteral("z.pdf")));
        for (int i = 1; i <= items; ++i)
            expected << QStringLiteral("P-%1/26").arg(i, 3, 10, QLatin1Char('0'));
        for (const QString &piece : expected)
            QVERIFY2(text.contains(piece), qPrintable(piece));
        QCOMPARE(text.count(QStringLiteral("Upućeno od")), headers);
    }

    // Marko (2) handed three items to Jelena (3). She opens the record from the
    // list, narrows it to Marko, accepts all and prints; the list shows them after.
    // With KLEDGER_SCREENSHOT_DIR set the dialog and the record are written there.
    void fromList()
    {
        const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR");
        int n = 0;
        for (const char *type : {"Rešenje", "Žalba", "Zahtev"})
            addItem(2, 3, QStringLiteral("%1/26").arg(++n), QString::fromUtf8(type));
        addItem(5, 3, QStringLiteral("4/26"));
        m_console->Security->User = user(3);
        m_console->Security->UsersToSelect << user(2);
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers.push_back(mbYes);
        QString before;
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto *form = qobject_cast<TProceedingForm *>(&dialog);
            if (!form)
                return int(QDialog::Rejected);
            form->show();
            before = shown(form->ProceedingDBG);
            form->InUserButton->click();
            if (!dir.isEmpty() && QTest::qWaitForWindowExposed(form))
                form->grab().save(dir + QStringLiteral("/proceeding.png"));
            form->AcceptAllButton->click();
            form->PrintButton->click();
            form->CloseButton->click();
            return form->result();
        });
        QTemporaryDir temp;
        const QString pdf = (dir.isEmpty() ? temp.path() : dir) + QStringLiteral("/zapisnik.pdf");
        dialogs->PreviewHandlers.push_back([&](QPrinter &printer, const std::function<void(QPrinter &)> &paint) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            paint(printer);
        });
        // The list shows this year's items by number before the record opens.
        TLedgerViewerForm viewer(nullptr);
        viewer.Items().ShowCondition(QStringLiteral("l.ledgernumber LIKE ?"), {QStringLiteral("%/26")});
        viewer.Items().LedgerItemZQ->SetSortedFields(QStringLiteral("ledgernumber"));
        viewer.Items().LedgerItemZQ->Last();
        viewer.ProceedingAction->trigger();
        QCOMPARE(::said(*dialogs), QStringLiteral("Prihvatiti 3 stavke?"));
        QCOMPARE(dialogs->ModalCount, 1);
        QCOMPARE(before, QStringLiteral("1/26 2/26 3/26 4/26"));
        QCOMPARE(dialogs->Previews, QStringList{handover::recordTitle(1)});
        // Printed after accepting: the record holds the accepted rows.
        const QString text = pdfText(pdf);
        QCOMPARE(text.count(QRegularExpression(QStringLiteral("\\bDa\\b"))), 3);
        QCOMPARE(text.count(QRegularExpression(QStringLiteral("\\bNe\\b"))), 0);
        // The list keeps its rows, its order and its current row, and shows
        // what was accepted.
        QCOMPARE(shown(viewer.DBG, 1), QStringLiteral("1/26 2/26 3/26 4/26"));
        TZQuery &list = *viewer.Items().LedgerItemZQ;
        QCOMPARE(list.RecNo(), 4);
        QStringList accepted;
        for (list.First(); !list.Eof(); list.Next())
            accepted << list.FieldByName(QStringLiteral("accepted")).DisplayText();
        QCOMPARE(accepted, QStringList({"Da", "Da", "Da", "Ne"}));
    }

    // The record printed from the dialog, then again from "Zapisnici o
    // primopredaji" through the preview and as a PDF file after the items
    // changed: the same text, from what the record kept.
    void reprint()
    {
        handover::addItem(fx, 3, 7, QStringLiteral("1/26"), QStringLiteral("Rešenje"), 1);
        handover::addItem(fx, 5, 7, QStringLiteral("2/26"), QStringLiteral("Žalba"), -1);
        handover::addItem(fx, 3, 7, QStringLiteral("3/26"), QStringLiteral("Zahtev"), 0);
        const qint64 withdrawn = addItem(3, 7, QStringLiteral("4/26"));
        QTemporaryDir dir;
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers.push_back(mbYes);
        const auto toPdf = [&](const QString &name) {
            return [&, name](QPrinter &printer, const std::function<void(QPrinter &)> &paint) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(dir.filePath(name));
                paint(printer);
            };
        };
        dialogs->PreviewHandlers = {toPdf("first.pdf"), toPdf("again.pdf")};
        dialogs->SaveFileAnswers.push_back(dir.filePath(QStringLiteral("saved.pdf")));
        {
            TProceedingForm form(nullptr);
            form.AcceptAllButton->click();
            query(form).SetRecNo(4);
            form.ToggleCurrentRow();
            form.PrintButton->click();
        }
        auto desk = fx.Db.OpenSecondConnection();
        desk->ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemtype = 'Molba', outuserid = 2"));
        desk->ExecSQL(QStringLiteral("UPDATE user SET lastname = 'Nikolić' WHERE userid = 5"));
        QStringList listed;
        int forMarko = -1;
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto *book = qobject_cast<THandoverBookDialog *>(&dialog);
            if (!book)
                return int(QDialog::Rejected);
            for (QTreeWidgetItem *row = book->RecordsTree->topLevelItem(0); row; row = book->RecordsTree->itemBelow(row))
                listed << row->text(0) + u'|' + row->text(2) + u'|' + row->text(3) + u'|' + row->text(4);
            book->ColleagueCombo->setCurrentIndex(book->ColleagueCombo->findText(QStringLiteral("Marko Jovanović")));
            forMarko = book->RecordsTree->topLevelItemCount();
            book->ColleagueCombo->setCurrentIndex(book->ColleagueCombo->findText(QStringLiteral("Ana Nikolić")));
            book->PrintButton->click();
            book->SaveButton->click();
            return int(QDialog::Rejected);
        });
        HandoverBookActionExecute(nullptr);
        desk->ExecSQL(QStringLiteral("UPDATE user SET lastname = 'Petrović' WHERE userid = 5"));
        QCOMPARE(listed.join(u','), handover::recordTitle(1).mid(9) + QStringLiteral("|Milan Čubrilo|Jelena Đorđević, Ana Petrović|3"));
        QCOMPARE(forMarko, 0);
        const QString text = pdfText(dir.filePath(QStringLiteral("first.pdf")));
        QCOMPARE(pdfText(dir.filePath(QStringLiteral("again.pdf"))), text);
        QCOMPARE(pdfText(dir.filePath(QStringLiteral("saved.pdf"))), text);
        for (const char *piece : {"Tip", "Ulazni", "Izlazni", "Interni", "Rešenje", "Ukupno stavki: 3", "Primalac: Milan Čubrilo",
                                  "Kontrolni zbir istorije: "})
            QVERIFY2(text.contains(QString::fromUtf8(piece)), piece);
        // A signature line per colleague who handed items over; the head names none of several.
        QCOMPARE(text.count(QStringLiteral("Predao")), 2);
        QVERIFY(!text.contains(QStringLiteral("Predaje:")) && !text.contains(QStringLiteral("4/26")));
        QCOMPARE(handover::recordRows(fx), QStringLiteral("a 1/26 a 2/26 a 3/26 a 4/26 w 4/26"));
        QCOMPARE(acceptedIn(withdrawn), QStringLiteral("n"));
    }

    // The record's data in the script chosen, first from the dialog, then
    // again from "Zapisnici o primopredaji": the same paper for the same
    // choice, as typed for "kako je uneto", and the kept rows as typed.
    void reprintInScript()
    {
        handover::addItem(fx, 3, 7, QStringLiteral("1/26"), QStringLiteral("Rešenje"), 1);
        QTemporaryDir dir;
        ScopedScriptedDialogs dialogs;
        const auto toPdf = [&](const QString &name) {
            return [&, name](QPrinter &printer, const std::function<void(QPrinter &)> &paint) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(dir.filePath(name));
                paint(printer);
            };
        };
        dialogs->MessageAnswers.push_back(mbYes);
        dialogs->PreviewHandlers = {toPdf("first.pdf"), toPdf("again.pdf"), toPdf("typed.pdf")};
        {
            TProceedingForm form(nullptr);
            form.AcceptAllButton->click();
            form.DataScriptCombo->setCurrentIndex(1); // u ćirilici
            form.PrintButton->click();
        }
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto &book = dynamic_cast<THandoverBookDialog &>(dialog);
            book.DataScriptCombo->setCurrentIndex(1);
            book.PrintButton->click();
            book.DataScriptCombo->setCurrentIndex(0); // kako je uneto
            book.PrintButton->click();
            return int(QDialog::Rejected);
        });
        HandoverBookActionExecute(nullptr);
        const QString text = pdfText(dir.filePath(QStringLiteral("first.pdf")));
        QCOMPARE(pdfText(dir.filePath(QStringLiteral("again.pdf"))), text);
        for (const char *piece : {"Решење", "Primalac: Милан Чубрило", "Ulazni", "Da"})
            QVERIFY2(text.contains(QString::fromUtf8(piece)), qPrintable(text));
        const QString typed = pdfText(dir.filePath(QStringLiteral("typed.pdf")));
        QVERIFY2(typed.contains(QStringLiteral("Rešenje")) && typed.contains(QStringLiteral("Primalac: Milan Čubrilo")),
                 qPrintable(typed));
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT itemtype FROM handoverrow")).toString(), QStringLiteral("Rešenje"));
    }

    // As designed, wider only where the font's titles need it; no title or
    // caption is cut and nothing needs more than 1024 x 700.
    void layout()
    {
        ScopedScriptedDialogs dialogs;
        TProceedingForm form(nullptr);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.minimumSize() == form.maximumSize() && form.height() == 350 && form.width() <= 1024);
        const int grow = form.width() - 776;
        const std::pair<QWidget *, QRect> places[] = {
            {form.InUsernameEdit, {8, 24, 140, 21}},          {form.InUserButton, {152, 24, 21, 21}},
            {form.AcceptAllButton, {602 + grow, 24, 75, 25}}, {form.ProceedingDBG, {8, 52, 669 + grow, 241}},
            {form.PrintButton, {692 + grow, 52, 75, 25}},     {form.Bevel1, {0, 308, 774 + grow, 2}},
            {form.CloseButton, {696 + grow, 320, 75, 25}}};
        for (const auto &[widget, place] : places)
            QCOMPARE(widget->geometry(), place);
        QCOMPARE(form.focusWidget(), form.ProceedingDBG);
        QStringList tabs;
        for (QWidget *w = form.ProceedingDBG; tabs.size() < 6; w = w->nextInFocusChain())
            if (w->parentWidget() == &form && (w->focusPolicy() & Qt::TabFocus))
                tabs << w->objectName();
        QCOMPARE(tabs.join(u' '), QStringLiteral("ProceedingDBG CloseButton PrintButton InUsernameEdit InUserButton AcceptAllButton"));
        QVERIFY(form.CloseButton->isDefault() && form.InUsernameEdit->isReadOnly());
        // The design's font, which the platform replaces where it has no Tahoma.
        QCOMPARE(form.font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(form.font().pointSize(), 8);

        QStringList columns;
        for (const TColumn &c : form.ProceedingDBG->Columns()) {
            columns << QStringLiteral("%1:%2%3%4").arg(c.FieldName, c.Title, c.ReadOnly ? "" : " (edit)", c.PickList.join(u'/'));
            QVERIFY2(form.ProceedingDBG->horizontalHeader()->fontMetrics().horizontalAdvance(c.Title) + 8 <= c.Width, qPrintable(c.Title));
        }
        QCOMPARE(columns, (QStringList{"inusername:Upućeno od (edit)", "outusername:Namenjeno", "ledgernumber:Delovodni broj",
                                       "itemtype:Vrsta dokumenta", "itemdate:Datum dokumenta", "itemnumber:Broj dokumenta",
                                       "accepted:Prihvaćen (edit)Da/Ne"}));
        for (QPushButton *b : form.findChildren<QPushButton *>())
            QVERIFY2(b->fontMetrics().horizontalAdvance(b->text().remove(u'&')) <= b->width() - 4, qPrintable(b->text()));
    }

private:
    qint64 addItem(int from, int to, const QString &number, const QString &itemType = QStringLiteral("Dopis"))
    {
        return handover::addItem(fx, from, to, number, itemType);
    }

    QString acceptedIn(qint64 id) { return handover::accepted(fx, id); }

    LedgerFixture fx;
    IRef<TestConsole> m_console;
};

QTEST_MAIN(TestProceeding)
#include "tst_proceeding.moc"
