// Cancelling (storno) an item: who may, the reason, a cancelled item closed
// to every write (in the data layer and by the database's trigger), two desks
// at once, the form, the list, the CSV file and the numbering check.

#include "Clock.h"
#include "CsvReader.h"
#include "DBControls.h"
#include "DBGrid.h"
#include "KException.h"
#include "integration/GlobalConsole.h"
#include "LedgerFixture.h"
#include "SerbianQtTexts.h"
#include "StornoFixture.h"
#include "ZQuery.h"
#include "data/LedgerContinuity.h"
#include "data/LedgerCsvExport.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerSearchCriteria.h"
#include "screens/CancelItemDialog.h"
#include "screens/LedgerDetailUnit.h"
#include "screens/LedgerViewerUnit.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString CancelledMsg =
    QStringLiteral("Stavka %1 je stornirana: ne može se menjati, brisati, prihvatiti ni predati, niti dobiti prilog.");

QString refusal(const std::function<void()> &write)
{
    try {
        write();
    } catch (const KException &e) {
        return e.message();
    }
    return {};
}

} // namespace

class TestStorno : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        InstallSerbianTexts(*qApp);
        fx.Start(QStringLiteral("ana"));
    }
    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        GlobalConsole = fx.Console;
        fx.LoginAs(QStringLiteral("ana"));
    }
    void cleanupTestCase() { fx.Stop(); }

    void whoMayCancel_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<QString>("state"); // the item: own, accepted, passon, cancelled
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("refused"); // %1: the number; empty: cancelled
        QTest::newRow("who registered it") << "ana" << false << "own" << "Greškom zavedeno" << "";
        QTest::newRow("empty reason") << "ana" << false << "own" << "  \n " << "Unesite razlog storniranja.";
        QTest::newRow("reason too long") << "ana" << false << "own" << QString(501, u'x')
                                         << "Razlog storniranja je duži od 500 znakova.";
        QTest::newRow("another clerk") << "marko" << false << "own" << "Nije moje"
                                       << "Stavku %1 stornira korisnik koji ju je zaveo ili administrator.";
        QTest::newRow("an administrator") << "marko" << true << "own" << "Dupli unos" << "";
        QTest::newRow("accepted, its author") << "ana" << false << "accepted" << "Kasno"
                                              << "Stavka %1 je prihvaćena: stornira je administrator.";
        QTest::newRow("accepted, an administrator") << "marko" << true << "accepted" << "Kasno" << "";
        QTest::newRow("pass-on copy") << "ana" << true << "passon" << "Kopija"
                                      << "Stavka %1 je prosleđeni primerak i ne stornira se posebno: stornira se "
                                         "stavka od koje je nastala.";
        QTest::newRow("cancelled already") << "ana" << false << "cancelled" << "Opet" << "Stavka %1 je već stornirana.";
    }
    void whoMayCancel()
    {
        QFETCH(QString, login);
        QFETCH(bool, administrator);
        QFETCH(QString, state);
        QFETCH(QString, reason);
        QFETCH(QString, refused);
        const qint64 origin = storno::addOwnItem(fx);
        QVariantMap values;
        if (state == QLatin1String("accepted"))
            values.insert(QStringLiteral("accepted"), QStringLiteral("y"));
        if (state == QLatin1String("passon"))
            values.insert(QStringLiteral("passonparentid"), origin);
        const qint64 id = storno::addOwnItem(fx, values);
        if (state == QLatin1String("cancelled"))
            storno::cancel(fx, id);
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        const int entries = fx.Count(QStringLiteral("ledgerhistory"));
        TClock::TFixed clock(QDateTime(QDate(2026, 3, 4), QTime(9, 15)));

        const QString message = refusal([&] {
            CancelLedgerItem(fx.Db.Connection(), id, reason, storno::deskUser(fx, login, administrator),
                             storno::actor(fx, login));
        });
        QCOMPARE(message, refused.isEmpty() ? QString() : refused.arg(number));
        if (!refused.isEmpty()) {
            QCOMPARE(fx.Cell(id, QStringLiteral("cancelled")), state == QLatin1String("cancelled") ? "y" : "n");
            QCOMPARE(fx.Count(QStringLiteral("ledgerhistory")), entries);
            return;
        }
        QCOMPARE(fx.Cell(id, QStringLiteral("cancelled")), QStringLiteral("y"));
        QCOMPARE(fx.Cell(id, QStringLiteral("cancelreason")), reason);
        QCOMPARE(fx.Cell(id, QStringLiteral("cancelledby")).toLongLong(), fx.UserId(login));
        QVERIFY(fx.Cell(id, QStringLiteral("cancelledat")).startsWith(QStringLiteral("2026-03-04")));
        QCOMPARE(fx.Cell(id, QStringLiteral("ledgernumber")), number); // keeps its number
        const THistoryEntry entry = LedgerItemHistory(fx.Db.Connection(), id).first();
        QCOMPARE(entry.Kind, THistoryKind::Update);
        QCOMPARE(entry.Values.first().Column, QStringLiteral("cancelled"));
        QCOMPARE(entry.Values.first().NewValue.toString(), QStringLiteral("y"));
        QCOMPARE(entry.Values.size(), 4);
    }

    void cancelledItemRefusesWrites_data()
    {
        QTest::addColumn<QString>("path");
        for (const char *path : {"edit", "delete", "accept", "pass on", "enclosure", "direct update", "direct delete"})
            QTest::newRow(path) << path;
    }
    void cancelledItemRefusesWrites()
    {
        QFETCH(QString, path);
        const qint64 id = storno::addOwnItem(fx, {{QStringLiteral("outuserid"), fx.UserId(QStringLiteral("ana"))}});
        storno::cancel(fx, id);
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        const QVariantList before = fx.Row(id);
        const int items = fx.ItemCount();
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers = {mbYes};
        auto set = LedgerFixture::OpenItem(id);
        TZQuery &q = *set->LedgerItemZQ;

        QString message;
        if (path == QLatin1String("edit") || path == QLatin1String("accept")) {
            q.Edit();
            if (path == QLatin1String("edit"))
                set->LedgerItemZQitemnumber->SetAsString(QStringLiteral("IZMENA"));
            else
                set->LedgerItemZQaccepted->SetAsBoolean(true);
            message = refusal([&] { q.Post(); });
            QCOMPARE(q.State(), TDataSetState::Edit); // what was typed stays
        } else if (path == QLatin1String("delete")) {
            message = refusal([&] { q.Delete(); });
            QVERIFY(dialogs->Messages.isEmpty()); // refused before the question
        } else if (path == QLatin1String("pass on")) {
            message = refusal([&] { LedgerDM->PassOnLedgerItem(int(id), int(fx.UserId(QStringLiteral("ana")))); });
        } else if (path == QLatin1String("enclosure")) {
            message = refusal([&] { LedgerDM->AddAdditionalItem(int(id)); });
        } else {
            // Any program, not only this one: the database refuses too.
            const QString sql = path == QLatin1String("direct update")
                                    ? QStringLiteral("UPDATE ledgeritem SET cancelled = 'n' WHERE ledgeritemid = ?")
                                    : QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?");
            try {
                fx.Db.Connection().ExecSQL(sql, {id});
                QFAIL("the trigger should have refused");
            } catch (const EDatabaseError &e) {
                QVERIFY(IsCancelledRowRefusal(e));
            }
            message = CancelledMsg.arg(number);
        }
        QCOMPARE(message, CancelledMsg.arg(number));
        QCOMPARE(fx.Row(id), before);
        QCOMPARE(fx.ItemCount(), items);
    }

    // Desk A has the item open; desk B cancels it first.
    void secondDeskCancelledFirst_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("refused"); // %1: the number
        QTest::newRow("cancel it too") << "cancel" << "Stavka %1 je već stornirana.";
        QTest::newRow("post an edit") << "edit" << CancelledMsg;
        QTest::newRow("delete it") << "delete" << CancelledMsg;
    }
    void secondDeskCancelledFirst()
    {
        QFETCH(QString, action);
        QFETCH(QString, refused);
        const qint64 id = storno::addOwnItem(fx);
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        const QString itemNumber = fx.Cell(id, QStringLiteral("itemnumber"));
        auto set = LedgerFixture::OpenItem(id);
        TZQuery &q = *set->LedgerItemZQ;
        if (action == QLatin1String("edit")) {
            q.Edit();
            set->LedgerItemZQitemnumber->SetAsString(QStringLiteral("B-2"));
        }
        {
            auto other = fx.Db.OpenSecondConnection();
            CancelLedgerItem(*other, id, QStringLiteral("Druga pisarnica"), storno::deskUser(fx, QStringLiteral("marko"), true),
                             storno::actor(fx, QStringLiteral("marko")));
        }
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers = {mbYes};
        const QString message = refusal([&] {
            if (action == QLatin1String("cancel"))
                storno::cancel(fx, id, QStringLiteral("Prva pisarnica"));
            else if (action == QLatin1String("edit"))
                q.Post();
            else
                q.Delete();
        });
        QCOMPARE(message, refused.arg(number));
        QCOMPARE(fx.Cell(id, QStringLiteral("cancelreason")), QStringLiteral("Druga pisarnica"));
        QCOMPARE(fx.Cell(id, QStringLiteral("itemnumber")), itemNumber);
    }

    // Desk B's edit came first: the storno keeps it.
    void secondDeskEditedFirst()
    {
        const qint64 id = storno::addOwnItem(fx);
        auto other = fx.Db.OpenSecondConnection();
        other->ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemnumber = 'B-7' WHERE ledgeritemid = ?"), {id});
        storno::cancel(fx, id);
        QCOMPARE(fx.Cell(id, QStringLiteral("itemnumber")), QStringLiteral("B-7"));
        QCOMPARE(fx.Cell(id, QStringLiteral("cancelled")), QStringLiteral("y"));
    }

    void formOpensReadOnly()
    {
        const qint64 id = storno::addOwnItem(fx);
        {
            TClock::TFixed clock(QDateTime(QDate(2026, 3, 4), QTime(9, 15)));
            storno::cancel(fx, id, QStringLiteral("Dupli unos"));
        }
        DetailFormOn on(id);
        on.form.UpdateActions();
        QCOMPARE(on.form.ReadOnlyLabel->text(), QStringLiteral("Stornirano: Dupli unos (Ana Petrović, 04.03.2026 09:15)"));
        QVERIFY(!on.form.ReadOnlyLabel->isHidden());
        QVERIFY(!on.form.CancelItemAction->isEnabled());
        QVERIFY(!on.form.AdditionalItemAction->isEnabled());
        QVERIFY(!on.form.PassOnAction->isEnabled());
        QVERIFY(!on.form.TypeDBCB->isEnabled());
    }

    // An empty reason is refused and the dialog keeps what was typed.
    void formAsksForReason()
    {
        const qint64 id = storno::addOwnItem(fx);
        DetailFormOn on(id);
        on.form.UpdateActions();
        QVERIFY(on.form.CancelItemAction->isEnabled());
        QString question, kept;
        int firstResult = -1;
        on.dialogs->ModalHandlers.push_back([&](QDialog &d) {
            auto &dialog = dynamic_cast<TCancelItemDialog &>(d);
            question = dialog.QuestionLabel->text();
            dialog.ReasonEdit->setPlainText(QStringLiteral("   "));
            dialog.CancelItemButton->click();
            firstResult = dialog.result();
            kept = dialog.ReasonEdit->toPlainText();
            dialog.ReasonEdit->setPlainText(QStringLiteral("Pogrešan partner"));
            dialog.CancelItemButton->click();
            return dialog.result();
        });
        on.form.CancelItemAction->trigger();
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        QCOMPARE(question, QStringLiteral("Stornirati stavku %1 (Ulazni, Dopis)?\nStavka ostaje u delovodniku pod svojim "
                                          "brojem, ali se posle storniranja više ne može menjati.")
                               .arg(number));
        QCOMPARE(on.dialogs->Messages.size(), 1);
        QCOMPARE(on.dialogs->Messages.first().Text, QStringLiteral("Unesite razlog storniranja."));
        QCOMPARE(firstResult, 0);
        QCOMPARE(kept, QStringLiteral("   "));
        QCOMPARE(fx.Cell(id, QStringLiteral("cancelreason")), QStringLiteral("Pogrešan partner"));
        QVERIFY(on.form.ReadOnlyLabel->text().startsWith(QStringLiteral("Stornirano: Pogrešan partner (Ana Petrović, ")));
        QVERIFY(!on.form.CancelItemAction->isEnabled());
    }

    void listStrikesCancelledRows()
    {
        const qint64 kept = storno::addOwnItem(fx, {{QStringLiteral("ledgerdatetime"), QDateTime::currentDateTime()}});
        const qint64 cancelled = storno::addOwnItem(fx, {{QStringLiteral("ledgerdatetime"), QDateTime::currentDateTime()}});
        storno::cancel(fx, cancelled, QStringLiteral("Zavedeno dva puta"));
        TLedgerViewerForm viewer(nullptr);
        viewer.TodayActionExecute();
        const TZQuery &q = *viewer.Items().LedgerItemZQ;
        QHash<qint64, int> rowOf;
        for (int r = 0; r < q.RecordCount(); ++r)
            rowOf.insert(q.ValueAt(r, *viewer.Items().LedgerItemZQledgeritemid).toLongLong(), r);
        QVERIFY(rowOf.contains(kept) && rowOf.contains(cancelled));
        const TDBGridModel &model = *viewer.DBG->GridModel();
        const auto font = [&](qint64 id) { return model.index(rowOf[id], 1).data(Qt::FontRole).value<QFont>(); };
        QVERIFY(font(cancelled).strikeOut());
        QVERIFY(!font(kept).strikeOut());
        QCOMPARE(model.index(rowOf[cancelled], 0).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("Stornirano: Zavedeno dva puta"));
        QVERIFY(model.index(rowOf[kept], 0).data(Qt::ToolTipRole).isNull());
        // In the column chooser, hidden until chosen.
        QStringList hidden;
        for (const TColumn &c : viewer.DBG->Columns())
            if (!c.Visible)
                hidden << c.Title;
        QCOMPARE(hidden, QStringList({QStringLiteral("Stornirano"), QStringLiteral("Razlog storniranja")}));
        QVERIFY(viewer.CancelItemAction->isEnabled());

        // With KLEDGER_SCREENSHOT_DIR set: storno-lista.png and storno-pitanje.png.
        if (const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR"); !dir.isEmpty()) {
            viewer.Items().LedgerItemZQ->Locate(QVariant::fromValue(kept));
            QVERIFY(LedgerFixture::Show(viewer, QSize(1000, 420)));
            viewer.grab().save(dir + QStringLiteral("/storno-lista.png"));
            TCancelItemDialog dialog(QStringLiteral("Stornirati stavku %1 (Ulazni, Dopis)?\nStavka ostaje u delovodniku pod "
                                                    "svojim brojem, ali se posle storniranja više ne može menjati.")
                                         .arg(fx.Cell(kept, QStringLiteral("ledgernumber"))));
            dialog.ReasonEdit->setPlainText(QStringLiteral("Dopis je zaveden pod pogrešnim partnerom."));
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            dialog.grab().save(dir + QStringLiteral("/storno-pitanje.png"));
        }
    }

    void csvCarriesStorno()
    {
        const qint64 id = storno::addOwnItem(fx);
        storno::cancel(fx, id, QStringLiteral("Poništeno; \"dupli\""));
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("storno.csv"));
        QCOMPARE(ExportLedgerCsv(fx.Db.Connection(), LedgerExportCriteria({{QStringLiteral("ledgernumber"), number}}), file, {}),
                 1);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const CsvContent csv = ReadCsv(f.readAll());
        QCOMPARE(csv.Rows.size(), 2);
        QCOMPARE(csv.Rows[0].mid(csv.Rows[0].size() - 2), QStringList({QStringLiteral("Stornirano"),
                                                                       QStringLiteral("Razlog storniranja")}));
        QCOMPARE(csv.Rows[1].mid(csv.Rows[1].size() - 2),
                 QStringList({QStringLiteral("Da"), QStringLiteral("Poništeno; \"dupli\"")}));
    }

    void continuityCountsCancelled_data()
    {
        QTest::addColumn<QStringList>("numbers"); // incoming items of 2026; "*" marks a cancelled one
        QTest::addColumn<QStringList>("findings"); // kind|numbers|text
        QTest::newRow("cancelled in the middle")
            << QStringList{"1/26", "*2/26", "3/26"}
            << QStringList{"Stornirano|2/26|Stavka upisana 10.02.2026 je stornirana: dupli unos"};
        QTest::newRow("cancelled last, one missing")
            << QStringList{"1/26", "*3/26"}
            << QStringList{"Nedostaje|2/26|Nedostaje 1 broj u nizu do 3/26.",
                           "Stornirano|3/26|Stavka upisana 10.02.2026 je stornirana: dupli unos"};
        QTest::newRow("nothing cancelled") << QStringList{"1/26", "2/26"} << QStringList{};
    }
    void continuityCountsCancelled()
    {
        QFETCH(QStringList, numbers);
        QFETCH(QStringList, findings);
        QList<TContinuityRow> rows;
        for (const QString &n : numbers) {
            TContinuityRow row;
            row.Id = rows.size() + 1;
            row.Direction = 1;
            row.Cancelled = n.startsWith(u'*');
            row.Number = row.Cancelled ? n.mid(1) : n;
            row.CancelReason = row.Cancelled ? QStringLiteral("dupli unos") : QString();
            row.When = QDateTime(QDate(2026, 2, 10), QTime(9, 0));
            rows << row;
        }
        QStringList found;
        for (const TContinuityFinding &f : CheckContinuity(2026, rows))
            found << ContinuityKindCaption(f.Kind) + u'|' + f.Numbers + u'|' + f.Text;
        QCOMPARE(found, findings);
    }

    // The read brings the storno along.
    void continuityReadsCancelled()
    {
        const qint64 id = storno::addOwnItem(fx);
        storno::cancel(fx, id, QStringLiteral("Pogrešna godina"));
        const auto rows = ReadContinuityRows(fx.Db.Connection(), QDate::currentDate().year());
        const auto row = std::find_if(rows.begin(), rows.end(), [id](const TContinuityRow &r) { return r.Id == id; });
        QVERIFY(row != rows.end());
        QVERIFY(row->Cancelled);
        QCOMPARE(row->CancelReason, QStringLiteral("Pogrešna godina"));
    }

private:
    LedgerFixture fx;
};

QTEST_MAIN(TestStorno)
#include "tst_storno.moc"
