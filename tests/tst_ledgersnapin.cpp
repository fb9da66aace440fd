// The ledger snap-in as the console sees it, and the module's entry points.

#include "Console.h"
#include "CommonStrings.h"
#include "KPackage.h"
#include "ScriptedDialogs.h"
#include "TestConsole.h"
#include "ZConnection.h"
#include "data/LedgerDMUnit.h"
#include "integration/LedgerRegistration.h"
#include "integration/LedgerResourceString.h"
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
        if (iid == ISecurity::IID())
            ++Asked;
        return TestSecurity::QueryInterface(iid, out);
    }
    int Contacts() const { return Asked + ConnectCalls + GetConnectionCalls; }
};

TConnectionParams sqliteParams(const QTemporaryDir &dir, const QString &name)
{
    TConnectionParams p;
    p.Driver = QStringLiteral("QSQLITE");
    p.Database = dir.filePath(name);
    return p;
}

} // namespace

class TestLedgerSnapin : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void identity();
    void queryGivesOwnObjects();
    void load_data();
    void load();
    void showSetsActiveGridHideClearsIt();
    void factoryIsOne();
    void oneSnapinAcrossConsoles();
    void nestedInitialize();
    void finalizeWithFramesShown();
    void resourceStrings();
    void entryPointsThroughQLibrary();

private:
    IRef<ISnapin> snapinFor(const IRef<IConsole> &console);
    QTemporaryDir m_dir;
};

void TestLedgerSnapin::init()
{
    Initialize();
}

void TestLedgerSnapin::cleanup()
{
    Finalize();
    QVERIFY(!LedgerDM);
    QVERIFY(!GlobalConsole);
}

IRef<ISnapin> TestLedgerSnapin::snapinFor(const IRef<IConsole> &console)
{
    auto factory = IRef<ISnapinFactory>::adopt(GetSnapinFactory());
    return factory ? factory->GetSnapin(console) : IRef<ISnapin>();
}

void TestLedgerSnapin::identity()
{
    IRef<TestConsole> console(new TestConsole);
    const IRef<ISnapin> snapin = snapinFor(IRef<IConsole>(console));
    QVERIFY(snapin);
    QCOMPARE(snapin->GetSnapinType(), 2025);
    QCOMPARE(snapin->GetName(), QStringLiteral("Delovodnik"));
    QCOMPARE(snapin->GetDescription(), QStringLiteral("Upravljanje delovodnikom"));
    QCOMPARE(snapin->GetDataSet(), static_cast<TDataSet *>(LedgerDM->LedgerItemZQ));
    QCOMPARE(snapin->GetImage().size(), QSize(16, 16));
    QVERIFY(snapin.query<ILedger>());
}

void TestLedgerSnapin::queryGivesOwnObjects()
{
    IRef<TestConsole> console(new TestConsole);
    const IRef<ISnapin> snapin = snapinFor(IRef<IConsole>(console));
    auto *ledger = dynamic_cast<TLedgerSnapin *>(snapin.get());
    QVERIFY(ledger);

    const IRef<IViewer> viewer = snapin.query<IViewer>();
    const IRef<INavigable> navigator = snapin.query<INavigable>();
    QVERIFY(viewer);
    QVERIFY(navigator);
    QCOMPARE(viewer.get(), ledger->Viewer().get());
    QCOMPARE(navigator.get(), ledger->Navigator().get());
    // Objects of their own: neither answers as the snap-in.
    QVERIFY(!viewer.query<ISnapin>());
    QVERIFY(!navigator.query<ISnapin>());
    QVERIFY(!viewer.query<INavigable>());
}

void TestLedgerSnapin::load_data()
{
    QTest::addColumn<QString>("dmConnection"); // none, closed, open
    QTest::addColumn<bool>("security");
    QTest::addColumn<int>("connectCalls");
    QTest::addColumn<int>("getConnectionCalls");
    QTest::addColumn<QString>("dmAfter"); // none, own, security's
    QTest::addColumn<bool>("connectedAfter");
    QTest::addColumn<bool>("errorShown");

    QTest::newRow("connected: security not contacted") << "open" << true << 0 << 0 << "own" << true << false;
    QTest::newRow("closed connection kept") << "closed" << true << 1 << 0 << "own" << false << false;
    QTest::newRow("no connection: security's installed") << "none" << true << 1 << 1 << "security's" << true << false;
    QTest::newRow("no security module") << "none" << false << 0 << 0 << "none" << false << true;
}

