// What other modules get from the ledger through ILedger: the item picker
// (GetLedger) and the detail form of one item (OpenLedger), over a real
// database with the console's services and scripted dialogs.

#include "DBControls.h"
#include "TestRows.h"
#include "DBGrid.h"
#include "DBIniFile.h"
#include "LedgerFixture.h"
#include "ValueListEditor.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "integration/LedgerRegistration.h"
#include "screens/GetLedgerUnit.h"
#include "screens/LedgerDetailUnit.h"
#include "screens/LedgerNavigatorUnit.h"
#include "screens/LedgerViewerUnit.h"

#include <QGuiApplication>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <functional>

#define QCOMPARE_RET(a, b)                                                                            \
    do {                                                                                              \
        if (!QTest::qCompare(a, b, #a, #b, __FILE__, __LINE__))                                       \
            return int(QDialog::Rejected);                                                            \
    } while (false)

namespace {


// Searches the picker's list by ledger number, as typed into the search frame.
int search(TGetLedgerForm &picker, const QString &number)
{
    picker.FNavigator->SearchVLE->SetValue(QStringLiteral("ledgernumber"), number);
    picker.FNavigator->FindButton->click();
    return picker.FViewer->Items().LedgerItemZQ->RecordCount();
}

void doubleClickFirstRow(TGetLedgerForm &picker)
{
    TDBGrid *grid = picker.FViewer->DBG;
    const QModelIndex first = grid->model()->index(0, 1);
    const QPoint at = first.isValid() ? grid->visualRect(first).center() : grid->viewport()->rect().center();
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// Answers the picker when it opens: shows it, searches for a number and
// counts the rows found, then hands it to `act`; any other dialog is refused.
void onPicker(ScopedScriptedDialogs &dialogs, const QString &number, int &rows,
              const std::function<void(TGetLedgerForm &)> &act)
{
    dialogs->ModalHandlers.push_back([&rows, number, act](QDialog &dialog) {
        auto *picker = qobject_cast<TGetLedgerForm *>(&dialog);
        if (!picker)
            return int(QDialog::Rejected);
        picker->show();
        rows = search(*picker, number);
        act(*picker);
        return picker->result();
    });
}

TLedgerDesc sentinel()
{
    TLedgerDesc d;
    d.LedgerItemID = 4242;
    d.LedgerNumber = QStringLiteral("nepromenjeno");
    d.ParentID = 77;
    d.LedgerDateTime = QDateTime(QDate(2001, 1, 1), QTime(1, 2, 3));
    return d;
}

} // namespace

class TestGetLedger : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        IRef<ISnapin> snapin = LedgerFactoryObject()->GetSnapin(fx.Console);
        m_ledger = snapin.query<ILedger>();
        QVERIFY(m_ledger);

        m_plain = addItem(QStringLiteral("IZBOR-1/26"), QVariant(QMetaType::fromType<qint64>()));
        m_linked = addItem(QStringLiteral("IZBOR-2/26"), m_plain);
    }

    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        TDBIniFile(&fx.Db.Connection()).DeleteKey(QStringLiteral("Appearance"), QStringLiteral("GetWindow"));
    }

    void cleanupTestCase()
    {
        m_ledger.reset();
        fx.Stop();
    }

    // ---- GetLedger --------------------------------------------------------------------------

    void getLedger_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("linked");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("cancel button") << "cancel" << false << false;
        QTest::newRow("Esc") << "esc" << false << false;
        QTest::newRow("close box") << "close" << false << false;
        QTest::newRow("OK, item without a link") << "ok" << false << true;
        QTest::newRow("OK, linked item") << "ok" << true << true;
        QTest::newRow("double click on the row") << "dblclick" << true << true;
    }

    void getLedger()
    {
        QFETCH(QString, how);
        QFETCH(bool, linked);
        QFETCH(bool, chosen);

        ScopedScriptedDialogs dialogs;
        int rows = -1;
        bool wasVisible = false;
        onPicker(dialogs, linked ? QStringLiteral("IZBOR-2/") : QStringLiteral("IZBOR-1/"), rows, [&](TGetLedgerForm &picker) {
            if (how == QLatin1String("cancel"))
                picker.CancelButton->click();
            else if (how == QLatin1String("esc"))
                QTest::keyClick(&picker, Qt::Key_Escape);
            else if (how == QLatin1String("close"))
                picker.close();
            else if (how == QLatin1String("ok"))
                picker.OKButton->click();
            else
                doubleClickFirstRow(picker);
            wasVisible = picker.isVisible();
        });

        TLedgerDesc desc = sentinel();
        QCOMPARE(m_ledger->GetLedger(desc), chosen);
        QCOMPARE(rows, 1);
        QVERIFY(!wasVisible);
        // The picker only: a double click opens no detail form.
        QCOMPARE(dialogs->ModalCount, 1);
        QVERIFY2(dialogs->Messages.isEmpty(), qPrintable(dialogs->Messages.value(0).Text));
        const TLedgerDesc expected = chosen ? TLedgerDesc{qint32(linked ? m_linked : m_plain),
                                                          linked ? QStringLiteral("IZBOR-2/26") : QStringLiteral("IZBOR-1/26"),
                                                          qint32(linked ? m_plain : 0), m_when}
                                            : sentinel();
        QCOMPARE(desc.LedgerItemID, expected.LedgerItemID);
        QCOMPARE(desc.LedgerNumber, expected.LedgerNumber);
        QCOMPARE(desc.ParentID, expected.ParentID);
        QCOMPARE(desc.LedgerDateTime, expected.LedgerDateTime);
    }

    void emptyList_data() { flagRows("doubleClick", {{"OK button", false}, {"double click", true}}); }

    void emptyList()
    {
        QFETCH(bool, doubleClick);
        ScopedScriptedDialogs dialogs;
        int rows = -1;
        bool openAfter = false;
        onPicker(dialogs, QStringLiteral("NEMA-TAKVOG"), rows, [&](TGetLedgerForm &picker) {
            if (doubleClick)
                doubleClickFirstRow(picker);
            else
                picker.OKButton->click();
            openAfter = picker.isVisible() && picker.result() != QDialog::Accepted;
            picker.CancelButton->click();
        });
        TLedgerDesc desc = sentinel();
        QVERIFY(!m_ledger->GetLedger(desc));
        QCOMPARE(rows, 0);
        QVERIFY(openAfter);
        QCOMPARE(dialogs->ModalCount, 1);
        QVERIFY(dialogs->Messages.isEmpty());
        QCOMPARE(desc.LedgerItemID, sentinel().LedgerItemID);
    }

    void window_data()
    {
        QTest::addColumn<QString>("setting"); // empty: no such setting
        QTest::addColumn<bool>("maximised");
        QTest::newRow("no setting") << "" << false;
        QTest::newRow("off") << "0" << false;
        QTest::newRow("on") << "1" << true;
    }

    void window()
    {
        QFETCH(QString, setting);
        QFETCH(bool, maximised);
        if (!setting.isEmpty())
            TDBIniFile(&fx.Db.Connection()).WriteString(QStringLiteral("Appearance"), QStringLiteral("GetWindow"), setting);

        ScopedScriptedDialogs dialogs;
        Qt::WindowStates state;
        QSize size;
        QPoint centre, screenCentre;
        bool searchFocused = false;
        int panelWidth = 0, navigatorWidth = 0, designedNavigatorWidth = 0;
        bool captionsFit = false;
        QRect ok, cancel;
        QFont font;
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            font = dialog.font();
            state = dialog.windowState();
            size = dialog.size();
            dialog.show();
            auto *picker = qobject_cast<TGetLedgerForm *>(&dialog);
            QWidget *focus = dialog.focusWidget();
            searchFocused = picker && focus
                && (focus == picker->FNavigator->SearchVLE || picker->FNavigator->SearchVLE->isAncestorOf(focus));
            centre = dialog.frameGeometry().center();
            if (picker) {
                QCOMPARE_RET(picker->OKButton->x(), 541);
                designedNavigatorWidth = picker->NavigatorPanel->width();
                TValueListEditor *vle = picker->FNavigator->SearchVLE;
                captionsFit = true;
                for (const QString &key : vle->Keys())
                    captionsFit = captionsFit
                        && vle->fontMetrics().horizontalAdvance(vle->ItemProps(key).Caption) < vle->KeyColumnWidth();
                // With KLEDGER_SCREENSHOT_DIR set, the picker as designed is saved as picker.png there.
                if (const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR"); !dir.isEmpty() && !maximised)
                    dialog.grab().save(dir + QStringLiteral("/picker.png"));
                // Grown by hand: the offscreen screen does not maximise.
                dialog.resize(790, 560);
                dialog.layout()->activate();
                panelWidth = picker->BottomPanel->width();
                ok = picker->OKButton->geometry();
                cancel = picker->CancelButton->geometry();
                navigatorWidth = picker->NavigatorPanel->width();
            }
            screenCentre = dialog.screen()->availableGeometry().center();
            dialog.reject();
            return dialog.result();
        });
        TLedgerDesc desc;
        QVERIFY(!m_ledger->GetLedger(desc));
        QCOMPARE(dialogs->ModalCount, 1);
        QCOMPARE(bool(state & Qt::WindowMaximized), maximised);
        QVERIFY(searchFocused);
        // The buttons keep to the bottom right corner; the search keeps its width.
        QCOMPARE(ok, QRect(panelWidth - 173, 20, 75, 25));
        QCOMPARE(cancel, QRect(panelWidth - 93, 20, 75, 25));
        QCOMPARE(panelWidth, 784);
        QVERIFY(designedNavigatorWidth >= 233);
        QCOMPARE(navigatorWidth, designedNavigatorWidth);
        QVERIFY2(captionsFit, "every search caption fits its column");
        // The design's font, which the platform replaces where it has no Tahoma.
        QCOMPARE(font, QFont(QStringLiteral("Tahoma"), 8));
        if (!maximised) {
            QCOMPARE(size, QSize(720, 480));
            QVERIFY2((centre - screenCentre).manhattanLength() <= 2, "the picker is centred on the screen");
        }
    }

    // ---- OpenLedger --------------------------------------------------------------------------

    void openLedger_data() { flagRows("exists", {{"existing item", true}, {"missing item", false}}); }

    void openLedger()
    {
        QFETCH(bool, exists);
        const qint64 id = exists ? m_linked : 987654;
        ScopedScriptedDialogs dialogs;
        qint32 shownId = -1;
        QString shownNumber, shownLink;
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto *form = qobject_cast<TLedgerDetailForm *>(&dialog);
            if (!form)
                return int(QDialog::Rejected);
            shownId = form->LedgerItemID();
            shownNumber = form->NumberDBE->text();
            shownLink = form->DBEdit12->text();
            return int(QDialog::Rejected);
        });
        m_ledger->OpenLedger(qint32(id));
        QVERIFY(dialogs->Messages.isEmpty());
        if (!exists) {
            QCOMPARE(dialogs->ModalCount, 0);
            return;
        }
        QCOMPARE(dialogs->ModalCount, 1);
        QCOMPARE(shownId, qint32(m_linked));
        QCOMPARE(shownNumber, QStringLiteral("IZBOR-2/26"));
        QCOMPARE(shownLink, QStringLiteral("IZBOR-1/26"));
    }

private:
    qint64 addItem(const QString &number, const QVariant &parent)
    {
        return fx.AddItem({{"ledgerdatetime", m_when}, {"ledgernumber", number}, {"parentid", parent}});
    }

    LedgerFixture fx;
    IRef<ILedger> m_ledger;
    qint64 m_plain = 0, m_linked = 0;
    const QDateTime m_when{QDate(2026, 4, 7), QTime(10, 30)};
};

QTEST_MAIN(TestGetLedger)
#include "tst_getledger.moc"
