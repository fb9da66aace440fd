// Each user's own settings: the script stored per user (one row, the later
// of two desks' saves; a value not known reads as Latin), "Datoteka →
// Podešavanja…" switching the interface and the main window at once, Esc
// leaving all as it was.

#include "BaseSnapin.h"
#include "ConsoleWindow.h"
#include "ModuleMenuActions.h"
#include "ScopedScript.h"
#include "Screenshot.h"
#include "ScriptedDialogs.h"
#include "SerbianQtTexts.h"
#include "SettingsDialog.h"
#include "Services.h"
#include "TestDb.h"
#include "UserSettings.h"
#include "ZTransaction.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QtTest>
#include <atomic>
#include <thread>

Q_DECLARE_METATYPE(TScript)

namespace {

// A module's list frame: one caption, made in the script of its moment.
class LabelViewer : public TCustomViewer
{
public:
    LabelViewer() : TCustomViewer({}) {}
    void InternalCreateFrame() override
    {
        FFrame = new QLabel(UiText(u"Dodaj"));
        FFrame->setObjectName(QStringLiteral("frameLabel"));
    }
    void InternalDestroyFrame() override { delete FFrame.data(); }
};

// A module as the window sees it: its name, an entry of "Pomoć" and a list
// frame, in Latin.
class HelpSnapin : public TInterfacedObject, public ISnapin, public IModuleMenuActions
{
    IRef<LabelViewer> m_viewer{new LabelViewer};

public:
    bool QueryInterface(const QUuid &iid, void **out) override
    {
        if (iid == IViewer::IID())
            return m_viewer->QueryInterface(iid, out);
        if (iid == ISnapin::IID())
            return answer<ISnapin>(this, out);
        if (iid == IModuleMenuActions::IID())
            return answer<IModuleMenuActions>(this, out);
        return TInterfacedObject::QueryInterface(iid, out);
    }
    TDataSet *GetDataSet() override { return nullptr; }
    QString GetDescription() override { return {}; }
    QImage GetImage() override { return {}; }
    QString GetName() override { return QStringLiteral("Probni modul"); }
    qint32 GetSnapinType() override { return 0; }
    QList<TModuleMenuAction> HelpMenuActions() override
    {
        return {{QStringLiteral("Provera &integriteta…"), QStringLiteral("checkAction"), [](QWidget *) {}}};
    }
};

} // namespace

class TestUserSettings : public QObject
{
    Q_OBJECT
    TestDb m_db;
    TZConnection &conn() { return m_db.Connection(); }
    IRef<TSecurityService> m_security{new TSecurityService(&m_db.Connection())};

    // A new user, logged in.
    qint64 newUser(const QString &login)
    {
        m_security->SaveUser(login, QStringLiteral("Test"), QStringLiteral("Korisnik"), QStringLiteral("tajna"));
        TUserDesc user;
        return m_security->Login(login, QStringLiteral("tajna")) && m_security->GetCurrentUser(user, 0) ? user.UserID : 0;
    }
    QStringList stored(qint64 userID)
    {
        QStringList values;
        auto q = conn().OpenQuery(QStringLiteral("SELECT settingvalue FROM usersetting WHERE userid = ?"), {userID});
        while (q->next())
            values << q->value(0).toString();
        return values;
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(m_db);
        // As the console does at its start: the widgets hear of a new script.
        InstallSerbianTexts(*QCoreApplication::instance());
    }

    void scriptStored_data()
    {
        QTest::addColumn<QList<TScript>>("saves");
        QTest::addColumn<TScript>("read");
        QTest::addColumn<QStringList>("rows");
        const TScript lat = TScript::Latin, cyr = TScript::Cyrillic;
        QTest::newRow("never chosen") << QList<TScript>{} << lat << QStringList{};
        QTest::newRow("Cyrillic") << QList<TScript>{cyr} << cyr << QStringList{"cyrillic"};
        QTest::newRow("back to Latin") << QList<TScript>{cyr, lat} << lat << QStringList{"latin"};
        QTest::newRow("same twice") << QList<TScript>{cyr, cyr} << cyr << QStringList{"cyrillic"};
        QTest::newRow("a newer program's value") << QList<TScript>{} << lat << QStringList{"glagoljica"};
    }
    void scriptStored()
    {
        QFETCH(QList<TScript>, saves);
        QFETCH(QStringList, rows);
        const qint64 user = newUser(QString::fromUtf8(QTest::currentDataTag()));
        if (rows == QStringList{"glagoljica"})
            conn().ExecSQL(QStringLiteral("INSERT INTO usersetting VALUES (?, 'script', 'glagoljica')"), {user});
        for (TScript script : saves)
            UserSettings::SaveScript(conn(), user, script);
        QTEST(UserSettings::Script(conn(), user), "read");
        QCOMPARE(stored(user), rows);
    }