void TestLedgerSnapin::load()
{
    QFETCH(QString, dmConnection);
    QFETCH(bool, security);
    QFETCH(int, connectCalls);
    QFETCH(int, getConnectionCalls);
    QFETCH(QString, dmAfter);
    QFETCH(bool, connectedAfter);
    QFETCH(bool, errorShown);

    ScopedScriptedDialogs dialogs;
    TZConnection own, securitys;
    own.SetParams(sqliteParams(m_dir, QStringLiteral("own.db")));
    securitys.SetParams(sqliteParams(m_dir, QStringLiteral("security.db")));
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
    const IRef<IViewer> viewer = snapin.query<IViewer>();
    counting->Asked = 0;

    viewer->Load(snapin);

    if (dmConnection == QLatin1String("open"))
        QCOMPARE(counting->Contacts(), 0);
    QCOMPARE(counting->ConnectCalls, connectCalls);
    QCOMPARE(counting->GetConnectionCalls, getConnectionCalls);
    TZConnection *expected = dmAfter == QLatin1String("own")          ? &own
                             : dmAfter == QLatin1String("security's") ? &securitys
                                                                      : nullptr;
    QCOMPARE(LedgerDM->ZConnection(), expected);
    // Connect() opens the security module's own connection, which the kept
    // one is not in this test.
    if (expected && dmConnection != QLatin1String("closed"))
        QCOMPARE(expected->Connected(), connectedAfter);
    if (errorShown) {
        QCOMPARE(dialogs->Messages.size(), 1);
        QCOMPARE(dialogs->Messages[0].Text, FormatStr(_CMN_NO_MODULE, {_CMN_MOD_SECURITY_NAME}));
        QCOMPARE(dialogs->Messages[0].Type, TMsgDlgType::Error);
    } else {
        QVERIFY(dialogs->Messages.isEmpty());
    }
    LedgerDM->SetZConnection(nullptr);
}

void TestLedgerSnapin::showSetsActiveGridHideClearsIt()
{
    ScopedScriptedDialogs dialogs;
    IRef<TConsole> console(new TConsole);
    const IRef<ISnapin> snapin = snapinFor(IRef<IConsole>(console));
    const IRef<IViewer> viewer = snapin.query<IViewer>();
    const IRef<INavigable> navigator = snapin.query<INavigable>();

    QWidget panel, navPanel;
    new QVBoxLayout(&panel);
    new QVBoxLayout(&navPanel);
    viewer->Show(&panel);
    navigator->ShowNavigator(&navPanel);
    auto *frame = qobject_cast<TLedgerViewerForm *>(viewer->GetFrame());
    QVERIFY(frame);
    QCOMPARE(frame->parentWidget(), &panel);
    QCOMPARE(console->ActiveGrid(), static_cast<QAbstractItemView *>(frame->DBG));
    QCOMPARE(viewer->GetActionList(), frame->ActionList());
    QVERIFY(navigator->GetFrame());
    QCOMPARE(navigator->GetFrame()->parentWidget(), &navPanel);

    viewer->Hide();
    navigator->HideNavigator();
    QCOMPARE(console->ActiveGrid(), nullptr);
    QVERIFY(frame->isHidden());
    // Shown again: the same frame comes back.
    viewer->Show(&panel);
    QCOMPARE(viewer->GetFrame(), static_cast<QWidget *>(frame));
    viewer->Hide();
    QVERIFY(dialogs->Messages.isEmpty());
}

void TestLedgerSnapin::factoryIsOne()
{
    auto first = IRef<ISnapinFactory>::adopt(GetSnapinFactory());
    auto second = IRef<ISnapinFactory>::adopt(GetSnapinFactory());
    QVERIFY(first);
    QCOMPARE(first.get(), second.get());
    auto third = IRef<ISnapinFactory>::adopt(LedgerRegistration_GetSnapinFactory());
    QCOMPARE(third.get(), first.get());
}

void TestLedgerSnapin::oneSnapinAcrossConsoles()
{
    QVERIFY(!GlobalConsole);
    IRef<TestConsole> firstConsole(new TestConsole), secondConsole(new TestConsole);
    const IRef<IConsole> first(firstConsole), second(secondConsole);

    const IRef<ISnapin> a = snapinFor(first);
    QCOMPARE(GlobalConsole.get(), first.get());
    const IRef<ISnapin> b = snapinFor(second);
    QCOMPARE(a.get(), b.get());
    QCOMPARE(GlobalConsole.get(), second.get());
    auto *ledger = dynamic_cast<TLedgerSnapin *>(a.get());
    QVERIFY(ledger);
    QCOMPARE(ledger->Console().get(), first.get());
}

