// Storno: who may cancel, the reason, every write of a cancelled item refused
// (by the data layer and the database's trigger), two desks, the form, the
// list, the CSV file and the numbering check.

#include "Clock.h"
#include "CsvReader.h"
#include "DBControls.h"
#include "DBGrid.h"
#include "KException.h"
#include "integration/GlobalConsole.h"
#include "StornoFixture.h"
#include "ZQuery.h"
#include "data/LedgerContinuity.h"
#include "data/LedgerCsvExport.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerSearchCriteria.h"
#include "screens/CancelItemDialog.h"
#include "screens/LedgerViewerUnit.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using storno::refusal;

const QString CancelledMsg =
    QStringLiteral("Stavka %1 je stornirana: ne može se menjati, brisati, prihvatiti ni predati, niti dobiti prilog.");

class TestStorno : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { REQUIRE_TESTDB(fx.Db); fx.Start(QStringLiteral("ana")); }
    void init() { REQUIRE_TESTDB(fx.Db); GlobalConsole = fx.Console; }
    void cleanupTestCase() { fx.Stop(); }

    void whoMayCancel_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<bool>("admin");
        QTest::addColumn<QString>("state");   // own, accepted, passon, cancelled
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("refused"); // %1: the number; empty: cancelled
        QTest::newRow("its author") << "ana" << false << "own" << "Greškom zavedeno" << "";
        QTest::newRow("empty reason") << "ana" << false << "own" << " \n " << "Unesite razlog storniranja.";
        QTest::newRow("long reason") << "ana" << false << "own" << QString(501, u'x') << "Razlog storniranja je duži od 500 znakova.";
        QTest::newRow("another clerk") << "marko" << false << "own" << "x" << "Stavku %1 stornira korisnik koji ju je zaveo ili administrator.";
        QTest::newRow("an administrator") << "marko" << true << "own" << "Dupli unos" << "";
        QTest::newRow("accepted, author") << "ana" << false << "accepted" << "x" << "Stavka %1 je prihvaćena: stornira je administrator.";
        QTest::newRow("accepted, administrator") << "marko" << true << "accepted" << "Kasno" << "";
        QTest::newRow("pass-on copy") << "ana" << true << "passon" << "x"
                                      << "Stavka %1 je prosleđeni primerak i ne stornira se posebno: stornira se stavka od koje je nastala.";
        QTest::newRow("cancelled already") << "ana" << false << "cancelled" << "x" << "Stavka %1 je već stornirana.";
    }
    void whoMayCancel()
    {
        QFETCH(QString, login); QFETCH(bool, admin); QFETCH(QString, state); QFETCH(QString, reason); QFETCH(QString, refused);
        QVariantMap values{{QStringLiteral("accepted"), state == QLatin1String("accepted") ? "y" : "n"}};
        if (state == QLatin1String("passon"))
            values.insert(QStringLiteral("passonparentid"), storno::addOwnItem(fx));
        const qint64 id = storno::addOwnItem(fx, values);
        if (state == QLatin1String("cancelled"))
            storno::cancel(fx, id);
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        const int entries = fx.Count(QStringLiteral("ledgerhistory"));
        TClock::TFixed clock(QDateTime(QDate(2026, 3, 4), QTime(9, 15)));
        QCOMPARE(refusal([&] {
                     CancelLedgerItem(fx.Db.Connection(), id, reason, storno::deskUser(fx, login, admin), storno::actor(fx, login));
                 }),
                 refused.isEmpty() ? QString() : refused.arg(number));
        QCOMPARE(fx.Count(QStringLiteral("ledgerhistory")), entries + (refused.isEmpty() ? 1 : 0));
        if (!refused.isEmpty())
            return;
        QCOMPARE(QStringList({fx.Cell(id, "cancelled"), fx.Cell(id, "cancelreason"), fx.Cell(id, "cancelledat").replace(u'T', u' ').left(16),
                              fx.Cell(id, "ledgernumber")}),
                 QStringList({"y", reason, "2026-03-04 09:15", number}));
        QCOMPARE(fx.Cell(id, QStringLiteral("cancelledby")).toLongLong(), fx.UserId(login));
        QCOMPARE(LedgerItemHistory(fx.Db.Connection(), id).first().Values.size(), 4);
    }

    void refusesWrites_data()
    {
        QTest::addColumn<QString>("path");
        for (const char *path : {"edit", "delete", "accept", "pass on", "enclosure", "direct update", "direct delete"})
            QTest::newRow(path) << path;
    }
    void refusesWrites()
    {
        QFETCH(QString, path);
        const qint64 id = storno::addOwnItem(fx, {{QStringLiteral("outuserid"), fx.UserId(QStringLiteral("ana"))}});
        storno::cancel(fx, id);
        const QVariantList before = fx.Row(id);
        ScopedScriptedDialogs dialogs;
        auto set = LedgerFixture::OpenItem(id);
        TZQuery &q = *set->LedgerItemZQ;
        const QString message = refusal([&] {
            if (path == QLatin1String("edit") || path == QLatin1String("accept")) {
                q.Edit();
                path == QLatin1String("edit") ? set->LedgerItemZQitemnumber->SetAsString(QStringLiteral("IZMENA"))
                                              : set->LedgerItemZQaccepted->SetAsBoolean(true);
                q.Post();
            } else if (path == QLatin1String("delete")) {
                q.Delete();
            } else if (path == QLatin1String("pass on")) {
                LedgerDM->PassOnLedgerItem(int(id), int(fx.UserId(QStringLiteral("ana"))));
            } else if (path == QLatin1String("enclosure")) {
                LedgerDM->AddAdditionalItem(int(id));
            } else {
                try { // any program: the database's trigger refuses
                    fx.Db.Connection().ExecSQL(path == QLatin1String("direct update")
                                                   ? QStringLiteral("UPDATE ledgeritem SET cancelled = 'n' WHERE ledgeritemid = ?")
                                                   : QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {id});
                } catch (const EDatabaseError &e) {
                    if (IsCancelledRowRefusal(e))
                        throw KException(CancelledItemMessage(fx.Cell(id, QStringLiteral("ledgernumber"))));
                }
            }
        });
        QCOMPARE(message, CancelledMsg.arg(fx.Cell(id, QStringLiteral("ledgernumber"))));
        QVERIFY(dialogs->Messages.isEmpty()); // refused before any question
        QCOMPARE(fx.Row(id), before);
        QCOMPARE(q.State(), path == QLatin1String("edit") || path == QLatin1String("accept") ? TDataSetState::Edit
                                                                                         : TDataSetState::Browse);
    }

    // Desk A has the item open; desk B, on its own connection, acts first.
    void twoDesks_data()
    {
        QTest::addColumn<QString>("first");  // desk B: cancel, edit
        QTest::addColumn<QString>("second"); // desk A: cancel, edit, delete
        QTest::addColumn<QString>("refused");
        QTest::newRow("cancel, cancel") << "cancel" << "cancel" << "Stavka %1 je već stornirana.";
        QTest::newRow("cancel, edit") << "cancel" << "edit" << CancelledMsg;
        QTest::newRow("cancel, delete") << "cancel" << "delete" << CancelledMsg;
        QTest::newRow("edit, cancel") << "edit" << "cancel" << "";
    }
    void twoDesks()
    {
        QFETCH(QString, first); QFETCH(QString, second); QFETCH(QString, refused);
        const qint64 id = storno::addOwnItem(fx);
        auto set = LedgerFixture::OpenItem(id);
        if (second == QLatin1String("edit")) {
            set->LedgerItemZQ->Edit();
            set->LedgerItemZQitemnumber->SetAsString(QStringLiteral("A-1"));
        }
        auto other = fx.Db.OpenSecondConnection();
        if (first == QLatin1String("cancel"))
            CancelLedgerItem(*other, id, QStringLiteral("B"), storno::deskUser(fx, QStringLiteral("marko"), true),
                             storno::actor(fx, QStringLiteral("marko")));
        else
            other->ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemnumber = 'B-7' WHERE ledgeritemid = ?"), {id});
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers = {mbYes};
        const QString message = refusal([&] {
            second == QLatin1String("cancel") ? storno::cancel(fx, id, QStringLiteral("A"))
            : second == QLatin1String("edit") ? set->LedgerItemZQ->Post()
                                              : set->LedgerItemZQ->Delete();
        });
        QCOMPARE(message, refused.arg(fx.Cell(id, QStringLiteral("ledgernumber"))));
        QCOMPARE(fx.Cell(id, QStringLiteral("cancelreason")), first == QLatin1String("cancel") ? "B" : "A");
        QCOMPARE(fx.Cell(id, QStringLiteral("itemnumber")).startsWith(u'A'), false); // desk A's edit never lands
    }

    // The form asks; an empty reason is refused and the dialog keeps it; the
    // form turns read-only with who and when.
    void formCancels()
    {
        const qint64 id = storno::addOwnItem(fx);
        DetailFormOn on(id);
        on.form.UpdateActions();
        QString question, kept;
        on.dialogs->ModalHandlers.push_back([&](QDialog &d) {
            auto &dialog = dynamic_cast<TCancelItemDialog &>(d);
            question = dialog.QuestionLabel->text();
            dialog.ReasonEdit->setPlainText(QStringLiteral("   "));
            dialog.CancelItemButton->click();
            kept = dialog.result() == 0 ? dialog.ReasonEdit->toPlainText() : QString();
            dialog.ReasonEdit->setPlainText(QStringLiteral("Dupli unos"));
            dialog.CancelItemButton->click();
            return dialog.result();
        });
        TClock::TFixed clock(QDateTime(QDate(2026, 3, 4), QTime(9, 15)));
        on.form.CancelItemAction->trigger();
        QCOMPARE(question, QStringLiteral("Stornirati stavku %1 (Ulazni, Dopis)?\nStavka ostaje u delovodniku pod svojim "
                                          "brojem, ali se posle storniranja više ne može menjati.")
                               .arg(fx.Cell(id, QStringLiteral("ledgernumber"))));
        QCOMPARE(on.dialogs->Messages.value(0).Text, QStringLiteral("Unesite razlog storniranja."));
        QCOMPARE(kept, QStringLiteral("   "));
        const auto readOnly = [](TLedgerDetailForm &form) {
            form.UpdateActions();
            return form.ReadOnlyLabel->text() == QStringLiteral("Stornirano: Dupli unos (Ana Petrović, 04.03.2026 09:15)")
                   && !form.CancelItemAction->isEnabled() && !form.AdditionalItemAction->isEnabled()
                   && !form.TypeDBCB->isEnabled();
        };
        QVERIFY(readOnly(on.form));
        DetailFormOn reopened(id);
        QVERIFY(readOnly(reopened.form));
    }

    void listStrikesCancelled()
    {
        const QVariantMap now{{QStringLiteral("ledgerdatetime"), QDateTime::currentDateTime()}};
        const qint64 kept = storno::addOwnItem(fx, now), cancelled = storno::addOwnItem(fx, now);
        storno::cancel(fx, cancelled, QStringLiteral("Zavedeno dva puta"));
        TLedgerViewerForm viewer(nullptr);
        viewer.TodayActionExecute();
        const TZQuery &q = *viewer.Items().LedgerItemZQ;
        const auto cell = [&](qint64 id, int role) {
            for (int r = 0; r < q.RecordCount(); ++r)
                if (q.ValueAt(r, *viewer.Items().LedgerItemZQledgeritemid).toLongLong() == id)
                    return viewer.DBG->GridModel()->index(r, 1).data(role);
            return QVariant();
        };
        QVERIFY(cell(cancelled, Qt::FontRole).value<QFont>().strikeOut());
        QVERIFY(!cell(kept, Qt::FontRole).value<QFont>().strikeOut());
        QCOMPARE(cell(cancelled, Qt::ToolTipRole).toString(), QStringLiteral("Stornirano: Zavedeno dva puta"));
        QVERIFY(cell(kept, Qt::ToolTipRole).isNull());
        // With KLEDGER_SCREENSHOT_DIR set: storno-lista.png and storno-pitanje.png.
        if (const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR"); !dir.isEmpty()) {
            viewer.Items().LedgerItemZQ->Locate(QVariant::fromValue(kept));
            QVERIFY(LedgerFixture::Show(viewer, QSize(1000, 420)));
            viewer.grab().save(dir + QStringLiteral("/storno-lista.png"));
            TCancelItemDialog dialog(QStringLiteral("Stornirati stavku %1 (Ulazni, Dopis)?\nStavka ostaje u delovodniku pod "
                                                    "svojim brojem, ali se posle storniranja više ne može menjati.")
                                         .arg(fx.Cell(kept, QStringLiteral("ledgernumber"))));
            dialog.ReasonEdit->setPlainText(QStringLiteral("Dopis je zaveden pod pogrešnim partnerom."));
            QVERIFY(LedgerFixture::Show(dialog, dialog.size()));
            dialog.grab().save(dir + QStringLiteral("/storno-pitanje.png"));
        }
    }

    // The CSV file ends with the storno; the numbering check reads it.
    void csvAndContinuityRead()
    {
        const qint64 id = storno::addOwnItem(fx);
        storno::cancel(fx, id, QStringLiteral("Poništeno; \"dupli\""));
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("storno.csv"));
        QCOMPARE(ExportLedgerCsv(fx.Db.Connection(),
                                 LedgerExportCriteria({{QStringLiteral("ledgernumber"), fx.Cell(id, "ledgernumber")}}), file, {}),
                 1);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const CsvContent csv = ReadCsv(f.readAll());
        QCOMPARE(csv.Rows[0].mid(csv.Rows[0].size() - 2), QStringList({"Stornirano", "Razlog storniranja"}));
        QCOMPARE(csv.Rows[1].mid(csv.Rows[1].size() - 2), QStringList({"Da", "Poništeno; \"dupli\""}));
        QStringList read;
        for (const TContinuityRow &row : ReadContinuityRows(fx.Db.Connection(), QDate::currentDate().year()))
            if (row.Id == id && row.Cancelled)
                read << row.CancelReason;
        QCOMPARE(read, QStringList({"Poništeno; \"dupli\""}));
    }

    void continuityCountsCancelled_data()
    {
        QTest::addColumn<QStringList>("numbers");  // incoming items of 2026; "*" marks a cancelled one
        QTest::addColumn<QStringList>("findings"); // kind|numbers|text
        const QString cancelled = QStringLiteral("Stornirano|%1|Stavka upisana 10.02.2026 je stornirana: dupli unos");
        QTest::newRow("in the middle") << QStringList{"1/26", "*2/26", "3/26"} << QStringList{cancelled.arg("2/26")};
        QTest::newRow("last, one missing") << QStringList{"1/26", "*3/26"}
                                           << QStringList{"Nedostaje|2/26|Nedostaje 1 broj u nizu do 3/26.", cancelled.arg("3/26")};
        QTest::newRow("none") << QStringList{"1/26", "2/26"} << QStringList{};
    }
    void continuityCountsCancelled()
    {
        QFETCH(QStringList, numbers); QFETCH(QStringList, findings);
        QList<TContinuityRow> rows;
        for (const QString &n : numbers) {
            const bool cancelled = n.startsWith(u'*');
            rows << TContinuityRow{rows.size() + 1, 1, n.mid(cancelled ? 1 : 0), QDateTime(QDate(2026, 2, 10), QTime(9, 0)),
                                   false, false, 0, {}, cancelled, QStringLiteral("dupli unos")};
        }
        QStringList found;
        for (const TContinuityFinding &f : CheckContinuity(2026, rows))
            found << ContinuityKindCaption(f.Kind) + u'|' + f.Numbers + u'|' + f.Text;
        QCOMPARE(found, findings);
    }

private:
    LedgerFixture fx;
};

QTEST_MAIN(TestStorno)
#include "tst_storno.moc"
