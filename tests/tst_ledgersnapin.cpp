// The ledger snap-in as the console sees it, and the module's entry points.

#include "CommonStrings.h"
#include "Console.h"
#include "KPackage.h"
#include "ScriptedDialogs.h"
#include "TestConsole.h"
#include "ZConnection.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "integration/LedgerRegistration.h"
#include "data/LedgerResourceString.h"
#include "integration/LedgerSnapin.h"
#include "screens/LedgerViewerUnit.h"

#include <QDir>
#include <QLibrary>
#include <QPointer>
#include <QSet>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Also counts how often the console was asked for it at all.
class CountingSecurity : public TestSecurity
{
public:
    int Asked = 0;
    bool QueryInterface(const QUuid &iid, void **out) override
    {
        Asked += iid == ISecurity::IID();
        return TestSecurity::QueryInterface(iid, out);
    }
};

IRef<ISnapin> snapinFor(const IRef<IConsole> &console)
{
    return IRef<ISnapinFactory>::adopt(GetSnapinFactory())->GetSnapin(console);
}

// A panel laid out like the console's.
struct Panel : QWidget
{
    Panel() { new QVBoxLayout(this); }
};

} // namespace

class TestLedgerSnapin : public QObject
{
    Q_OBJECT
private slots:
    void init() { Initialize(); }

    void cleanup()
    {
        Finalize();
        QVERIFY(!LedgerDM);
        QVERIFY(!GlobalConsole);
    }

    void identityAndParts()
    {
        QVERIFY(!GlobalConsole); // until the first request
        const IRef<ISnapin> snapin = snapinFor(IRef<IConsole>(IRef<TestConsole>(new TestConsole)));
        QCOMPARE(snapin->GetSnapinType(), 2025);
        QCOMPARE(snapin->GetName(), QStringLiteral("Delovodnik"));
        QCOMPARE(snapin->GetDescription(), QStringLiteral("Upravljanje delovodnikom"));
        QCOMPARE(snapin->GetDataSet(), nullptr); // no list yet
        QVERIFY(snapin.query<ILedger>());

        // The viewer and navigator are objects of their own, not the snap-in.
        auto *ledger = dynamic_cast<TLedgerSnapin *>(snapin.get());
        QVERIFY(ledger);
        const IRef<IViewer> viewer = snapin.query<IViewer>();
        const IRef<INavigable> navigator = snapin.query<INavigable>();
        QCOMPARE(viewer.get(), ledger->Viewer().get());
        QCOMPARE(navigator.get(), ledger->Navigator().get());
        QVERIFY(!viewer.query<ISnapin>());
        QVERIFY(!navigator.query<ISnapin>());
    }

    void load_data()
    {
        QTest::addColumn<QString>("dmConnection"); // none, closed, open
        QTest::addColumn<bool>("security");
        QTest::addColumn<int>("connectCalls");
        QTest::addColumn<int>("getConnectionCalls");
        QTest::addColumn<QString>("dmAfter"); // none, own, security's

        QTest::newRow("connected: security not contacted") << "open" << true << 0 << 0 << "own";
        QTest::newRow("closed connection kept") << "closed" << true << 1 << 0 << "own";
        QTest::newRow("no connection: security's installed") << "none" << true << 1 << 1 << "security's";
        QTest::newRow("no security module") << "none" << false << 0 << 0 << "none";
    }

    void load()
    {
        QFETCH(QString, dmConnection);
        QFETCH(bool, security);
        QFETCH(int, connectCalls);
        QFETCH(int, getConnectionCalls);
        QFETCH(QString, dmAfter);

        ScopedScriptedDialogs dialogs;
        TZConnection own, securitys;
        own.SetParams({QStringLiteral("QSQLITE"), m_dir.filePath(QStringLiteral("own.db"))});
        securitys.SetParams({QStringLiteral("QSQLITE"), m_dir.filePath(QStringLiteral("security.db"))});
        if (dmConnection == QLatin1String("open"))
            own.Connect();
        if (dmConnection != QLatin1String("none"))
            LedgerDM->SetZConnection(&own);
        IRef<TestConsole> console(new TestConsole);
        IRef<CountingSecurity> counting(new CountingSecurity);
        counting->Connection = &securitys;
        if (security)
            console->Security = counting;
        const IRef<ISnapin> snapin = snapinFor(IRef<IConsole>(console));
        counting->Asked = 0;

        snapin.query<IViewer>()->Load(snapin);

        QCOMPARE(counting->ConnectCalls, connectCalls);
        QCOMPARE(counting->GetConnectionCalls, getConnectionCalls);
        if (dmConnection == QLatin1String("open"))
            QCOMPARE(counting->Asked, 0);
        QCOMPARE(LedgerDM->ZConnection(), dmAfter == QLatin1String("own")          ? &own
                                          : dmAfter == QLatin1String("security's") ? &securitys
                                                                                   : nullptr);
        if (dmAfter == QLatin1String("security's"))
            QVERIFY(securitys.Connected());
        const QStringList shown = [&] {
            QStringList texts;
            for (const auto &m : dialogs->Messages)
                texts << m.Text;
            return texts;
        }();
        QCOMPARE(shown, security ? QStringList() : QStringList{FormatStr(_CMN_NO_MODULE, {_CMN_MOD_SECURITY_NAME})});
        LedgerDM->SetZConnection(nullptr);
    }

