// Users and roles in the console: who may change users, the last active
// administrator, logins taken and inactive, passwords, the registers'
// history, the "Korisnici" window and logging out to another user.

#include "AccountActions.h"
#include "Screenshot.h"
#include "Console.h"
#include "ConsoleWindow.h"
#include "KException.h"
#include "NewBook.h"
#include "PasswordDialog.h"
#include "SampleData.h"
#include "ScriptedDialogs.h"
#include "Services.h"
#include "TestDb.h"
#include "UserEditDialog.h"
#include "UsersWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <barrier>
#include <thread>

class TestConsoleUsers : public QObject
{
    Q_OBJECT

    TestDb m_db;
    TZConnection &conn() { return m_db.Connection(); }

    QString cell(const QString &sql, const QVariantList &params = {})
    {
        auto q = conn().OpenQuery(sql, params);
        return q->next() ? q->value(0).toString() : QString();
    }
    void setUser(const QString &login, const QString &role, const QString &active = QStringLiteral("y"))
    {
        conn().ExecSQL(QStringLiteral("UPDATE user SET role = ?, active = ? WHERE login = ?"), {role, active, login});
    }
    // The user as logged in, role and all.
    TUserDesc loggedIn(const QString &login, const QString &password)
    {
        IRef<TSecurityService> security(new TSecurityService(&conn()));
        TUserDesc user;
        if (security->Login(login, password))
            security->GetCurrentUser(user, 0);
        return user;
    }
    TUserDesc ana() { return loggedIn(QStringLiteral("ana"), QStringLiteral("ana123")); }
    qint64 idOf(const QString &login)
    {
        return cell(QStringLiteral("SELECT userid FROM user WHERE login = ?"), {login}).toLongLong();
    }
    static QString refusal(const std::function<void()> &work)
    {
        try {
            work();
        } catch (const KException &e) {
            return e.message();
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(m_db);
        SampleData::Fill(conn());
    }
    void init()
    {
        // Ana administers the book; Marko and Jelena are clerks.
        setUser(QStringLiteral("ana"), QStringLiteral("a"));
        setUser(QStringLiteral("marko"), QStringLiteral("c"));
        setUser(QStringLiteral("jelena"), QStringLiteral("c"));
    }

    void newBookFirstUserAdministers()
    {
        TestDb book;
        REQUIRE_TESTDB(book);
        // A book is made by the database's administrator.
        const auto admin = book.OpenAdminConnection();
        IRef<TSecurityService> security(new TSecurityService(admin.get()));
        InstallBook(*admin, false, [&] {
            security->SaveUser(QStringLiteral("prvi"), QStringLiteral("Prvi"), QStringLiteral("Korisnik"),
                               QStringLiteral("tajna"));
        });
        QVERIFY(security->Login(QStringLiteral("prvi"), QStringLiteral("tajna")));
        TUserDesc user;
        QVERIFY(security->GetCurrentUser(user, 0));
        QVERIFY(user.Administrator);
    }

    void roleRules_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("allowed");
        for (const char *action : {"open", "add", "edit", "password", "deactivate", "own password"}) {
            QTest::addRow("administrator: %s", action) << "ana" << action << true;
            QTest::addRow("clerk: %s", action) << "marko" << action << (QByteArray(action) == "own password");
        }
    }
    void roleRules()
    {
        QFETCH(QString, login);
        QFETCH(QString, action);
        QFETCH(bool, allowed);
        const QString password = login + QStringLiteral("123");
        IRef<TSecurityService> security(new TSecurityService(&conn()));
        QVERIFY(security->Login(login, password));
        TUserDesc me;
        security->GetCurrentUser(me, 0);
        TUserStore store(conn(), me);
        const qint64 jelena = idOf(QStringLiteral("jelena"));
        ScopedScriptedDialogs dialogs;
        QString refused;
        if (action == QLatin1String("open")) {
            OpenUsersWindow(*security.get(), nullptr);
            QCOMPARE(dialogs->ModalCount, allowed ? 1 : 0);
            if (!allowed)
                refused = dialogs->Messages.value(0).Text;
        } else if (action == QLatin1String("add")) {
            refused = refusal([&] { store.Add({0, QStringLiteral("novi.") + login, {}, {}, false, true}, QStringLiteral("x")); });
        } else if (action == QLatin1String("edit")) {
            refused = refusal([&] { store.Update({jelena, {}, QStringLiteral("Jelena"), QStringLiteral("Đorđević"), false, true}); });
        } else if (action == QLatin1String("password")) {
            refused = refusal([&] { store.ResetPassword(jelena, QStringLiteral("jelena123")); });
        } else if (action == QLatin1String("deactivate")) {
            refused = refusal([&] { store.Deactivate(jelena); });
            setUser(QStringLiteral("jelena"), QStringLiteral("c"));
        } else {
            refused = refusal([&] { security->ChangePassword(password, password); });
        }
        QCOMPARE(refused, allowed ? QString() : QStringLiteral("Korisnike može da uređuje samo administrator."));
    }

