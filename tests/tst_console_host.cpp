// The console object, its settings, the module loader and the main window.

#include "AboutText.h"
#include "Console.h"
#include "ConsoleLayout.h"
#include "ConsoleSettings.h"
#include "ConsoleWindow.h"
#include "DBGrid.h"
#include "IniFile.h"
#include "ModuleLoader.h"
#include "ScriptedDialogs.h"
#include "Services.h"
#include "StatusBar.h"
#include "TestFiles.h"
#include "data/ILedger.h" // an interface a snap-in offers the other modules

#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QSplitter>
#include <QLabel>
#include <QLayout>
#include <QLibrary>
#include <QListWidget>
#include <QMenu>
#include <QTableView>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QToolBar>
#include <QtTest>
#include <stdexcept>

namespace {

// An in-process snap-in with a viewer and a navigator, recording the calls.
class FakeSnapin : public TInterfacedObject, public ISnapin, public IViewer, public INavigable, public ILedger
{
public:
    FakeSnapin(QString name, QStringList *log, bool throwOnShow = false)
        : m_name(std::move(name)), m_log(log), m_throwOnShow(throwOnShow)
    {
        m_action = new QAction(m_name + QStringLiteral(" akcija"));
        m_action->setObjectName(m_name + QStringLiteral("Action"));
    }
    ~FakeSnapin() override
    {
        delete m_action;
        delete m_frame;
        delete m_navFrame;
    }

    bool QueryInterface(const QUuid &iid, void **out) override
    {
        if (iid == ISnapin::IID())
            return answer<ISnapin>(this, out);
        if (iid == IViewer::IID())
            return answer<IViewer>(this, out);
        if (iid == INavigable::IID())
            return answer<INavigable>(this, out);
        if (iid == ILedger::IID())
            return answer<ILedger>(this, out);
        return TInterfacedObject::QueryInterface(iid, out);
    }

    TDataSet *GetDataSet() override { return nullptr; }
    QString GetDescription() override { return m_name + QStringLiteral(" opis"); }
    QImage GetImage() override { return {}; }
    QString GetName() override { return m_name; }
    qint32 GetSnapinType() override { return 0; }

    void Load(const IRef<ISnapin> &) override { *m_log << m_name + QStringLiteral(":Load"); }
    void Show(QWidget *parent) override
    {
        *m_log << m_name + QStringLiteral(":Show");
        if (m_throwOnShow)
            throw std::runtime_error("prikaz nije uspeo");
        m_frame = new QLabel(m_name, parent);
        m_frame->setObjectName(m_name + QStringLiteral("Frame"));
        if (parent->layout())
            parent->layout()->addWidget(m_frame);
    }
    void Hide() override
    {
        *m_log << m_name + QStringLiteral(":Hide");
        delete m_frame;
    }
    QList<QAction *> GetActionList() override { return {m_action}; }
    QWidget *GetFrame() override { return m_frame; }

    void ShowNavigator(QWidget *parent) override
    {
        *m_log << m_name + QStringLiteral(":ShowNavigator");
        m_navFrame = new QLabel(m_name, parent);
        m_navFrame->setObjectName(m_name + QStringLiteral("Navigator"));
        if (parent->layout())
            parent->layout()->addWidget(m_navFrame);
    }
    void HideNavigator() override
    {
        *m_log << m_name + QStringLiteral(":HideNavigator");
        delete m_navFrame;
    }

    bool GetLedger(TLedgerDesc &) override { return false; }
    void OpenLedger(qint32) override {}

    QAction *Action() const { return m_action; }
    QWidget *Frame() const { return m_frame; }

private:
    QString m_name;
    QStringList *m_log;
    bool m_throwOnShow;
    QAction *m_action;
    QPointer<QLabel> m_frame;
    QPointer<QLabel> m_navFrame;
};

// A snap-in that also claims to be a partner service: the console's own must win.
class ImpostorSnapin : public TInterfacedObject, public ISnapin, public IPartner
{
public:
    bool QueryInterface(const QUuid &iid, void **out) override
    {
        if (iid == ISnapin::IID())
            return answer<ISnapin>(this, out);
        if (iid == IPartner::IID())
            return answer<IPartner>(this, out);
        return TInterfacedObject::QueryInterface(iid, out);
    }
    TDataSet *GetDataSet() override { return nullptr; }
    QString GetDescription() override { return {}; }
    QImage GetImage() override { return {}; }
    QString GetName() override { return QStringLiteral("Uljez"); }
    qint32 GetSnapinType() override { return 0; }
    bool SelectPartner(TPartnerDesc &) override { return false; }
};

} // namespace