    void showSetsActiveGridHideClearsIt()
    {
        ScopedScriptedDialogs dialogs;
        IRef<TConsole> console(new TConsole);
        const IRef<ISnapin> snapin = snapinFor(IRef<IConsole>(console));
        const IRef<IViewer> viewer = snapin.query<IViewer>();
        Panel panel;
        viewer->Show(&panel);
        auto *frame = qobject_cast<TLedgerViewerForm *>(viewer->GetFrame());
        QVERIFY(frame);
        QCOMPARE(frame->parentWidget(), &panel);
        QCOMPARE(console->ActiveGrid(), static_cast<QAbstractItemView *>(frame->DBG));
        QCOMPARE(viewer->GetActionList(), frame->ActionList());
        // The console counts the list's own rows.
        QCOMPARE(snapin->GetDataSet(), static_cast<TDataSet *>(frame->Items().LedgerItemZQ));

        viewer->Hide();
        QCOMPARE(console->ActiveGrid(), nullptr);
        QVERIFY(frame->isHidden());
        viewer->Show(&panel);
        QCOMPARE(viewer->GetFrame(), static_cast<QWidget *>(frame)); // the same frame again
        viewer->Hide();
        QVERIFY(dialogs->Messages.isEmpty());
    }

    void finalizeWithFramesShown()
    {
        // The data module goes before the snap-in and its frames; they must not
        // touch it on the way out.
        IRef<TConsole> console(new TConsole);
        Panel panel, navPanel;
        QPointer<QWidget> frame, navigatorFrame;
        {
            const IRef<ISnapin> snapin = snapinFor(IRef<IConsole>(console));
            snapin.query<IViewer>()->Show(&panel);
            snapin.query<INavigable>()->ShowNavigator(&navPanel);
            frame = snapin.query<IViewer>()->GetFrame();
            navigatorFrame = snapin.query<INavigable>()->GetFrame();
        }
        QVERIFY(frame && navigatorFrame);
        QCOMPARE(navigatorFrame->parentWidget(), &navPanel);
        console->Clear();
        Finalize();
        QVERIFY(!LedgerDM);
        QVERIFY(!frame && !navigatorFrame);
        Initialize(); // for cleanup()
    }

    void oneFactoryOneSnapin()
    {
        auto factory = IRef<ISnapinFactory>::adopt(GetSnapinFactory());
        QCOMPARE(IRef<ISnapinFactory>::adopt(GetSnapinFactory()).get(), factory.get());
        QCOMPARE(IRef<ISnapinFactory>::adopt(LedgerRegistration_GetSnapinFactory()).get(), factory.get());

        const IRef<IConsole> first(IRef<TestConsole>(new TestConsole)), second(IRef<TestConsole>(new TestConsole));
        const IRef<ISnapin> a = factory->GetSnapin(first);
        QCOMPARE(GlobalConsole.get(), first.get());
        const IRef<ISnapin> b = factory->GetSnapin(second);
        QCOMPARE(a.get(), b.get());
        // The module follows the latest console; the snap-in keeps its first.
        QCOMPARE(GlobalConsole.get(), second.get());
        QCOMPARE(dynamic_cast<TLedgerSnapin *>(a.get())->Console().get(), first.get());
    }

    void nestedInitialize()
    {
        TLedgerDM *dm = LedgerDM; // init() started the module once
        Initialize();
        Finalize();
        QCOMPARE(LedgerDM, dm);
        QVERIFY(LedgerFactoryObject());
        // cleanup() makes the last Finalize and checks everything went.
    }

    void resourceStrings()
    {
        const QList<TResourceString> &all = LedgerResourceStrings();
        QSet<QString> names;
        for (const TResourceString &r : all) {
            QVERIFY2(r.Text && !r.Text->isEmpty(), r.Name);
            names.insert(QString::fromLatin1(r.Name));
        }
        QCOMPARE(all.size(), 27);
        QCOMPARE(names.size(), 27);
        QCOMPARE(_SCAN_DOC_DIR_WRN.count(QStringLiteral("\r\n")), 2);
        QCOMPARE(_SCAN_DOC_DIR_WRN.count(u'\n'), 2);
    }

    void entryPointsThroughQLibrary()
    {
        const QString dir = qEnvironmentVariable("KLEDGER_MODULE_DIR");
        if (dir.isEmpty())
            QSKIP("KLEDGER_MODULE_DIR is not set; run through ctest");
        QLibrary library(QDir(dir).filePath(QStringLiteral("ledger")));
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        for (const char *name : {"Initialize", "Finalize", "GetPackageInfoTable", "GetSnapinFactory"})
            QVERIFY2(library.resolve(name), name);
        // The same library this test links.
        QVERIFY(library.resolve("Initialize") == reinterpret_cast<QFunctionPointer>(&Initialize));
        const auto table = reinterpret_cast<TGetPackageInfoTableProc>(library.resolve("GetPackageInfoTable"))();
        QCOMPARE(table->UnitCount, 9);
        QCOMPARE(QString::fromLatin1(table->Units[8].Name), QStringLiteral("LedgerViewerUnit"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestLedgerSnapin)
#include "tst_ledgersnapin.moc"