    void lastAdministratorStays_data()
    {
        QTest::addColumn<QString>("jelenaRole");
        QTest::addColumn<QString>("jelenaActive");
        QTest::addColumn<bool>("deactivate"); // else: demote to clerk
        QTest::addColumn<bool>("refused");
        QTest::newRow("the only administrator demoted") << "c" << "y" << false << true;
        QTest::newRow("the only administrator deactivated") << "c" << "y" << true << true;
        QTest::newRow("the other administrator inactive") << "a" << "n" << false << true;
        QTest::newRow("another active administrator: demoted") << "a" << "y" << false << false;
        QTest::newRow("another active administrator: deactivated") << "a" << "y" << true << false;
    }
    void lastAdministratorStays()
    {
        QFETCH(QString, jelenaRole);
        QFETCH(QString, jelenaActive);
        QFETCH(bool, deactivate);
        QFETCH(bool, refused);
        setUser(QStringLiteral("jelena"), jelenaRole, jelenaActive);
        TUserStore store(conn(), ana());
        const qint64 id = idOf(QStringLiteral("ana"));
        const QString message = refusal([&] {
            if (deactivate)
                store.Deactivate(id);
            else
                store.Update({id, {}, QStringLiteral("Ana"), QStringLiteral("Petrović"), false, true});
        });
        QCOMPARE(message.startsWith(QStringLiteral("Mora ostati bar jedan aktivan administrator")), refused);
        QCOMPARE(cell(QStringLiteral("SELECT role FROM user WHERE login = 'ana'")),
                 refused || deactivate ? QStringLiteral("a") : QStringLiteral("c"));
        setUser(QStringLiteral("jelena"), QStringLiteral("c"));
        setUser(QStringLiteral("ana"), QStringLiteral("a"));
    }

    // Two administrators take each other's role at the same moment, each at
    // a desk of their own: one goes through, and one administrator stays.
    void twoAdministratorsDemoteEachOther()
    {
        setUser(QStringLiteral("jelena"), QStringLiteral("a"));
        const TUserDesc desks[2] = {ana(), loggedIn(QStringLiteral("jelena"), QStringLiteral("jelena123"))};
        const TUserRecord targets[2] = {{desks[1].UserID, {}, QStringLiteral("Jelena"), QStringLiteral("Đorđević"), false, true},
                                        {desks[0].UserID, {}, QStringLiteral("Ana"), QStringLiteral("Petrović"), false, true}};
        std::barrier meet(2);
        QString errors[2];
        auto desk = [&](int k) {
            try {
                auto connection = m_db.OpenSecondConnection();
                TUserStore store(*connection, desks[k]);
                meet.arrive_and_wait();
                errors[k] = refusal([&] { store.Update(targets[k]); });
            } catch (const std::exception &e) {
                errors[k] = QStringLiteral("desk: ") + QString::fromUtf8(e.what());
            }
        };
        std::thread a(desk, 0), b(desk, 1);
        a.join();
        b.join();
        QVERIFY2(errors[0].isEmpty() != errors[1].isEmpty(), qPrintable(errors[0] + u'|' + errors[1]));
        QVERIFY2(!(errors[0] + errors[1]).startsWith(QStringLiteral("desk:")), qPrintable(errors[0] + errors[1]));
        QCOMPARE(cell(QStringLiteral("SELECT COUNT(*) FROM user WHERE role = 'a' AND active = 'y'")), QStringLiteral("1"));
    }