class TestConsoleHost : public QObject
{
    Q_OBJECT
private slots:
    void settings_data()
    {
        QTest::addColumn<QString>("initial");  // ini text before the start; empty: no file
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("database"); // relative: expected beside the ini
        QTest::newRow("first start") << "" << "QSQLITE" << "kledger.db";
        QTest::newRow("relative SQLite file") << "[Database]\nDatabase=podaci/knjiga.db\n" << "QSQLITE"
                                              << "podaci/knjiga.db";
        QTest::newRow("absolute SQLite file") << "[Database]\nDriver=QSQLITE\nDatabase=/srv/knjiga.db\n" << "QSQLITE"
                                              << "/srv/knjiga.db";
        QTest::newRow("MariaDB keeps its name") << "[Database]\nDriver=QMYSQL\nDatabase=delovodnik\n" << "QMYSQL"
                                                << "=delovodnik";
        QTest::newRow("unknown driver falls back") << "[Database]\nDriver=QODBC\n" << "QSQLITE" << "kledger.db";
    }

    void settings()
    {
        QFETCH(QString, initial);
        QFETCH(QString, driver);
        QFETCH(QString, database);
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kconsole.ini"));
        if (!initial.isEmpty())
            QVERIFY(WriteTestFile(ini, initial.toUtf8()));
        const TConnectionParams p = ConsoleSettings::LoadConnectionParams(ini);
        QCOMPARE(p.Driver, driver);
        if (database.startsWith(u'='))
            QCOMPARE(p.Database, database.mid(1));
        else if (database.startsWith(u'/'))
            QCOMPARE(p.Database, database);
        else
            QCOMPARE(p.Database, QDir(dir.path()).filePath(database));

        // Every key is in the file afterwards, and what was there is kept.
        const TIniFile written(ini);
        for (const char *key : {"Driver", "Database", "Host", "Port", "Socket", "User", "Password"})
            QVERIFY2(written.Contains(QStringLiteral("Database"), QLatin1String(key)), key);
        if (initial.contains(QLatin1String("Database=")))
            QCOMPARE(written.Value(QStringLiteral("Database"), QStringLiteral("Database")),
                     initial.section(QStringLiteral("Database="), 1).section(u'\n', 0, 0));
    }

    void handWrittenValues_data()
    {
        QTest::addColumn<QString>("line"); // as written under [Database]
        QTest::addColumn<QString>("value");
        QTest::newRow("windows path") << "Password=C:\\arhiva\\skenirano" << "C:\\arhiva\\skenirano";
        QTest::newRow("unc path") << "Password=\\\\server\\share\\novi" << "\\\\server\\share\\novi";
        QTest::newRow("comma and space") << "Password=/srv/Skenovi, 2024" << "/srv/Skenovi, 2024";
        QTest::newRow("comma, semicolon, backslash") << "Password=se,cr;et\\x" << "se,cr;et\\x";
        QTest::newRow("non-ASCII, blanks around =") << "Password = Šifra sa razmakom ž" << "Šifra sa razmakom ž";
        QTest::newRow("quotes stay") << "Password=\"a b\"" << "\"a b\"";
        QTest::newRow("empty") << "Password=" << "";
    }

    // A value reads back as written, and the console's first start rewrites
    // nothing of it.
    void handWrittenValues()
    {
        QFETCH(QString, line);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kconsole.ini"));
        const QByteArray written = (QStringLiteral("[Database]\r\nDriver=QMYSQL\r\n") + line + QStringLiteral("\r\n")).toUtf8();
        QVERIFY(WriteTestFile(ini, written));
        QCOMPARE(TIniFile(ini).Value(QStringLiteral("Database"), QStringLiteral("Password")), value);
        QCOMPARE(ConsoleSettings::LoadConnectionParams(ini).Password, value);
        QVERIFY(ReadTestFile(ini).startsWith(written));
    }

