// F1 help in the ledger's windows, the help window, and what the module
// says of itself to the console.

#include "AboutText.h"
#include "ConsoleWindow.h"
#include "Help.h"
#include "HelpWindow.h"
#include "LedgerFixture.h"
#include "KPackage.h"
#include "ValueListEditor.h"
#include "screens/GetLedgerUnit.h"
#include "screens/LedgerHelpContexts.h"
#include "screens/LedgerNavigatorUnit.h"
#include "screens/LedgerViewerUnit.h"
#include "screens/ProceedingUnit.h"

#include <QAction>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QtTest>

class TestHelp : public QObject
{
    Q_OBJECT
    LedgerFixture fx;

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        InstallHelpKey(*qApp);
    }

    void cleanupTestCase() { fx.Stop(); }

    void f1OpensSection_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("shown");
        const QString guide = QStringLiteral("Uputstvo — Delovodnik|:/ledger/help/vodic.html#");
        QTest::newRow("list") << "list" << guide + "c19000";
        QTest::newRow("search") << "search" << guide + "c19001";
        QTest::newRow("detail form, modal") << "detail" << guide + "c19002";
        QTest::newRow("handover record, modal") << "handover" << guide + "c19008";
        QTest::newRow("picker's list") << "picker" << guide + "c19003";
        QTest::newRow("register book, modal") << "RegisterBookAction" << guide + "c19004";
        QTest::newRow("continuity, modal") << "ContinuityAction" << guide + "c19004";
        QTest::newRow("search, key from the window system") << "search window" << guide + "c19001";
        QTest::newRow("list in the console window, which has F1 too") << "console" << guide + "c19000";
    }

    void f1OpensSection()
    {
        QFETCH(QString, where);
        QFETCH(QString, shown);
        const qint64 item = fx.AddItem();
        ScopedScriptedDialogs dialogs;
        const auto pressF1 = [](QWidget *w) { QTest::keyClick(w, Qt::Key_F1); };
        dialogs->ModalHandlers.push_back([&](QDialog &d) {
            pressF1(d.focusWidget() ? d.focusWidget() : &d);
            return int(QDialog::Rejected);
        });
        TLedgerViewerForm list(nullptr);
        list.Items().OpenItem(item);
        TLedgerNavigatorForm search(nullptr);
        TGetLedgerForm picker;
        if (where == QLatin1String("list"))
            pressF1(list.DBG);
        else if (where == QLatin1String("search"))
            pressF1(search.SearchVLE);
        else if (where == QLatin1String("search window")) {
            // As a real key comes: to the window first, then to the focus.
            search.show();
            QVERIFY(QTest::qWaitForWindowActive(&search));
            search.SearchVLE->setFocus();
            QTest::keyClick(search.windowHandle(), Qt::Key_F1);
        } else if (where == QLatin1String("console")) {
            TConsoleWindow window(QStringLiteral("Ana"), QString());
            list.setParent(window.ViewerPanel());
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            list.DBG->setFocus();
            QTest::keyClick(window.windowHandle(), Qt::Key_F1);
            list.setParent(nullptr);
        }
        else if (where == QLatin1String("detail"))
            list.CustomEdit->trigger();
        else if (where == QLatin1String("handover"))
            list.ProceedingAction->trigger();
        else if (where.endsWith(QLatin1String("Action")))
            list.findChild<QAction *>(where)->trigger();
        else
            pressF1(picker.FViewer->DBG);
        QCOMPARE(dialogs->HelpShown, QStringList{shown});
        QVERIFY(dialogs->Messages.isEmpty());
    }

    void guideHasEveryContext()
    {
        const QStringList anchors = HelpGuideAnchors(QStringLiteral(":/ledger/help/vodic.html"));
        for (int context : LedgerHelpContexts())
            QVERIFY2(anchors.contains(HelpAnchor(context)), qPrintable(HelpAnchor(context)));
        UnregisterLedgerHelp();
        ScopedScriptedDialogs dialogs;
        ShowHelp(nullptr);
        RegisterLedgerHelp();
        QCOMPARE(dialogs->Messages.size(), 1);
        QCOMPARE(dialogs->Messages.front().Text, QStringLiteral("Uputstvo nije dostupno: nijedan učitani modul ga ne donosi."));
    }

    // The real window: at the section asked, one instance, not blocked by a
    // modal dialog, whole on a 1024 x 700 screen. With KLEDGER_SCREENSHOT_DIR
    // set it is saved there as help.png.
    void helpWindow()
    {
        QDialog modal;
        modal.setWindowModality(Qt::ApplicationModal);
        modal.show();
        THelpWindow *window = THelpWindow::Show(LedgerHelpGuide(), LedgerHelpTitle(), QStringLiteral("c19008"));
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->windowTitle(), QStringLiteral("Uputstvo — Delovodnik"));
        QCOMPARE(window->windowHandle()->transientParent(), modal.windowHandle());
        QTRY_VERIFY(window->Browser()->verticalScrollBar()->value() > 0);
        QVERIFY(window->width() <= 1024 && window->height() <= 640);
        const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(window->grab().save(dir + QStringLiteral("/help.png")));
        modal.close();
        QCOMPARE(THelpWindow::Show(LedgerHelpGuide(), LedgerHelpTitle(), QString()), window);
        QCOMPARE(window->Browser()->verticalScrollBar()->value(), 0);
        QTest::keyClick(window->Browser(), Qt::Key_Escape);
        QTRY_VERIFY(!THelpWindow::Instance());
    }

    // The module as the console loads it, by its plain name. With
    // KLEDGER_SCREENSHOT_DIR set the real "O programu" box over the console
    // window is saved there as about.png.
    void moduleVersion()
    {
        const QString dir = qEnvironmentVariable("KLEDGER_MODULE_DIR");
        QCOMPARE(QFileInfo(dir + QStringLiteral("/libledger.so")).canonicalFilePath(),
                 QFileInfo(dir + QStringLiteral("/libledger.so.1.1.1.12")).canonicalFilePath());
        TModuleLoader loader;
        loader.LoadAll(dir, fx.Console);
        QVERIFY2(loader.Warnings().isEmpty(), qPrintable(loader.Warnings().join(u'\n')));
        QCOMPARE(int(loader.Modules().size()), 1);
        const std::optional<TModuleLoader::Version> &v = loader.Modules().front().VersionInfo;
        QVERIFY(v);
        QCOMPARE(v->Description, QStringLiteral("Kolibar Ledger Module"));
        QCOMPARE(v->FileVersion, QStringLiteral("1.1.1.12"));
        QCOMPARE(v->ProductVersion, QStringLiteral("1.0"));

        const QString shots = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            TConsoleWindow window(QStringLiteral("Ana Petrović"), QStringLiteral("SQLite"));
            window.SetAboutText(AboutText(ConsoleName(), ConsoleVersion(), loader.Modules()));
            window.resize(1024, 700);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            bool saved = false;
            QTimer::singleShot(300, &window, [&] {
                if (QWidget *box = QApplication::activeModalWidget()) {
                    saved = window.screen()->grabWindow(0).save(shots + QStringLiteral("/about.png"));
                    box->close();
                }
            });
            window.findChild<QAction *>(QStringLiteral("aboutAction"))->trigger();
            QVERIFY(saved);
        }
        loader.ReleaseReferences(fx.Console.get());
        loader.FinalizeAll();
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
