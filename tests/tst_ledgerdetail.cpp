// The ledger item's detail form over a real database, with the console's own
// services behind GlobalConsole and every dialog scripted.

#include "Clock.h"
#include "TestRows.h"
#include "CommonStrings.h"
#include "DBControls.h"
#include "KException.h"
#include "LedgerFixture.h"
#include "SerbianQtTexts.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "integration/LedgerRegistration.h"
#include "screens/GetLedgerUnit.h"
#include "screens/LedgerDetailUnit.h"
#include "screens/LedgerNavigatorUnit.h"
#include "screens/LedgerViewerUnit.h"

#include "ValueListEditor.h"

#include <QAction>
#include <QCalendarWidget>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// The item set of the form (or list) a test works on.
TLedgerItems *g_items = nullptr;
TZQuery &query() { return *g_items->LedgerItemZQ; }

// Replaces the text of an edit (or an editable combo's edit) as typed.
void typeInto(QLineEdit *edit, const QString &text)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// Chooses an item of a drop-down list with the arrow keys, as a user does.
void chooseByKeys(QComboBox *combo, const QString &text)
{
    const int target = combo->findText(text);
    QVERIFY(target >= 0);
    while (combo->currentIndex() < target)
        QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() > target)
        QTest::keyClick(combo, Qt::Key_Up);
}

} // namespace