    // The desks' list of cluster nodes reaches the connection as written.
    void serverListLine()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kconsole.ini"));
        QVERIFY(WriteTestFile(ini, "[Database]\nDriver=QMYSQL\nServers=/run/a b.sock; db2.kancelarija:3307;[fd00::3]\n"));
        QCOMPARE(ConsoleSettings::LoadConnectionParams(ini).Servers,
                 QStringLiteral("/run/a b.sock; db2.kancelarija:3307;[fd00::3]"));
    }

    void rewriteKeepsOtherLines()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kconsole.ini"));
        const QByteArray before = "; podešavanja kancelarije\n[Database]\nDriver = QSQLITE\n  # stara baza\nDatabase=a;b.db\n\n"
                                  "[Drugo]\nKljuč=\\\\x, y\n";
        QVERIFY(WriteTestFile(ini, before));
        ConsoleSettings::LoadConnectionParams(ini); // adds the keys that are missing
        ConsoleSettings::SetLastLogin(ini, QStringLiteral("ana"));
        QCOMPARE(QString::fromUtf8(ReadTestFile(ini)),
                 QStringLiteral("; podešavanja kancelarije\n[Database]\nDriver = QSQLITE\n  # stara baza\nDatabase=a;b.db\n"
                                "Host=localhost\nPort=3306\nSocket=\nServers=\nUser=\nPassword=\nConnectTimeout=10\nReadTimeout=30\nWriteTimeout=30\n\n[Drugo]\nKljuč=\\\\x, y\n\n"
                                "[Session]\nLastLogin=ana\n"));
        // A new file holds a password: only its owner may read it.
        const QString fresh = dir.filePath(QStringLiteral("novi.ini"));
        ConsoleSettings::LoadConnectionParams(fresh);
        QCOMPARE(QFile::permissions(fresh) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
    }

    void querySnapin_data()
    {
        QTest::addColumn<QUuid>("iid");
        QTest::addColumn<QString>("answeredBy"); // security, partner, document, snapin or empty
        QTest::newRow("security") << ISecurity::IID() << "security";
        QTest::newRow("partner: the console's own before a snap-in's") << IPartner::IID() << "partner";
        QTest::newRow("document") << IDocument::IID() << "document";
        QTest::newRow("ledger from a snap-in") << ILedger::IID() << "snapin";
        QTest::newRow("unknown") << QUuid(QStringLiteral("{0B5A6C7D-1111-2222-3333-444455556666}")) << "";
    }

    void querySnapin()
    {
        QFETCH(QUuid, iid);
        QFETCH(QString, answeredBy);
        QStringList log;
        TZConnection connection;
        IRef<TSecurityService> security(new TSecurityService(&connection));
        IRef<TPartnerService> partner(new TPartnerService(&connection));
        IRef<TDocumentService> document(new TDocumentService(&connection));
        IRef<ImpostorSnapin> impostor(new ImpostorSnapin);
        IRef<FakeSnapin> snapin(new FakeSnapin(QStringLiteral("Delovodnik"), &log));
        IRef<TConsole> console(new TConsole);
        console->AddService(IRef<IInterface>(security));
        console->AddService(IRef<IInterface>(partner));
        console->AddService(IRef<IInterface>(document));
        console->AddSnapin(IRef<ISnapin>(impostor));
        console->AddSnapin(IRef<ISnapin>(snapin));

        void *out = reinterpret_cast<void *>(0x1);
        const bool found = console->QuerySnapin(iid, &out);
        QCOMPARE(found, !answeredBy.isEmpty());
        if (!found) {
            QVERIFY(out == nullptr);
            return;
        }
        const QHash<QString, void *> expected = {
            {QStringLiteral("security"), static_cast<ISecurity *>(security.get())},
            {QStringLiteral("partner"), static_cast<IPartner *>(partner.get())},
            {QStringLiteral("document"), static_cast<IDocument *>(document.get())},
            {QStringLiteral("snapin"), static_cast<ILedger *>(snapin.get())},
        };
        QCOMPARE(out, expected.value(answeredBy));
        // The answer carries its own reference.
        auto *answered = static_cast<IInterface *>(nullptr);
        if (answeredBy == QLatin1String("snapin")) {
            QCOMPARE(snapin->RefCount(), 3); // test, console, answer
            static_cast<ILedger *>(out)->Release();
        } else {
            answered = answeredBy == QLatin1String("security") ? static_cast<IInterface *>(security.get())
                       : answeredBy == QLatin1String("partner") ? static_cast<IInterface *>(partner.get())
                                                                : static_cast<IInterface *>(document.get());
            QCOMPARE(answered->Release(), 2);
        }
        console->Clear();
        QCOMPARE(snapin->RefCount(), 1);
        QCOMPARE(security->RefCount(), 1);
    }

    void activeGridForgottenWhenDeleted()
    {
        IRef<TConsole> console(new TConsole);
        auto *grid = new QTableView;
        QVERIFY(console->SetActiveGrid(grid));
        QCOMPARE(console->ActiveGrid(), grid);
        delete grid;
        QCOMPARE(console->ActiveGrid(), nullptr);
    }

    void loaderSkipsLibrariesThatAreNotModules()
    {
        QTemporaryDir dir;
        QVERIFY(WriteTestFile(dir.filePath(QStringLiteral("x.so")), {}));
        const QString systemLib = QStringLiteral("/usr/lib/x86_64-linux-gnu/libz.so.1");
        const bool haveSystemLib = QFile::exists(systemLib);
        if (haveSystemLib)
            QVERIFY(QFile::copy(systemLib, dir.filePath(QStringLiteral("libzkopija.so"))));
        QVERIFY(WriteTestFile(dir.filePath(QStringLiteral("beleska.txt")), "nije biblioteka"));

        IRef<TConsole> console(new TConsole);
        TModuleLoader loader;
        loader.LoadAll(dir.path(), console);
        QVERIFY(console->Snapins().empty());
        QCOMPARE(loader.Warnings().size(), haveSystemLib ? 2 : 1);
        QVERIFY(loader.Warnings().join(u'\n').contains(QLatin1String("x.so")));
        QCOMPARE(console->RefCount(), 1);
    }

    void loaderStartsAndStopsModuleInOrder()
    {
        TZConnection connection;
        IRef<TConsole> console(new TConsole);
        console->AddService(IRef<IInterface>(IRef<TSecurityService>(new TSecurityService(&connection))));
        TModuleLoader loader;
        loader.LoadAll(QStringLiteral(FAKE_MODULE_DIR), console);
        QVERIFY2(loader.Warnings().isEmpty(), qPrintable(loader.Warnings().join(u'\n')));
        QCOMPARE(int(loader.Modules().size()), 1);
        QCOMPARE(int(console->Snapins().size()), 1);
        QCOMPARE(console->Snapins().front()->GetName(), QStringLiteral("Proba"));
        QVERIFY(loader.Modules().front().Info && loader.Modules().front().Info->UnitCount == 1);

        QLibrary library(loader.Modules().front().Path);
        const auto events = reinterpret_cast<const char *(*)()>(library.resolve("FakeModuleEvents"));
        QVERIFY(events);
        // The snap-in holds the console: the loader's reference plus the snap-in's.
        QCOMPARE(console->RefCount(), 2);

        loader.ReleaseReferences(console.get());
        QVERIFY(console->Snapins().empty());
        QCOMPARE(console->RefCount(), 1);
        loader.FinalizeAll();
        loader.FinalizeAll(); // only once
        QCOMPARE(QString::fromUtf8(events()).split(u'|'),
                 QStringList({"initialize", "snapin made, console has security", "snapin released", "factory released",
                              "finalize"}));
    }

    // Fresh copies, so that the loader tests' module keeps its own record.
    void aboutText()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(QStringLiteral(FAKE_MODULE_DIR "/libtst_console_fakemodule.so"), dir.filePath("libaproba.so")));
        QVERIFY(QFile::copy(QStringLiteral(PLAIN_MODULE_DIR "/libtst_console_plainmodule.so"), dir.filePath("libbez.so")));
        IRef<TConsole> console(new TConsole);
        TModuleLoader loader;
        loader.LoadAll(dir.path(), console);
        const QString text = AboutText(QStringLiteral("Konzola"), QStringLiteral("3.1"), loader.Modules());
        QCOMPARE(text, QStringLiteral("Konzola, verzija 3.1\n\nUčitani moduli:\n"
                                      "• Probni modul (libaproba.so)\n   verzija datoteke 2.0.0.7, verzija proizvoda 2.0\n"
                                      "• libbez.so: bez podataka o verziji"));
        ScopedScriptedDialogs dialogs;
        TConsoleWindow window(QStringLiteral("Ana"), QString());
        window.SetAboutText(text);
        window.findChild<QAction *>(QStringLiteral("aboutAction"))->trigger();
        // No module here brings a guide.
        window.findChild<QAction *>(QStringLiteral("guideAction"))->trigger();
        QCOMPARE(dialogs->Messages.size(), 2);
        QCOMPARE(dialogs->Messages.at(0).Text, text);
        QCOMPARE(dialogs->Messages.at(1).Text, QStringLiteral("Uputstvo nije dostupno: nijedan učitani modul ga ne donosi."));
        loader.ReleaseReferences(console.get());
        loader.FinalizeAll();
    }

    void windowSwitchesSnapins()
    {
        ScopedScriptedDialogs dialogs;
        QStringList log;
        IRef<FakeSnapin> first(new FakeSnapin(QStringLiteral("Delovodnik"), &log));
        IRef<FakeSnapin> second(new FakeSnapin(QStringLiteral("Arhiva"), &log));
        TConsoleWindow window(QStringLiteral("Ana Petrović"), QStringLiteral("SQLite: /tmp/k.db"));
        window.SetSnapins({IRef<ISnapin>(first), IRef<ISnapin>(second)});
        auto *toolBar = window.findChild<QToolBar *>(QStringLiteral("mainToolBar"));
        auto *menu = window.findChild<QMenu *>(QStringLiteral("actionsMenu"));
        QVERIFY(toolBar && menu);
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("userLabel"))->text(), QStringLiteral("Korisnik: Ana Petrović"));
        QCOMPARE(window.SnapinNames(), QStringList({"Delovodnik", "Arhiva"}));
        QCOMPARE(window.findChild<QListWidget *>(QStringLiteral("snapinList"))->item(0)->toolTip(),
                 QStringLiteral("Delovodnik opis"));

        QVERIFY(window.SelectSnapin(QString()));
        QCOMPARE(log, QStringList({"Delovodnik:Load", "Delovodnik:ShowNavigator", "Delovodnik:Show"}));
        QVERIFY(window.ViewerPanel()->findChild<QLabel *>(QStringLiteral("DelovodnikFrame")));
        QVERIFY(window.NavigatorPanel()->findChild<QLabel *>(QStringLiteral("DelovodnikNavigator")));
        QVERIFY(toolBar->actions().contains(first->Action()));
        QVERIFY(menu->actions().contains(first->Action()));
        QVERIFY(menu->isEnabled());
        QSignalSpy triggered(first->Action(), &QAction::triggered);
        QVERIFY(window.TriggerAction(QStringLiteral("DelovodnikAction")));
        QCOMPARE(triggered.count(), 1);
        QVERIFY(!window.TriggerAction(QStringLiteral("ArhivaAction"))); // not the shown snap-in's

        log.clear();
        QVERIFY(window.SelectSnapin(QStringLiteral("arhiva")));
        QCOMPARE(log, QStringList({"Delovodnik:Hide", "Delovodnik:HideNavigator", "Arhiva:Load", "Arhiva:ShowNavigator",
                                   "Arhiva:Show"}));
        QVERIFY(!toolBar->actions().contains(first->Action()));
        QVERIFY(!menu->actions().contains(first->Action()));
        QVERIFY(toolBar->actions().contains(second->Action()));
        QVERIFY(!window.SelectSnapin(QStringLiteral("Nepostojeći")));

        log.clear();
        window.ReleaseSnapins();
        QCOMPARE(log, QStringList({"Arhiva:Hide", "Arhiva:HideNavigator"}));
        QVERIFY(!toolBar->actions().contains(second->Action()));
        QCOMPARE(first->RefCount(), 1);
        QCOMPARE(second->RefCount(), 1);
        QVERIFY(dialogs->Messages.isEmpty());
    }

    void countText_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "0 stavki";
        QTest::newRow("1") << 1 << "1 stavka";
        QTest::newRow("2") << 2 << "2 stavke";
        QTest::newRow("5") << 5 << "5 stavki";
        QTest::newRow("11") << 11 << "11 stavki";
        QTest::newRow("12") << 12 << "12 stavki";
        QTest::newRow("21") << 21 << "21 stavka";
        QTest::newRow("104") << 104 << "104 stavke";
        QTest::newRow("1234") << 1234 << "1.234 stavke";
        QTest::newRow("1235") << 1235 << "1.235 stavki";
        QTest::newRow("1000001") << 1000001 << "1.000.001 stavka";
    }

    void countText()
    {
        QFETCH(int, count);
        QFETCH(QString, text);
        QCOMPARE(ItemCountText(count), text);
    }

    void shortcutFromSearchPanel()
    {
        ScopedScriptedDialogs dialogs;
        QStringList log;
        IRef<FakeSnapin> snapin(new FakeSnapin(QStringLiteral("Delovodnik"), &log));
        // As a list frame sets its actions.
        snapin->Action()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
        snapin->Action()->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        TConsoleWindow window(QStringLiteral("Ana Petrović"), QStringLiteral("SQLite: /tmp/k.db"));
        window.SetSnapins({IRef<ISnapin>(snapin)});
        QVERIFY(window.SelectSnapin(QString()));
        snapin->Frame()->addAction(snapin->Action());
        auto *search = new QLineEdit(window.NavigatorPanel());
        window.NavigatorPanel()->layout()->addWidget(search);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        search->setFocus();
        QSignalSpy triggered(snapin->Action(), &QAction::triggered);

        QTest::keyClick(&window, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(triggered.count(), 1);
        // Another window of the program keeps its keys to itself.
        QDialog form(&window);
        form.show();
        form.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &form);
        QTest::keyClick(&form, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(triggered.count(), 1);
        form.close();
        // The frame gets its own context back when it is put away.
        window.ReleaseSnapins();
        QCOMPARE(snapin->Action()->shortcutContext(), Qt::WidgetWithChildrenShortcut);
    }

    void layoutRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = ConsoleLayout::FilePath(dir.filePath(QStringLiteral("kconsole.ini")));
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("kconsole-layout.ini"));
        {
            TConsoleWindow window(QStringLiteral("Ana"), QString());
            window.UseLayoutFile(path, QStringLiteral("ana"));
            window.setGeometry(40, 50, 700, 500);
            window.findChild<QSplitter *>(QStringLiteral("mainSplitter"))->setSizes({150, 550});
            window.show();
            window.setWindowState(Qt::WindowMaximized);
            QTRY_VERIFY(window.isMaximized());
            window.SaveLayout();
            TIniFile ini(path);
            TDBGrid grid;
            for (const char *field : {"direction", "ledgernumber", "partnername"})
                grid.AddColumn(QLatin1String(field), 60);
            grid.horizontalHeader()->resizeSection(1, 90);
            grid.SetColumnVisible(2, false);
            grid.SetVisualOrder({1, 0, 2});
            ConsoleLayout::SaveGrid(ini, QStringLiteral("ana"), QStringLiteral("Delovodnik"), grid);
            ini.Save();
        }
        const TIniFile ini(path);
        TConsoleWindow window(QStringLiteral("Ana"), QString());
        window.UseLayoutFile(path, QStringLiteral("ana"));
        QCOMPARE(window.geometry(), QRect(40, 50, 700, 500)); // the size it goes back to
        QVERIFY(window.windowState() & Qt::WindowMaximized);
        auto *splitter = window.findChild<QSplitter *>(QStringLiteral("mainSplitter"));
        window.show();
        QCOMPARE(splitter->sizes().first(), 150);
        TDBGrid grid;
        for (const char *field : {"direction", "ledgernumber", "partnername", "itemtype"})
            grid.AddColumn(QLatin1String(field), 60);
        ConsoleLayout::RestoreGrid(ini, QStringLiteral("ana"), QStringLiteral("Delovodnik"), grid);
        QCOMPARE(grid.VisualOrder(), QList<int>({1, 0, 2, 3})); // a new column goes last
        QCOMPARE(grid.Columns().at(1).Width, 90);
        QVERIFY(!grid.Columns().at(2).Visible);
        QVERIFY(grid.isColumnHidden(2));
        // The titles' menu shows it again.
        const std::unique_ptr<QMenu> menu = grid.MakeColumnsMenu();
        QAction *partner = menu->findChild<QAction *>(QStringLiteral("partnername"));
        QVERIFY(partner && !partner->isChecked());
        partner->trigger();
        QVERIFY(!grid.isColumnHidden(2));
        // Another login starts with the defaults.
        TConsoleWindow other(QStringLiteral("Marko"), QString());
        other.UseLayoutFile(path, QStringLiteral("marko"));
        QVERIFY(other.geometry() != QRect(40, 50, 700, 500));
    }

    void layoutIgnoresDamage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("garbage") << "\x01\x02[ana\nGeometry=\xff\n";
        QTest::newRow("off screen") << "[ana]\nGeometry=-30000,90000,700,500\nMaximized=x\n";
        QTest::newRow("too small, bad numbers") << "[ana]\nGeometry=10,10,5,5\nSplitter.mainSplitter=a,b\n"
                                                  "Columns.Delovodnik=direction:abc,ledgernumber:90\n";
        QTest::newRow("all hidden, all collapsed") << "[ana]\nColumns.Delovodnik=-direction:70,-ledgernumber:90\n"
                                                     "Splitter.mainSplitter=0,0\n";
    }

    // The first start fits the screen (offscreen: 800 x 800) with its frame.
    void firstSizeFitsTheScreen()
    {
        QCOMPARE(ConsoleLayout::FirstSize(QSize(1280, 800)), QSize(784, 752));
        QCOMPARE(ConsoleLayout::FirstSize(QSize(700, 500)), QSize(700, 500));
    }

    void layoutIgnoresDamage()
    {
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kconsole-layout.ini"));
        QVERIFY(WriteTestFile(path, text.toLatin1()));

        TConsoleWindow window(QStringLiteral("Ana"), QString());
        window.resize(640, 480);
        const QList<int> sizes = window.findChild<QSplitter *>(QStringLiteral("mainSplitter"))->sizes();
        window.UseLayoutFile(path, QStringLiteral("ana"));
        QCOMPARE(window.size(), QSize(640, 480));
        QVERIFY(!window.isMaximized() && !(window.windowState() & Qt::WindowMaximized));
        QCOMPARE(window.findChild<QSplitter *>(QStringLiteral("mainSplitter"))->sizes(), sizes);
        TDBGrid grid;
        grid.AddColumn(QStringLiteral("direction"), 60);
        grid.AddColumn(QStringLiteral("ledgernumber"), 60);
        ConsoleLayout::RestoreGrid(TIniFile(path), QStringLiteral("ana"), QStringLiteral("Delovodnik"), grid);
        QCOMPARE(grid.Columns().at(1).Width, 60);
        QVERIFY(grid.Columns().at(0).Visible && grid.Columns().at(1).Visible);
    }

    void windowSurvivesFailingSnapin()
    {
        ScopedScriptedDialogs dialogs;
        QStringList log;
        IRef<FakeSnapin> broken(new FakeSnapin(QStringLiteral("Pokvaren"), &log, true));
        IRef<FakeSnapin> good(new FakeSnapin(QStringLiteral("Ispravan"), &log));
        TConsoleWindow window(QStringLiteral("Ana Petrović"), QStringLiteral("SQLite: /tmp/k.db"));
        window.SetSnapins({IRef<ISnapin>(broken), IRef<ISnapin>(good)});

        window.SelectSnapin(0);
        QCOMPARE(dialogs->Messages.size(), 1);
        QCOMPARE(dialogs->Messages.front().Text, QStringLiteral("prikaz nije uspeo"));
        QCOMPARE(dialogs->Messages.front().Type, TMsgDlgType::Error);

        // The half-shown snap-in is still taken down when switching away.
        log.clear();
        QVERIFY(window.SelectSnapin(QStringLiteral("Ispravan")));
        QCOMPARE(log.mid(0, 2), QStringList({"Pokvaren:Hide", "Pokvaren:HideNavigator"}));
        QVERIFY(window.ViewerPanel()->findChild<QLabel *>(QStringLiteral("IspravanFrame")));
        window.ReleaseSnapins();
        QCOMPARE(broken->RefCount(), 1);
    }
};

QTEST_MAIN(TestConsoleHost)
#include "tst_console_host.moc"