void TestLedgerSnapin::nestedInitialize()
{
    // init() started the module once already.
    TLedgerDM *dm = LedgerDM;
    QVERIFY(dm);
    Initialize();
    QCOMPARE(LedgerDM, dm);
    Finalize();
    QCOMPARE(LedgerDM, dm);
    QVERIFY(LedgerFactoryObject());
    // cleanup() makes the last Finalize and checks everything went.
}

void TestLedgerSnapin::finalizeWithFramesShown()
{
    // The data module goes before the snap-in and its frames; they must not
    // touch it on the way out.
    ScopedScriptedDialogs dialogs;
    IRef<TConsole> console(new TConsole);
    QWidget panel, navPanel;
    new QVBoxLayout(&panel);
    new QVBoxLayout(&navPanel);
    QPointer<QWidget> frame, navigatorFrame;
    {
        const IRef<ISnapin> snapin = snapinFor(IRef<IConsole>(console));
        snapin.query<IViewer>()->Show(&panel);
        snapin.query<INavigable>()->ShowNavigator(&navPanel);
        frame = snapin.query<IViewer>()->GetFrame();
        navigatorFrame = snapin.query<INavigable>()->GetFrame();
    }
    QVERIFY(frame);
    QVERIFY(navigatorFrame);
    console->Clear();
    Finalize();
    QVERIFY(!LedgerDM);
    QVERIFY(!frame);
    QVERIFY(!navigatorFrame);
    QVERIFY(dialogs->Messages.isEmpty());
    Initialize(); // for cleanup()
}

void TestLedgerSnapin::resourceStrings()
{
    const QList<TResourceString> &all = LedgerResourceStrings();
    QCOMPARE(all.size(), 27);
    QSet<QString> names;
    for (const TResourceString &r : all) {
        QVERIFY(r.Text);
        QVERIFY2(!r.Text->isEmpty(), r.Name);
        names.insert(QString::fromLatin1(r.Name));
    }
    QCOMPARE(names.size(), 27);
    QCOMPARE(QString::fromLatin1(all.first().Name), QStringLiteral("_LEDGER_MOD_NAME"));
    QCOMPARE(QString::fromLatin1(all.last().Name), QStringLiteral("_SCAN_DOC_DIR_WRN"));
    QCOMPARE(_SCAN_DOC_DIR_WRN.count(QStringLiteral("\r\n")), 2);
    QCOMPARE(_SCAN_DOC_DIR_WRN.count(u'\n'), 2);
}

void TestLedgerSnapin::entryPointsThroughQLibrary()
{
    const QString dir = qEnvironmentVariable("KLEDGER_MODULE_DIR");
    if (dir.isEmpty())
        QSKIP("KLEDGER_MODULE_DIR is not set; run through ctest");
    QLibrary library(QDir(dir).filePath(QStringLiteral("ledger")));
    QVERIFY2(library.load(), qPrintable(library.errorString()));
    const auto initialize = reinterpret_cast<TInitializeProc>(library.resolve("Initialize"));
    const auto finalize = reinterpret_cast<TFinalizeProc>(library.resolve("Finalize"));
    const auto table = reinterpret_cast<TGetPackageInfoTableProc>(library.resolve("GetPackageInfoTable"));
    const auto factory = reinterpret_cast<TGetSnapinFactoryProc>(library.resolve("GetSnapinFactory"));
    QVERIFY(initialize);
    QVERIFY(finalize);
    QVERIFY(table);
    QVERIFY(factory);
    // The same library this test links: the resolved entries are the linked ones.
    QVERIFY(initialize == &Initialize);
    const TPackageInfoTable *info = table();
    QVERIFY(info);
    QCOMPARE(info->UnitCount, 9);
    QCOMPARE(QString::fromLatin1(info->Units[0].Name), QStringLiteral("LedgerResourceString"));
    QCOMPARE(QString::fromLatin1(info->Units[8].Name), QStringLiteral("LedgerViewerUnit"));
    auto fromLibrary = IRef<ISnapinFactory>::adopt(factory());
    auto linked = IRef<ISnapinFactory>::adopt(GetSnapinFactory());
    QCOMPARE(fromLibrary.get(), linked.get());
}

QTEST_MAIN(TestLedgerSnapin)
#include "tst_ledgersnapin.moc"