class TestLedgerDetail : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        InstallSerbianTexts(*qApp);
        fx.Start();
    }

    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        GlobalConsole = fx.Console;
        fx.LoginAs(QStringLiteral("ana"));
    }

    void cleanup() { g_items = nullptr; }

    void cleanupTestCase() { fx.Stop(); }

    // ---- Who may change an item -------------------------------------------------------------

    void lock_data()
    {
        QTest::addColumn<QString>("login"); // empty: nobody logged in
        QTest::addColumn<QString>("inUser");
        QTest::addColumn<QString>("author");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("reason"); // the line above the page; empty: hidden
        const QString accepted = QStringLiteral("Samo za čitanje: stavka je prihvaćena (primalac: Jelena Đorđević).");
        QTest::newRow("my own item") << "ana" << "" << "ana" << false << false << "";
        QTest::newRow("handed over by me") << "ana" << "ana" << "marko" << false << false << "";
        QTest::newRow("my own item, accepted") << "ana" << "" << "ana" << true << true << accepted;
        QTest::newRow("handed over by me, accepted") << "ana" << "ana" << "marko" << true << true << accepted;
        QTest::newRow("someone else's") << "ana" << "jelena" << "marko" << false << true
                                        << "Samo za čitanje: stavka pripada drugom korisniku (Marko Jovanović).";
        QTest::newRow("nobody logged in") << "" << "" << "ana" << false << true
                                          << "Samo za čitanje: niste prijavljeni kao korisnik.";
    }

    void lock()
    {
        QFETCH(QString, login);
        QFETCH(QString, inUser);
        QFETCH(QString, author);
        QFETCH(bool, accepted);
        QFETCH(bool, locked);
        QFETCH(QString, reason);

        fx.LoginAs(login);
        const QVariant in = inUser.isEmpty() ? QVariant(QMetaType::fromType<qint64>()) : QVariant(fx.UserId(inUser));
        const qint64 id = fx.AddItem({{"inuserid", in}, {"userid", fx.UserId(author)}, {"accepted", accepted ? "y" : "n"},
                                      {"outuserid", fx.UserId(QStringLiteral("jelena"))},
                                      {"partnerid", fx.Scalar(QStringLiteral("SELECT MIN(partnerid) FROM partner"))}});
        DetailFormOn on(id);
        g_items = &on.items();
        const TLedgerDetailForm &form = on.form;
        QCOMPARE(form.ReadOnlyLabel->isVisible(), !reason.isEmpty());
        if (!reason.isEmpty())
            QCOMPARE(form.ReadOnlyLabel->text(), reason);
        // The page keeps its size; the line fits above it on a small screen.
        QCOMPARE(form.PageControl->height(), 564);
        QVERIFY(form.height() <= 700 - 40);
        QVERIFY(form.ReadOnlyLabel->heightForWidth(form.ReadOnlyLabel->width()) <= form.ReadOnlyLabel->height());
        // Locked edits look it, and their picked fields cannot be cleared.
        QCOMPARE(form.ItemNumberDBE->palette().color(QPalette::Base) == form.palette().color(QPalette::Button), locked);
        QCOMPARE(form.PartnerClearAction->isEnabled(), !locked);
        const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR");
        if (locked && !dir.isEmpty()) {
            // Laid out as the user sees it: the page's scroll area settles its bars then.
            QVERIFY(QTest::qWaitForWindowExposed(&on.form));
            QVERIFY(on.form.grab().save(dir + QStringLiteral("/ledgerdetail-locked.png")));
        }
        for (QWidget *w : QList<QWidget *>{form.TypeDBCB, form.ItemTypeDBCB, form.InMailTypeDBCB, form.OutMailTypeDBCB,
                                           form.DateTimeButton, form.LinkedToButton, form.PartnerButton,
                                           form.ItemDateButton, form.InUserButton, form.OutUserButton})
            QVERIFY2(w->isEnabled() == !locked, qPrintable(w->objectName()));
        for (TDBEdit *e : {form.DatetimeDBE, form.NumberDBE, form.ItemDateDBE, form.ItemNumberDBE, form.InMailNumberDBE,
                           form.OutMailNumberDBE})
            QVERIFY2(e->isReadOnly() == locked, qPrintable(e->objectName()));
        // Never typed, whoever opens the item; the document and archive stay open;
        // the partner is typed as long as the item may change.
        QVERIFY(!on.form.DBCheckBox1->isEnabled());
        QCOMPARE(on.form.DBEdit3->isReadOnly(), locked);
        QVERIFY(on.form.Button5->isEnabled());
        QVERIFY(on.form.DBCheckBox2->isEnabled());
        QVERIFY(!on.form.DBEdit13->isReadOnly());

        // Typing into a locked edit starts no edit.
        typeInto(on.form.ItemNumberDBE, QStringLiteral("NOVI-1"));
        QCOMPARE(query().State(), locked ? TDataSetState::Browse : TDataSetState::Edit);
        QVERIFY(on.dialogs->Messages.isEmpty());
    }

    // ---- Numbering ------------------------------------------------------------------------------

    // Items of years no sample item reaches, so that the test's own rows alone
    // decide the count; the numbering counts a direction's items of the item's
    // year only.
    void renumberOnDirection_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("later"); // outgoing items filed the year after
        QTest::addColumn<QString>("expected");
        QTest::newRow("incoming to outgoing") << "Izlazni" << -1 << 2096 << 0 << "1/96";
        QTest::newRow("incoming to internal") << "Interni" << 0 << 2096 << 0 << "1/96";
        // The next year's outgoing item does not count in last year's numbers.
        QTest::newRow("last year's item to outgoing") << "Izlazni" << -1 << 2098 << 1 << "1/98";
    }

    void renumberOnDirection()
    {
        QFETCH(QString, caption);
        QFETCH(int, direction);
        QFETCH(int, year);
        QFETCH(int, later);
        QFETCH(QString, expected);

        for (int i = 0; i < later; ++i)
            fx.AddItem({{"direction", -1}, {"ledgerdatetime", QDateTime(QDate(year + 1, 1, 10), QTime(8, 0))}});
        const qint64 id = fx.AddItem({{QStringLiteral("ledgerdatetime"), QDateTime(QDate(year, 3, 4), QTime(9, 15))}});
        DetailFormOn on(id);
        g_items = &on.items();
        QCOMPARE(on.form.TypeDBCB->currentText(), QStringLiteral("Ulazni"));

        chooseByKeys(on.form.TypeDBCB, caption);
        QCOMPARE(on.form.NumberDBE->text(), expected);
        QCOMPARE(g_items->LedgerItemZQdirection->AsInteger(), direction);
        QVERIFY(on.form.CustomApply->isEnabled());

        on.form.ApplyButton->click();
        QVERIFY2(on.dialogs->Messages.isEmpty(), qPrintable(on.dialogs->Messages.value(0).Text));
        QCOMPARE(fx.Cell(id, QStringLiteral("ledgernumber")), expected);
        QCOMPARE(fx.Cell(id, QStringLiteral("direction")).toInt(), direction);
        QVERIFY(!on.form.CustomApply->isEnabled());
    }

    void dateChangeKeepsNumber_data()
    {
        flagRows("picker", {{"date from the picker, another year", true}, {"date typed", false}});
    }

    void dateChangeKeepsNumber()
    {
        QFETCH(bool, picker);
        // A number of the year the date moves to: only another year renumbers.
        const qint64 id = fx.AddItem({{QStringLiteral("ledgernumber"), QStringLiteral("T%1/24").arg(fx.Serial() + 1)}});
        auto opened = LedgerFixture::OpenItem(id);
        g_items = opened.get();
        const QString number = g_items->LedgerItemZQledgernumber->AsString();
        const QDateTime when(QDate(2024, 2, 29), QTime(13, 45, 10));
        ScopedScriptedDialogs dialogs;
        TLedgerDetailForm form(nullptr, std::move(opened));
        form.show();
        if (picker) {
            dialogs->DateTimeAnswers.push_back(when);
            form.DateTimeButton->click();
        } else {
            typeInto(form.DatetimeDBE, QStringLiteral("29.02.2024 13:45:10"));
        }
        form.ApplyButton->click();
        QVERIFY2(dialogs->Messages.isEmpty(), qPrintable(dialogs->Messages.value(0).Text));
        QCOMPARE(form.NumberDBE->text(), number);
        QCOMPARE(fx.Cell(id, QStringLiteral("ledgernumber")), number);
        QCOMPARE(g_items->LedgerItemZQledgerdatetime->AsDateTime(), when);
    }

    // ---- OK, Apply, Cancel and closing --------------------------------------------------------------

    void okButton_data()
    {
        QTest::addColumn<QString>("typed"); // into "Broj dokumenta"; empty: nothing
        QTest::newRow("unchanged") << "";
        QTest::newRow("changed") << "ZZ-99/26";
    }

    void okButton()
    {
        QFETCH(QString, typed);
        const qint64 id = fx.AddItem();
        auto opened = LedgerFixture::OpenItem(id);
        g_items = opened.get();
        QVariantList before = fx.Row(id);
        ScopedScriptedDialogs dialogs;
        TLedgerDetailForm form(nullptr, std::move(opened));
        form.show();
        if (!typed.isEmpty())
            typeInto(form.ItemNumberDBE, typed);
        form.OKButton->click();

        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY2(dialogs->Messages.isEmpty(), qPrintable(dialogs->Messages.value(0).Text));
        QCOMPARE(query().State(), TDataSetState::Browse);
        const QVariantList after = fx.Row(id);
        if (typed.isEmpty()) {
            QCOMPARE(after, before);
        } else {
            QCOMPARE(fx.Cell(id, QStringLiteral("itemnumber")), typed);
            QCOMPARE(form.LedgerItemID(), qint32(id));
        }
    }

    void closeQuery_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("clearItemType"); // makes the post fail
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<bool>("stored");
        QTest::newRow("cancel") << int(mbCancel) << false << true << false;
        QTest::newRow("no") << int(mbNo) << false << false << false;
        QTest::newRow("yes") << int(mbYes) << false << false << true;
        QTest::newRow("yes, but the store is refused") << int(mbYes) << true << true << false;
    }

    void closeQuery()
    {
        QFETCH(int, answer);
        QFETCH(bool, clearItemType);
        QFETCH(bool, staysOpen);
        QFETCH(bool, stored);

        const qint64 id = fx.AddItem();
        auto opened = LedgerFixture::OpenItem(id);
        g_items = opened.get();
        const QString oldNumber = g_items->LedgerItemZQitemnumber->AsString();
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers.push_back(answer);
        TLedgerDetailForm form(nullptr, std::move(opened));
        form.show();
        typeInto(form.ItemNumberDBE, QStringLiteral("NOVO-5"));
        if (clearItemType)
            typeInto(form.ItemTypeDBCB->lineEdit(), QString());
        form.close();

        QVERIFY(!dialogs->Messages.isEmpty());
        QCOMPARE(dialogs->Messages.first().Text, _CMN_SAVE_CHANGES_PROMT);
        QCOMPARE(dialogs->Messages.first().Type, TMsgDlgType::Confirmation);
        QCOMPARE(dialogs->Messages.first().Buttons, mbYes | mbNo | mbCancel);
        QCOMPARE(form.isVisible(), staysOpen);
        QCOMPARE(fx.Cell(id, QStringLiteral("itemnumber")), stored ? QStringLiteral("NOVO-5") : oldNumber);
        if (staysOpen) {
            // Nothing the user typed is lost.
            QCOMPARE(query().State(), TDataSetState::Edit);
            QCOMPARE(form.ItemNumberDBE->text(), QStringLiteral("NOVO-5"));
            if (clearItemType) {
                QCOMPARE(dialogs->Messages.size(), 2);
                QCOMPARE(dialogs->Messages.at(1).Type, TMsgDlgType::Error);
            }
        } else {
            QCOMPARE(query().State(), TDataSetState::Browse);
            QCOMPARE(g_items->LedgerItemZQitemnumber->AsString(), stored ? QStringLiteral("NOVO-5") : oldNumber);
            QCOMPARE(dialogs->Messages.size(), 1);
        }
    }

    void refusedStore_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty document type, OK")
            << "ItemTypeDBCB" << "" << "OKButton" << FormatStr(_CMN_FIELD_REQUIRED_ERR, {QStringLiteral("Vrsta dokumenta")});
        QTest::newRow("empty document type, Apply")
            << "ItemTypeDBCB" << "" << "ApplyButton" << FormatStr(_CMN_FIELD_REQUIRED_ERR, {QStringLiteral("Vrsta dokumenta")});
        QTest::newRow("number of another incoming item, OK")
            << "NumberDBE" << "<other>" << "OKButton" << FormatStr(_CMN_FIELD_INVALIDE_ERR, {QStringLiteral("Delovodni broj")});
        QTest::newRow("empty number, Apply")
            << "NumberDBE" << "" << "ApplyButton" << FormatStr(_CMN_FIELD_REQUIRED_ERR, {QStringLiteral("Delovodni broj")});
        QTest::newRow("date and time that is no date, OK")
            << "DatetimeDBE" << "31.02.2026 10:00:00" << "OKButton"
            << QStringLiteral("Polje 'Datum i vreme': '31.02.2026 10:00:00' nije datum i vreme (piše se npr. 01.11.2026 14:30).");
    }

    void refusedStore()
    {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, message);

        const qint64 other = fx.AddItem();
        const qint64 id = fx.AddItem();
        if (typed == QLatin1String("<other>"))
            typed = fx.Cell(other, QStringLiteral("ledgernumber"));
        auto opened = LedgerFixture::OpenItem(id);
        g_items = opened.get();
        const QVariantList before = fx.Row(id);
        ScopedScriptedDialogs dialogs;
        TLedgerDetailForm form(nullptr, std::move(opened));
        form.show();
        typeInto(form.ItemNumberDBE, QStringLiteral("ZADRŽI-1"));
        QWidget *target = form.findChild<QWidget *>(control);
        QVERIFY(target);
        QLineEdit *edit = qobject_cast<QComboBox *>(target) ? qobject_cast<QComboBox *>(target)->lineEdit()
                                                            : qobject_cast<QLineEdit *>(target);
        QVERIFY(edit);
        typeInto(edit, typed);

        form.findChild<QPushButton *>(button)->click();

        QCOMPARE(dialogs->Messages.size(), 1);
        QCOMPARE(dialogs->Messages.first().Type, TMsgDlgType::Error);
        QCOMPARE(dialogs->Messages.first().Text, message);
        QVERIFY(form.isVisible());
        QCOMPARE(query().State(), TDataSetState::Edit);
        QCOMPARE(edit->text(), typed);
        QCOMPARE(form.ItemNumberDBE->text(), QStringLiteral("ZADRŽI-1"));
        QCOMPARE(fx.Row(id), before);
        QVERIFY(form.CustomApply->isEnabled());
    }

    // ---- Typed dates ---------------------------------------------------------------------------------

    void typedDates_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // as the database has it, to the minute; empty: refused
        QTest::newRow("d.M.yyyy") << "ItemDateDBE" << "5.3.2026" << "2026-03-05";
        QTest::newRow("dd.MM.yyyy") << "ItemDateDBE" << "05.03.2026" << "2026-03-05";
        QTest::newRow("dd.MM.yy") << "ItemDateDBE" << "05.03.26" << "2026-03-05";
        QTest::newRow("yyyy-MM-dd") << "ItemDateDBE" << "2026-03-05" << "2026-03-05";
        QTest::newRow("closing dot") << "ItemDateDBE" << "5.3.26." << "2026-03-05";
        QTest::newRow("no such day") << "ItemDateDBE" << "31.02.2026" << "";
        QTest::newRow("words") << "ItemDateDBE" << "5. mart" << "";
        QTest::newRow("date and time, d.M.yyyy H:mm") << "DatetimeDBE" << "5.3.2026 9:05" << "2026-03-05 09:05";
        QTest::newRow("date and time, dd.MM.yy.") << "DatetimeDBE" << "05.03.26." << "2026-03-05 00:00";
        QTest::newRow("date and time, ISO") << "DatetimeDBE" << "2026-03-05 14:30" << "2026-03-05 14:30";
        QTest::newRow("date and time, no such hour") << "DatetimeDBE" << "05.03.2026 25:00" << "";
        QTest::newRow("date and time, time first") << "DatetimeDBE" << "14:30 05.03.2026" << "";
    }

    void typedDates()
    {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        const QString column = control == QLatin1String("ItemDateDBE") ? QStringLiteral("itemdate") : QStringLiteral("ledgerdatetime");
        const qint64 id = fx.AddItem();
        const QString before = fx.Cell(id, column);
        DetailFormOn on(id);
        g_items = &on.items();
        auto *edit = on.form.findChild<TDBEdit *>(control);
        typeInto(edit, typed);
        on.form.OKButton->click();

        if (stored.isEmpty()) {
            QCOMPARE(on.dialogs->Messages.size(), 1);
            const QString label = column == QLatin1String("itemdate") ? QStringLiteral("Datum dokumenta") : QStringLiteral("Datum i vreme");
            QVERIFY2(on.dialogs->Messages.first().Text.startsWith(QStringLiteral("Polje '%1': '%2' nije datum").arg(label, typed)),
                     qPrintable(on.dialogs->Messages.first().Text));
            QVERIFY(on.form.isVisible());
            QCOMPARE(edit->text(), typed);
            QCOMPARE(fx.Cell(id, column), before);
            return;
        }
        QVERIFY2(on.dialogs->Messages.isEmpty(), qPrintable(on.dialogs->Messages.value(0).Text));
        QVERIFY(!on.form.isVisible());
        QCOMPARE(fx.Cell(id, column).replace(u'T', u' ').left(stored.size()), stored);
    }

    // ---- Clearing picked fields ----------------------------------------------------------------------

    void clearPicked_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("column");
        QTest::newRow("partner") << "PartnerClearAction" << "DBEdit3" << "partnerid";
        QTest::newRow("document") << "DocumentClearAction" << "DBEdit2" << "documentid";
        QTest::newRow("handed over by") << "InUserClearAction" << "DBEdit11" << "inuserid";
        QTest::newRow("meant for") << "OutUserClearAction" << "DBEdit10" << "outuserid";
        QTest::newRow("linked to") << "LinkToClearAction" << "DBEdit12" << "parentid";
    }

    void clearPicked()
    {
        QFETCH(QString, action);
        QFETCH(QString, edit);
        QFETCH(QString, column);
        const qint64 parent = fx.AddItem();
        const qint64 id = fx.AddItem({{"partnerid", fx.Scalar(QStringLiteral("SELECT MIN(partnerid) FROM partner"))},
                                      {"documentid", fx.Scalar(QStringLiteral("SELECT MIN(documentid) FROM document"))},
                                      {"inuserid", fx.UserId(QStringLiteral("marko"))},
                                      {"outuserid", fx.UserId(QStringLiteral("jelena"))},
                                      {"parentid", parent}});
        DetailFormOn on(id);
        auto *shown = on.form.findChild<TDBEdit *>(edit);
        auto *clear = on.form.findChild<QAction *>(action);
        QVERIFY(!shown->text().isEmpty());
        QVERIFY(shown->actions().contains(clear));
        QVERIFY(clear->isVisible() && clear->isEnabled());
        QCOMPARE(clear->toolTip(), QStringLiteral("Obriši"));

        clear->trigger();
        QCOMPARE(shown->text(), QString());
        QVERIFY(!clear->isVisible());
        on.form.OKButton->click();

        QVERIFY2(on.dialogs->Messages.isEmpty(), qPrintable(on.dialogs->Messages.value(0).Text));
        QCOMPARE(fx.Cell(id, column), QString());
        QVERIFY(!fx.Cell(id, QStringLiteral("itemnumber")).isEmpty());
    }

    // ---- Linking --------------------------------------------------------------------------------------

    void linkedToOnOpen_data() { flagRows("withParent", {{"linked", true}, {"not linked", false}}); }

    void linkedToOnOpen()
    {
        QFETCH(bool, withParent);
        const QString parentNumber = QStringLiteral("RODITELJ-%1").arg(fx.Serial());
        const qint64 parent = fx.AddItem({{QStringLiteral("ledgernumber"), parentNumber}});
        const qint64 id = withParent ? fx.AddItem({{QStringLiteral("parentid"), parent}}) : fx.AddItem();
        DetailFormOn on(id);
        g_items = &on.items();
        QCOMPARE(on.form.DBEdit12->text(), withParent ? parentNumber : QString());
        QCOMPARE(query().State(), TDataSetState::Browse);
        QVERIFY(!on.form.CustomApply->isEnabled());
        QVERIFY(!on.form.ApplyButton->isEnabled());
        QVERIFY(on.form.OKButton->isEnabled());
        QCOMPARE(on.form.LedgerItemID(), qint32(id));
    }

    void link_data()
    {
        QTest::addColumn<bool>("choose");
        QTest::addColumn<bool>("pendingEdit");
        QTest::newRow("picker cancelled") << false << false;
        QTest::newRow("picker cancelled, pending edit stored first") << false << true;
        QTest::newRow("item chosen") << true << false;
        QTest::newRow("item chosen after a pending edit") << true << true;
    }

    void link()
    {
        QFETCH(bool, choose);
        QFETCH(bool, pendingEdit);

        const QString oldParentNumber = QStringLiteral("STARI%1/00").arg(fx.Serial());
        const QString targetNumber = QStringLiteral("CILJ%1/00").arg(fx.Serial());
        const qint64 oldParent = fx.AddItem({{QStringLiteral("ledgernumber"), oldParentNumber}});
        const qint64 target = fx.AddItem({{QStringLiteral("ledgernumber"), targetNumber}});
        const qint64 id = fx.AddItem({{QStringLiteral("parentid"), oldParent}});
        auto opened = LedgerFixture::OpenItem(id);
        g_items = opened.get();

        ScopedScriptedDialogs dialogs;
        int pickerRows = -1;
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto *picker = qobject_cast<TGetLedgerForm *>(&dialog);
            if (!picker)
                return int(QDialog::Rejected);
            if (!choose) {
                picker->CancelButton->click();
                return dialog.result();
            }
            picker->FNavigator->SearchVLE->SetValue(QStringLiteral("ledgernumber"), targetNumber);
            picker->FNavigator->FindButton->click();
            pickerRows = picker->FViewer->Items().LedgerItemZQ->RecordCount();
            picker->OKButton->click();
            return dialog.result();
        });

        TLedgerDetailForm form(nullptr, std::move(opened));
        form.show();
        if (pendingEdit)
            typeInto(form.ItemNumberDBE, QStringLiteral("PRE-VEZE"));
        form.LinkedToButton->click();

        QVERIFY2(dialogs->Messages.isEmpty(), qPrintable(dialogs->Messages.value(0).Text));
        QCOMPARE(dialogs->ModalCount, 1);
        QVERIFY(form.isVisible());
        // On its own item, whatever the picker showed; what was typed stays
        // in the form, unstored until OK.
        QCOMPARE(query().RecordCount(), 1);
        QCOMPARE(g_items->LedgerItemZQledgeritemid->AsLargeInt(), id);
        QCOMPARE(fx.Cell(id, QStringLiteral("itemnumber")), QStringLiteral("BR-%1").arg(fx.Serial()));
        QCOMPARE(form.ItemNumberDBE->text(), pendingEdit ? QStringLiteral("PRE-VEZE") : QStringLiteral("BR-%1").arg(fx.Serial()));

        if (!choose) {
            QCOMPARE(query().State(), pendingEdit ? TDataSetState::Edit : TDataSetState::Browse);
            QCOMPARE(form.DBEdit12->text(), oldParentNumber);
            QCOMPARE(g_items->LedgerItemZQparentid->AsLargeInt(), oldParent);
            QCOMPARE(form.CustomApply->isEnabled(), pendingEdit);
            return;
        }
        QCOMPARE(pickerRows, 1);
        QCOMPARE(query().State(), TDataSetState::Edit);
        QCOMPARE(g_items->LedgerItemZQparentid->AsLargeInt(), target);
        QCOMPARE(form.DBEdit12->text(), targetNumber);
        QVERIFY(form.CustomApply->isEnabled());
        form.OKButton->click();
        QVERIFY(!form.isVisible());
        QCOMPARE(fx.Cell(id, QStringLiteral("parentid")).toLongLong(), target);
    }

    // A link may not come back to the item: to itself, or to an item linked
    // below it.
    void linkLoopRefused_data()
    {
        QTest::addColumn<int>("depth"); // 0: the item itself, 1: its child, 2: a grandchild
        for (int depth : {0, 1, 2})
            QTest::addRow("%d below", depth) << depth;
    }

    void linkLoopRefused()
    {
        QFETCH(int, depth);
        const qint64 id = fx.AddItem();
        qint64 target = id;
        for (int i = 0; i < depth; ++i)
            target = fx.AddItem({{QStringLiteral("parentid"), target}});
        const QString targetNumber = fx.Cell(target, QStringLiteral("ledgernumber"));
        DetailFormOn on(id);
        g_items = &on.items();
        on.dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto *picker = qobject_cast<TGetLedgerForm *>(&dialog);
            picker->FNavigator->SearchVLE->SetValue(QStringLiteral("ledgernumber"), targetNumber);
            picker->FNavigator->FindButton->click();
            picker->OKButton->click();
            return dialog.result();
        });
        on.form.LinkedToButton->click();

        QCOMPARE(on.dialogs->Messages.size(), 1);
        QVERIFY2(on.dialogs->Messages[0].Text.endsWith(QStringLiteral("veza bi se vratila na nju samu.")),
                 qPrintable(on.dialogs->Messages[0].Text));
        QCOMPARE(query().State(), TDataSetState::Browse);
        QCOMPARE(fx.Cell(id, QStringLiteral("parentid")), QString());
    }

    // Choosing the direction the item already has gives it no new number.
    void sameDirectionKeepsNumber()
    {
        const qint64 id = fx.AddItem();
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        DetailFormOn on(id);
        g_items = &on.items();
        emit on.form.TypeDBCB->activated(on.form.TypeDBCB->currentIndex());
        QCOMPARE(on.form.NumberDBE->text(), number);
        on.form.OKButton->click();
        QCOMPARE(fx.Cell(id, QStringLiteral("ledgernumber")), number);
    }

    // The picker has rows of its own: an edit the database would refuse
    // neither keeps it closed nor is stored or lost on the way.
    void linkKeepsUnsavedEdits()
    {
        const qint64 id = fx.AddItem();
        DetailFormOn on(id);
        g_items = &on.items();
        typeInto(on.form.ItemNumberDBE, QStringLiteral("OSTAJE"));
        typeInto(on.form.ItemTypeDBCB->lineEdit(), QString());
        on.form.LinkedToButton->click();

        QCOMPARE(on.dialogs->ModalCount, 1);
        QVERIFY(on.dialogs->Messages.isEmpty());
        QCOMPARE(query().State(), TDataSetState::Edit);
        QCOMPARE(on.form.ItemNumberDBE->text(), QStringLiteral("OSTAJE"));
        QCOMPARE(fx.Cell(id, QStringLiteral("itemnumber")), QStringLiteral("BR-%1").arg(fx.Serial()));
    }

    // ---- Pickers ------------------------------------------------------------------------------------------

    void pickers_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("answer"); // filter typed into the console's picker, or an ISO date; empty: cancel
        QTest::addColumn<bool>("bare");      // only the security module is loaded
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("storedSql"); // what the column holds afterwards; empty: untouched
        QTest::addColumn<QString>("shownIn");
        QTest::addColumn<QString>("shown");

        QTest::newRow("partner") << "PartnerButton" << "o'neil" << false << "partnerid"
                                 << "SELECT partnerid FROM partner WHERE name = 'O''Neil d.o.o.'" << "DBEdit3" << "O'Neil d.o.o.";
        QTest::newRow("partner cancelled") << "PartnerButton" << "" << false << "partnerid" << "" << "DBEdit3" << "";
        QTest::newRow("partner module missing") << "PartnerButton" << "o'neil" << true << "partnerid" << "" << "DBEdit3" << "";
        QTest::newRow("document") << "Button5" << "popisu" << false << "documentid"
                                  << "SELECT documentid FROM document WHERE number = 'IZ-02/26'" << "DBEdit2" << "IZ-02/26";
        QTest::newRow("document module missing") << "Button5" << "popisu" << true << "documentid" << "" << "DBEdit2" << "";
        QTest::newRow("handed over by") << "InUserButton" << "jovanović" << false << "inuserid"
                                        << "SELECT userid FROM user WHERE login = 'marko'" << "DBEdit11" << "Marko Jovanović";
        QTest::newRow("handed over to") << "OutUserButton" << "đorđ" << false << "outuserid"
                                        << "SELECT userid FROM user WHERE login = 'jelena'" << "DBEdit10" << "Jelena Đorđević";
        QTest::newRow("handed over to, cancelled") << "OutUserButton" << "" << false << "outuserid" << "" << "DBEdit10" << "";
        QTest::newRow("document date") << "ItemDateButton" << "2026-01-31" << false << "itemdate"
                                       << "SELECT '2026-01-31'" << "ItemDateDBE" << "31.01.2026";
        QTest::newRow("document date cancelled") << "ItemDateButton" << "" << false << "itemdate" << "" << "ItemDateDBE" << "";
    }

    void pickers()
    {
        QFETCH(QString, button);
        QFETCH(QString, answer);
        QFETCH(bool, bare);
        QFETCH(QString, column);
        QFETCH(QString, storedSql);
        QFETCH(QString, shownIn);
        QFETCH(QString, shown);

        IRef<TConsole> bareConsole(new TConsole);
        bareConsole->AddService(fx.Security);
        if (bare)
            GlobalConsole = bareConsole;
        const qint64 id = fx.AddItem();
        auto opened = LedgerFixture::OpenItem(id);
        g_items = opened.get();
        const QString before = fx.Cell(id, column);
        ScopedScriptedDialogs dialogs;
        dialogs->DateAnswers.push_back(answer.isEmpty() ? std::nullopt : std::optional(QDate::fromString(answer, Qt::ISODate)));
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("filterEdit"));
            auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("okButton"));
            auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("cancelButton"));
            if (!edit || !ok || !cancel)
                return int(QDialog::Rejected);
            for (const QChar ch : answer)
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            (answer.isEmpty() ? cancel : ok)->click();
            return dialog.result();
        });
        TLedgerDetailForm form(nullptr, std::move(opened));
        form.show();
        form.findChild<QPushButton *>(button)->click();

        QVERIFY2(dialogs->Messages.isEmpty(), qPrintable(dialogs->Messages.value(0).Text));
        QCOMPARE(dialogs->ModalCount, bare || button == QLatin1String("ItemDateButton") ? 0 : 1);
        QCOMPARE(form.findChild<QLineEdit *>(shownIn)->text(), shown);
        QCOMPARE(query().State(), storedSql.isEmpty() ? TDataSetState::Browse : TDataSetState::Edit);
        QCOMPARE(form.CustomApply->isEnabled(), !storedSql.isEmpty());
        form.OKButton->click();
        QVERIFY(!form.isVisible());
        QCOMPARE(fx.Cell(id, column).left(10), storedSql.isEmpty() ? before : fx.Scalar(storedSql).toString());
        QCOMPARE(form.findChild<QLineEdit *>(shownIn)->text(), shown);
    }

    // ---- From the list ------------------------------------------------------------------------------------

    // A new item is filed today: on a day of a year no other item reaches, its
    // number is the year's first.
    void fromList_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("number"); // of a new item
        QTest::newRow("Dodaj, confirmed") << "CustomAdd" << true << QDate(2089, 5, 4) << "1/89";
        QTest::newRow("Dodaj, cancelled") << "CustomAdd" << false << QDate(2099, 5, 4) << "1/99";
        QTest::newRow("Uredi, confirmed") << "CustomEdit" << true << QDate(2099, 5, 4) << "";
        QTest::newRow("Uredi, cancelled") << "CustomEdit" << false << QDate(2099, 5, 4) << "";
    }

    void fromList()
    {
        QFETCH(QString, action);
        QFETCH(bool, confirm);
        QFETCH(QDate, today);
        QFETCH(QString, number);
        const bool adding = action == QLatin1String("CustomAdd");
        const qint64 id = fx.AddItem();
        const int itemsBefore = fx.ItemCount();
        TClock::TFixed clock(QDateTime(today, QTime(11, 20)));

        ScopedScriptedDialogs dialogs;
        qint32 formItemId = -1;
        QString shownNumber;
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto *form = qobject_cast<TLedgerDetailForm *>(&dialog);
            if (!form)
                return int(QDialog::Rejected);
            form->show();
            shownNumber = form->NumberDBE->text();
            typeInto(form->ItemTypeDBCB->lineEdit(), QStringLiteral("Žalba"));
            typeInto(form->ItemNumberDBE, QStringLiteral("IZ-LISTE"));
            (confirm ? form->OKButton : form->CancelButton)->click();
            formItemId = form->LedgerItemID();
            return form->result();
        });
        TLedgerViewerForm viewer(nullptr);
        viewer.Items().OpenItem(id);
        g_items = &viewer.Items();
        viewer.ActionByName(action)->trigger();

        QVERIFY2(dialogs->Messages.isEmpty(), qPrintable(dialogs->Messages.value(0).Text));
        QCOMPARE(dialogs->ModalCount, 1);
        QCOMPARE(query().State(), TDataSetState::Browse);
        QCOMPARE(shownNumber, adding ? number : g_items->LedgerItemZQledgernumber->AsString());
        QCOMPARE(fx.ItemCount(), itemsBefore + (adding && confirm ? 1 : 0));
        if (!confirm) {
            QCOMPARE(fx.Cell(id, QStringLiteral("itemnumber")), QStringLiteral("BR-%1").arg(fx.Serial()));
            return;
        }
        const qint64 stored = adding ? fx.Scalar(QStringLiteral("SELECT MAX(ledgeritemid) FROM ledgeritem")).toLongLong() : id;
        QCOMPARE(formItemId, qint32(stored));
        QCOMPARE(g_items->LedgerItemZQledgeritemid->AsLargeInt(), stored);
        QCOMPARE(fx.Cell(stored, QStringLiteral("itemtype")), QStringLiteral("Žalba"));
        QCOMPARE(fx.Cell(stored, QStringLiteral("itemnumber")), QStringLiteral("IZ-LISTE"));
        if (adding) {
            QCOMPARE(fx.Cell(stored, QStringLiteral("ledgernumber")), number);
            QCOMPARE(fx.Cell(stored, QStringLiteral("userid")).toLongLong(), fx.UserId(QStringLiteral("ana")));
        }
    }

    // ---- Layout ------------------------------------------------------------------------------------------

    // The page fills the client area above the bottom panel, and no caption is
    // cut off. With KLEDGER_SCREENSHOT_DIR set the form is also saved as
    // ledgerdetail.png there (scripts/screenshot.sh DIR detail).
    void layout()
    {
        const qint64 id = fx.Scalar(QStringLiteral("SELECT MIN(ledgeritemid) FROM ledgeritem WHERE parentid IS NOT NULL "
                                                "AND partnerid IS NOT NULL AND documentid IS NOT NULL AND outuserid IS NULL"))
                              .toLongLong();
        QVERIFY(id > 0);
        // Ana's, handed over to Jelena and not yet taken: every field filled in.
        fx.Db.Connection().ExecSQL(QStringLiteral("UPDATE ledgeritem SET inuserid = ?, userid = ?, outuserid = ?, accepted = 'n', "
                                                 "inmailtype = 2, inmailnumber = 'RE123456789RS', outmailtype = 5, "
                                                 "archived = 'y', archivednumber = 'A-2026/004' WHERE ledgeritemid = ?"),
                                  {fx.UserId(QStringLiteral("ana")), fx.UserId(QStringLiteral("ana")), fx.UserId(QStringLiteral("jelena")), id});
        DetailFormOn on(id);
        g_items = &on.items();
        QVERIFY(QTest::qWaitForWindowExposed(&on.form));

        QCOMPARE(on.form.focusWidget(), on.form.TypeDBCB);
        QCOMPARE(on.form.size(), QSize(496, 598));
        QCOMPARE(on.form.PageControl->geometry(), QRect(0, 0, 496, 564));
        QCOMPARE(on.form.BottomPanel->geometry(), QRect(0, 564, 496, 34));
        const std::pair<QPushButton *, int> bottom[] = {{on.form.AdditionalItemButton, 0}, {on.form.PassOnButton, 80},
                                                        {on.form.OKButton, 252},           {on.form.ApplyButton, 332},
                                                        {on.form.CancelButton, 412}};
        for (const auto &[button, x] : bottom)
            QCOMPARE(button->geometry(), QRect(x, 8, 75, 25));
        QVERIFY(!on.form.AdditionalItemButton->isEnabled());
        QVERIFY(!on.form.PassOnButton->isEnabled());
        QVERIFY(on.form.ScannedDocumentButton->isEnabled());

        for (QLabel *label : on.form.findChildren<QLabel *>())
            QVERIFY2(label->sizeHint().width() <= label->width() && label->sizeHint().height() <= label->height() + 1,
                     qPrintable(label->text()));
        for (QAbstractButton *button : on.form.findChildren<QAbstractButton *>()) {
            const int room = qobject_cast<QCheckBox *>(button) ? button->width() - 20 : button->width() - 4;
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text().remove(u'&')) <= room,
                     qPrintable(button->objectName()));
        }
        for (TDBEdit *edit : on.form.findChildren<TDBEdit *>())
            QVERIFY2(edit->fontMetrics().height() <= edit->height() - 4, qPrintable(edit->objectName()));

        // The picture is taken once the form was checked as the user gets it:
        // grabbing lays out the pages not shown as well, whose labels the
        // checks above read too.
        if (const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR"); !dir.isEmpty())
            QVERIFY(on.form.grab().save(dir + QStringLiteral("/ledgerdetail.png")));
    }

    // The real date picker, opened from the document date: Serbian month and
    // buttons, weeks from Monday. With KLEDGER_SCREENSHOT_DIR set, the form
    // with the picker over it is saved as calendar.png there.
    void serbianCalendar()
    {
        const qint64 id = fx.AddItem({{"itemdate", QDate(2026, 3, 5)}});
        auto opened = LedgerFixture::OpenItem(id);
        g_items = opened.get();
        TLedgerDetailForm form(nullptr, std::move(opened)); // no scripted dialogs: the picker is closed from its own loop
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Qt::DayOfWeek firstDay = Qt::Sunday;
        QString month;
        QStringList buttons;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, &form, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            auto *dialog = qobject_cast<QDialog *>(modal);
            if (!dialog || dialog == &form)
                return;
            closer.stop();
            if (auto *calendar = dialog->findChild<QCalendarWidget *>()) {
                firstDay = calendar->firstDayOfWeek();
                if (auto *monthButton = calendar->findChild<QToolButton *>(QStringLiteral("qt_calendar_monthbutton")))
                    month = monthButton->text();
            }
            for (QPushButton *b : dialog->findChildren<QPushButton *>())
                buttons << b->text();
            const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR");
            if (!dir.isEmpty())
                saveOver(form, *form.ItemDateDBE, *dialog, dir + QStringLiteral("/calendar.png"));
            dialog->reject();
        });
        closer.start(20);
        form.ItemDateButton->click();

        QCOMPARE(firstDay, Qt::Monday);
        QCOMPARE(month, QStringLiteral("mart"));
        buttons.sort();
        QCOMPARE(buttons, QStringList({QStringLiteral("Otkaži"), QStringLiteral("U redu")}));
        QCOMPARE(query().State(), TDataSetState::Browse);
    }

private:
    // The form with a dialog drawn below one of its controls, as it pops up.
    static void saveOver(QWidget &form, QWidget &below, QWidget &dialog, const QString &file)
    {
        const QPixmap back = form.grab();
        const QPixmap front = dialog.grab();
        const QPoint at = below.mapTo(&form, QPoint(0, below.height() + 2));
        QPixmap shot(qMax(back.width(), at.x() + front.width() + 1), qMax(back.height(), at.y() + front.height() + 1));
        shot.fill(Qt::white);
        QPainter painter(&shot);
        painter.drawPixmap(0, 0, back);
        painter.drawPixmap(at, front);
        painter.setPen(Qt::darkGray);
        painter.drawRect(QRect(at, front.size()).adjusted(-1, -1, 0, 0));
        painter.end();
        QVERIFY(shot.save(file));
    }

    LedgerFixture fx;
};

QTEST_MAIN(TestLedgerDetail)
#include "tst_ledgerdetail.moc"