    void refusedNewUsers_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("login taken") << "jelena" << "x" << "Korisničko ime „jelena“ je zauzeto.";
        QTest::newRow("taken, in capitals") << "JELENA" << "x" << "Korisničko ime „JELENA“ je zauzeto.";
        QTest::newRow("taken, spaces around") << " marko " << "x" << "Korisničko ime „marko“ je zauzeto.";
        QTest::newRow("empty login") << "  " << "x" << "Upišite korisničko ime.";
        QTest::newRow("empty password") << "petar" << "" << "Upišite lozinku.";
    }
    void refusedNewUsers()
    {
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QString, message);
        TUserStore store(conn(), ana());
        const QString users = cell(QStringLiteral("SELECT COUNT(*) FROM user"));
        QCOMPARE(refusal([&] { store.Add({0, login, {}, {}, false, true}, password); }), message);
        QCOMPARE(cell(QStringLiteral("SELECT COUNT(*) FROM user")), users);
    }

    // Two desks add the same login at once: one gets it, the other is told.
    void twoDesksAddTheSameLogin()
    {
        const TUserDesc admin = ana();
        std::barrier meet(2);
        QString errors[2];
        auto desk = [&](int k) {
            try {
                auto connection = m_db.OpenSecondConnection();
                TUserStore store(*connection, admin);
                meet.arrive_and_wait();
                errors[k] = refusal([&] { store.Add({0, QStringLiteral("dvojnik"), {}, {}, false, true}, QStringLiteral("x")); });
            } catch (const std::exception &e) {
                errors[k] = QString::fromUtf8(e.what());
            }
        };
        std::thread a(desk, 0), b(desk, 1);
        a.join();
        b.join();
        QCOMPARE(QStringList({errors[0], errors[1]}).join(QString()), QStringLiteral("Korisničko ime „dvojnik“ je zauzeto."));
        QCOMPARE(cell(QStringLiteral("SELECT COUNT(*) FROM user WHERE login = 'dvojnik'")), QStringLiteral("1"));
    }

    void inactiveLogin_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("error");
        QTest::newRow("right password") << "marko123" << "Korisnički nalog je isključen. Obratite se administratoru.";
        QTest::newRow("wrong password") << "marko124" << "Pogrešno korisničko ime ili lozinka.";
    }
    void inactiveLogin()
    {
        QFETCH(QString, password);
        QFETCH(QString, error);
        TUserStore(conn(), ana()).Deactivate(idOf(QStringLiteral("marko")));
        IRef<TSecurityService> security(new TSecurityService(&conn()));
        QVERIFY(!security->Login(QStringLiteral("marko"), password));
        QCOMPARE(security->LoginError(), error);
        TUserDesc user;
        QVERIFY(!security->GetCurrentUser(user, 0));
        setUser(QStringLiteral("marko"), QStringLiteral("c"));
        QVERIFY(security->Login(QStringLiteral("marko"), QStringLiteral("marko123")));
        QVERIFY(security->GetCurrentUser(user, 0));
        QVERIFY(!user.Administrator);
    }

    void changePassword_data()
    {
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("repeated");
        QTest::addColumn<QString>("message"); // empty: changed
        QTest::newRow("changed") << "jelena123" << "nova" << "nova" << "";
        QTest::newRow("wrong old password") << "jelena124" << "nova" << "nova" << "Stara lozinka nije tačna.";
        QTest::newRow("new ones differ") << "jelena123" << "nova" << "novа" << "Lozinka i njena potvrda se ne poklapaju; upišite je ponovo.";
        QTest::newRow("new one empty") << "jelena123" << "" << "" << "Upišite novu lozinku.";
    }
    void changePassword()
    {
        QFETCH(QString, oldPassword);
        QFETCH(QString, newPassword);
        QFETCH(QString, repeated);
        QFETCH(QString, message);
        IRef<TSecurityService> security(new TSecurityService(&conn()));
        QVERIFY(security->Login(QStringLiteral("jelena"), QStringLiteral("jelena123")));
        ScopedScriptedDialogs dialogs;
        int result = -1;
        dialogs->ModalHandlers.push_back([&](QDialog &d) {
            auto &dialog = dynamic_cast<TPasswordDialog &>(d);
            dialog.OldEdit->setText(oldPassword);
            dialog.NewEdit->setText(newPassword);
            dialog.RepeatEdit->setText(repeated);
            dialog.TrySave();
            result = dialog.result();
            // A refusal keeps what was typed.
            if (result != QDialog::Accepted && dialog.NewEdit->text() != newPassword)
                result = -2;
            return result;
        });
        ChangeOwnPassword(*security.get(), nullptr);
        QCOMPARE(result, message.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(dialogs->Messages.value(0).Text, message.isEmpty() ? QStringLiteral("Lozinka je promenjena.") : message);
        QCOMPARE(security->Login(QStringLiteral("jelena"), QStringLiteral("nova")), message.isEmpty());
        TUserStore(conn(), ana()).ResetPassword(idOf(QStringLiteral("jelena")), QStringLiteral("jelena123"));
    }

    void historyRowsWritten()
    {
        TUserStore store(conn(), ana());
        const qint64 id = store.Add({0, QStringLiteral("zoran"), QStringLiteral("Zoran"), QStringLiteral("Ilić"), false, true},
                                    QStringLiteral("tajna"));
        store.Update({id, {}, QStringLiteral("Zoran"), QStringLiteral("Ilić"), true, true});
        store.ResetPassword(id, QStringLiteral("druga"));
        auto q = conn().OpenQuery(
            QStringLiteral("SELECT h.changekind, h.username, v.columnname, v.oldvalue, v.newvalue FROM registerhistory h "
                           "JOIN registerhistoryvalue v ON v.registerhistoryid = h.registerhistoryid "
                           "WHERE h.tablename = 'user' AND h.recordid = ? ORDER BY h.registerhistoryid, v.columnname"),
            {id});
        QStringList rows;
        while (q->next())
            rows << QStringList{q->value(0).toString(), q->value(1).toString(), q->value(2).toString(),
                                q->value(3).toString(), q->value(4).toString()}
                        .join(u'|');
        QCOMPARE(rows, QStringList({"i|Ana Petrović|active||y", "i|Ana Petrović|firstname||Zoran",
                                    "i|Ana Petrović|lastname||Ilić", "i|Ana Petrović|login||zoran",
                                    "i|Ana Petrović|lozinka||promenjena", "i|Ana Petrović|role||c",
                                    "u|Ana Petrović|role|c|a", "u|Ana Petrović|lozinka||promenjena"}));
        QCOMPARE(cell(QStringLiteral("SELECT COUNT(*) FROM registerhistoryvalue WHERE newvalue LIKE 'pbkdf2%'")),
                 QStringLiteral("0"));
        store.Update({id, {}, QStringLiteral("Zoran"), QStringLiteral("Ilić"), false, false});
    }

    void usersWindow()
    {
        ScopedScriptedDialogs dialogs;
        TUsersWindow window(conn(), ana());
        window.SetFilter(QStringLiteral("DJORDJ"));
        QCOMPARE(window.VisibleRows(), 1);
        QVERIFY(window.SelectLogin(QStringLiteral("jelena")));
        window.SetFilter({});
        SaveScreenshot(window, QStringLiteral("korisnici.png"));

        // A new user: the passwords differ at first, and the typed values stay.
        QString keptLogin;
        dialogs->ModalHandlers.push_back([&](QDialog &d) {
            auto &edit = dynamic_cast<TUserEditDialog &>(d);
            edit.LoginEdit->setText(QStringLiteral("vesna"));
            edit.FirstNameEdit->setText(QStringLiteral("Vesna"));
            edit.LastNameEdit->setText(QStringLiteral("Šarić"));
            edit.PasswordEdit->setText(QStringLiteral("v1"));
            edit.RepeatEdit->setText(QStringLiteral("v2"));
            edit.TrySave();
            keptLogin = edit.result() == QDialog::Accepted ? QString() : edit.LoginEdit->text();
            edit.RepeatEdit->setText(QStringLiteral("v1"));
            edit.TrySave();
            return edit.result();
        });
        window.AddUser();
        QCOMPARE(keptLogin, QStringLiteral("vesna"));
        QCOMPARE(dialogs->Messages.value(0).Text, QStringLiteral("Lozinka i njena potvrda se ne poklapaju; upišite je ponovo."));
        window.SetFilter(QStringLiteral("sar"));
        QCOMPARE(window.VisibleRows(), 1);
        QVERIFY(loggedIn(QStringLiteral("vesna"), QStringLiteral("v1")).UserID > 0);

        // Ana, the only administrator, may not become a clerk: refused, the buffer kept.
        window.SetFilter({});
        QVERIFY(window.SelectLogin(QStringLiteral("ana")));
        int roleAfterRefusal = -1;
        dialogs->ModalHandlers.push_back([&](QDialog &d) {
            auto &edit = dynamic_cast<TUserEditDialog &>(d);
            edit.FirstNameEdit->setText(QStringLiteral("Anica"));
            edit.RoleCombo->setCurrentIndex(0);
            edit.TrySave();
            roleAfterRefusal = edit.result() == QDialog::Accepted ? -2 : edit.RoleCombo->currentIndex();
            return int(QDialog::Rejected);
        });
        window.EditUser();
        QCOMPARE(roleAfterRefusal, 0);
        QVERIFY(dialogs->Messages.last().Text.startsWith(QStringLiteral("Mora ostati bar jedan aktivan administrator")));
        QCOMPARE(cell(QStringLiteral("SELECT firstname FROM user WHERE login = 'ana'")), QStringLiteral("Ana"));

        // Deactivation asks first.
        QVERIFY(window.SelectLogin(QStringLiteral("vesna")));
        dialogs->MessageAnswers.push_back(mbYes);
        window.DeactivateUser();
        QCOMPARE(cell(QStringLiteral("SELECT active FROM user WHERE login = 'vesna'")), QStringLiteral("n"));
        QVERIFY(window.SelectLogin(QStringLiteral("vesna")));
        QCOMPARE(window.UsersTable->item(window.UsersTable->currentRow(), 4)->text(), QStringLiteral("ne"));
    }

    // "Odjava": the window saves its layout and goes, the next login gets a
    // window of its own in its own layout; a cancelled login ends there.
    void logoutAndLogInAsAnother()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kconsole.ini"));
        const QString layout = dir.filePath(QStringLiteral("layout.ini"));
        IRef<TSecurityService> security(new TSecurityService(&conn()));
        IRef<TConsole> console(new TConsole);
        console->AddService(IRef<IInterface>(security));
        QVERIFY(security->Login(QStringLiteral("ana"), QStringLiteral("ana123")));
        auto makeWindow = [&] {
            auto window = std::make_unique<TConsoleWindow>(security->CurrentUserName(), QStringLiteral("baza"));
            console->AddService(IRef<IInterface>(window->StatusService()));
            TUserDesc user;
            security->GetCurrentUser(user, 0);
            window->UseLayoutFile(layout, user.Login);
            return window;
        };
        bool loggingOut = false;
        std::unique_ptr<TConsoleWindow> window = makeWindow();
        window->AddFileAction(QStringLiteral("Odjava"), QStringLiteral("logoutAction"), [&] { loggingOut = true; });
        window->resize(720, 520);
        window->show();
        window->findChild<QAction *>(QStringLiteral("logoutAction"))->trigger();
        QVERIFY(loggingOut);
        CloseForLogout(window, *console.get(), *security.get());
        QVERIFY(!window);
        TUserDesc user;
        QVERIFY(!security->GetCurrentUser(user, 0));
        QVERIFY(!console->service<IStatusBar>());

        ScopedScriptedDialogs dialogs;
        dialogs->ModalHandlers.push_back([](QDialog &d) {
            d.findChild<QLineEdit *>(QStringLiteral("loginEdit"))->setText(QStringLiteral("marko"));
            d.findChild<QLineEdit *>(QStringLiteral("passwordEdit"))->setText(QStringLiteral("marko123"));
            d.findChild<QPushButton *>(QStringLiteral("loginButton"))->click();
            return d.result();
        });
        QVERIFY(LogInWithDialog(*security.get(), ini));
        window = makeWindow();
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("userLabel"))->text(), QStringLiteral("Korisnik: Marko Jovanović"));
        QVERIFY(security->GetCurrentUser(user, 0));
        QCOMPARE(user.Login, QStringLiteral("marko"));
        QVERIFY(window->size() != QSize(720, 520)); // Ana's layout is hers
        CloseForLogout(window, *console.get(), *security.get());

        // Ana again: her window as she left it; then a cancelled login.
        QVERIFY(security->Login(QStringLiteral("ana"), QStringLiteral("ana123")));
        window = makeWindow();
        QCOMPARE(window->size(), QSize(720, 520));
        CloseForLogout(window, *console.get(), *security.get());
        QVERIFY(!LogInWithDialog(*security.get(), ini)); // no handler: cancelled
        QVERIFY(!security->GetCurrentUser(user, 0));
    }
};

QTEST_MAIN(TestConsoleUsers)
#include "tst_console_users.moc"