    // Two desks of one user, the row not there yet: the later save waits
    // for the earlier one's transaction, is not refused and wins.
    void laterSaveWins()
    {
        const qint64 user = newUser(QStringLiteral("kasniji"));
        auto first = m_db.OpenSecondConnection();
        std::atomic<bool> secondDone = false;
        QString error;
        std::optional<std::thread> second;
        {
            TZTransaction transaction(*first);
            UserSettings::SaveScript(*first, user, TScript::Cyrillic);
            second.emplace([&] {
                try {
                    UserSettings::SaveScript(*m_db.OpenSecondConnection(), user, TScript::Latin);
                } catch (const std::exception &e) {
                    error = QString::fromUtf8(e.what());
                }
                secondDone = true;
            });
            QTest::qWait(400);
            QVERIFY(!secondDone);
            transaction.Commit();
        }
        second->join();
        QCOMPARE(error, QString());
        QCOMPARE(stored(user), QStringList{"latin"});
    }

    void dialog_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("settingsAction");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("moduleAction");
        QTest::newRow("Ćirilica, U redu") << false << "&Датотека" << "Подешавања…" << QStringList{"cyrillic"}
                                          << "Пробни модул" << "Провера &интегритета…";
        QTest::newRow("Ćirilica, Esc") << true << "&Datoteka" << "Podešavanja…" << QStringList{} << "Probni modul"
                                       << "Provera &integriteta…";
    }
    void dialog()
    {
        QFETCH(bool, escape);
        const ScopedScript latin;
        const qint64 user = newUser(QString::fromUtf8(QTest::currentDataTag()));
        TConsoleWindow window(QStringLiteral("Test Korisnik"), QString());
        QAction *settings = window.AddFileAction(QStringLiteral("Podešavanja…"), QStringLiteral("settingsAction"),
                                                 [&] { EditOwnSettings(*m_security.get(), &window); });
        window.SetSnapins({IRef<ISnapin>(new HelpSnapin)});
        window.SelectSnapin(0);
        ScopedScriptedDialogs dialogs;
        dialogs->ModalHandlers.push_back([&](QDialog &d) {
            if (!d.findChild<QRadioButton *>(QStringLiteral("latinButton"))->isChecked())
                return int(QDialog::Rejected);
            d.findChild<QRadioButton *>(QStringLiteral("cyrillicButton"))->click();
            if (escape)
                QTest::keyClick(&d, Qt::Key_Escape);
            else
                d.findChild<QPushButton *>(QStringLiteral("okButton"))->click();
            return d.result();
        });
        settings->trigger();
        QCOMPARE(dialogs->ModalCount, 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QCOMPARE(UiText(u"Datoteka"), escape ? QStringLiteral("Datoteka") : QStringLiteral("Датотека"));
        QTEST(window.findChild<QMenu *>(QStringLiteral("fileMenu"))->title(), "menu");
        QTEST(settings->text(), "settingsAction");
        QTEST(window.SnapinNames().value(0), "module");
        QTEST(window.findChild<QAction *>(QStringLiteral("checkAction"))->text(), "moduleAction");
        // The module's frame is shown again, made in the new script.
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("frameLabel"))->text(),
                 escape ? QStringLiteral("Dodaj") : QStringLiteral("Додај"));
        QTEST(stored(user), "rows");
        // Opened again, it offers what was stored, in the script of the moment.
        TSettingsDialog again(conn(), user);
        QCOMPARE(again.ChosenScript(), escape ? TScript::Latin : TScript::Cyrillic);
        SaveScreenshot(again, escape ? QStringLiteral("settings.png") : QStringLiteral("settings-cyrillic.png"));
    }
};

QTEST_MAIN(TestUserSettings)
#include "tst_usersettings.moc"
