// The first start's "Novi delovodnik": refused input, an office's empty book
// on SQLite and MariaDB, the sample book, cancelling, the chosen place read
// back from the ini, and "Proveri vezu".

#include "ConsoleSettings.h"
#include "IniFile.h"
#include "KException.h"
#include "NewBookDialog.h"
#include "SampleData.h"
#include "ScriptedDialogs.h"
#include "Services.h"
#include "TestDb.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QtTest>

namespace {

void type(QDialog &dialog, const char *edit, const QString &text)
{
    auto *line = dialog.findChild<QLineEdit *>(QLatin1String(edit));
    QVERIFY2(line, edit);
    line->setText(text);
}

QString typed(QDialog &dialog, const char *edit)
{
    return dialog.findChild<QLineEdit *>(QLatin1String(edit))->text();
}

void choose(QDialog &dialog, const char *radio)
{
    dialog.findChild<QRadioButton *>(QLatin1String(radio))->setChecked(true);
}

QVariant value(TZConnection &connection, const QString &sql)
{
    auto q = connection.OpenQuery(sql);
    return q->next() ? q->value(0) : QVariant();
}

void typeAdmin(QDialog &dialog)
{
    type(dialog, "organizationEdit", QStringLiteral("Opština Žabalj"));
    type(dialog, "unitEdit", QStringLiteral("Odeljenje za opštu upravu"));
    type(dialog, "loginEdit", QStringLiteral("milan"));
    type(dialog, "firstNameEdit", QStringLiteral("Milan"));
    type(dialog, "lastNameEdit", QStringLiteral("Čubrilo"));
    type(dialog, "passwordEdit", QStringLiteral("tajna 1"));
    type(dialog, "repeatEdit", QStringLiteral("tajna 1"));
}

// An empty database beside the test's own, made and dropped again by the
// server's administrator, who also makes the book in it.
struct EmptyMariaDb
{
    TestDb &Db;
    QString Name = Db.Params().Database + QStringLiteral("_nb");
    std::unique_ptr<TZConnection> Admin = TestDb::OpenConnection(TestDb::AdminServerParams());
    explicit EmptyMariaDb(TestDb &db) : Db(db) { Admin->ExecSQL(QStringLiteral("CREATE DATABASE ") + Name); }
    ~EmptyMariaDb() { Admin->ExecSQL(QStringLiteral("DROP DATABASE IF EXISTS ") + Name); }
};

void typeServer(QDialog &dialog, const TConnectionParams &server, const QString &database)
{
    choose(dialog, "mariadbChoice");
    type(dialog, "socketEdit", server.Socket);
    type(dialog, "databaseEdit", database);
    type(dialog, "serverUserEdit", server.User);
    type(dialog, "serverPasswordEdit", server.Password);
}

} // namespace

class TestNewBookDialog : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_ini = m_dir->filePath(QStringLiteral("kconsole.ini"));
        m_connection = std::make_unique<TZConnection>();
        m_connection->SetParams(ConsoleSettings::LoadConnectionParams(m_ini));
        m_security = IRef<TSecurityService>(new TSecurityService(m_connection.get()));
        m_dialog = std::make_unique<TNewBookDialog>(*m_connection, *m_security.get(), m_ini, QString(),
                                                    [](TZConnection &c) { SampleData::Fill(c); });
    }
    void cleanup()
    {
        m_dialog.reset();
        m_security.reset();
        m_connection.reset();
    }

    void refusesInput_data()
    {
        QTest::addColumn<QString>("organization");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("repeat");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no organisation") << "  " << "milan" << "a" << "a" << "Upišite naziv organizacije.";
        QTest::newRow("no login") << "Opština" << "" << "a" << "a" << "Upišite korisničko ime administratora.";
        QTest::newRow("passwords differ") << "Opština" << "milan" << "a" << "b"
                                          << "Lozinka i ponovljena lozinka se ne slažu.";
        QTest::newRow("no password") << "Opština" << "milan" << "" << "" << "Upišite lozinku administratora.";
    }
    void refusesInput()
    {
        QFETCH(QString, organization);
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QString, repeat);
        QFETCH(QString, problem);
        type(*m_dialog, "organizationEdit", organization);
        type(*m_dialog, "loginEdit", login);
        type(*m_dialog, "passwordEdit", password);
        type(*m_dialog, "repeatEdit", repeat);
        QVERIFY(!m_dialog->Create());
        QCOMPARE(m_dialog->Problem(), problem);
        QCOMPARE(typed(*m_dialog, "organizationEdit"), organization);
        QCOMPARE(typed(*m_dialog, "repeatEdit"), repeat);
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("kledger.db"))));
    }

    void makesEmptyBook()
    {
        TestDb db;
        REQUIRE_TESTDB(db);
        std::optional<EmptyMariaDb> server;
        typeAdmin(*m_dialog);
        const QString file = m_dir->filePath(QStringLiteral("naša, knjiga.db"));
        if (TestDb::BackendName() == QLatin1String("mariadb")) {
            server.emplace(db);
            typeServer(*m_dialog, db.AdminParams(), server->Name);
        } else {
            type(*m_dialog, "fileEdit", file);
        }
        QVERIFY2(m_dialog->Create(), qPrintable(m_dialog->Problem()));
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));

        const auto count = [&](const char *table) {
            return value(*m_connection, QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table)).toInt();
        };
        const auto setting = [&](const char *key) {
            return value(*m_connection, QStringLiteral("SELECT value FROM settings WHERE section = 'Organization' "
                                                       "AND keyname = '%1'").arg(QLatin1String(key))).toString();
        };
        QCOMPARE(count("user"), 1);
        QCOMPARE(value(*m_connection, QStringLiteral("SELECT role FROM user WHERE login = 'milan'")).toString(),
                 QStringLiteral("a"));
        QCOMPARE(setting("Name"), QStringLiteral("Opština Žabalj"));
        QCOMPARE(setting("Unit"), QStringLiteral("Odeljenje za opštu upravu"));
        QCOMPARE(count("ledgeritem") + count("partner"), 0);
        QVERIFY(m_security->Login(QStringLiteral("milan"), QStringLiteral("tajna 1")));

        const TConnectionParams read = ConsoleSettings::LoadConnectionParams(m_ini);
        QCOMPARE(read.Database, server ? server->Name : file);
        QCOMPARE(ConsoleSettings::LastLogin(m_ini), QStringLiteral("milan"));
    }

    void makesSampleBook()
    {
        choose(*m_dialog, "sampleChoice");
        QVERIFY2(m_dialog->Create(), qPrintable(m_dialog->Problem()));
        QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("kledger.db"))));
        QCOMPARE(value(*m_connection, QStringLiteral("SELECT COUNT(*) FROM user")).toInt(), 3);
        QVERIFY(value(*m_connection, QStringLiteral("SELECT COUNT(*) FROM partner")).toInt() > 0);
    }

    void refusesExistingFile()
    {
        const QString file = m_dir->filePath(QStringLiteral("stara.db"));
        QFile(file).open(QIODevice::WriteOnly);
        typeAdmin(*m_dialog);
        type(*m_dialog, "fileEdit", file);
        QVERIFY(!m_dialog->Create());
        QCOMPARE(m_dialog->Problem(), QStringLiteral("Datoteka „%1“ već postoji; izaberite drugu.").arg(file));
    }

    void cancelMakesNothing()
    {
        QFile ini(m_ini);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray before = ini.readAll();
        ini.close();
        typeAdmin(*m_dialog);
        m_dialog->findChild<QPushButton *>(QStringLiteral("cancelButton"))->click();
        QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("kledger.db"))));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), before);
    }

    void browseChoosesFile()
    {
        ScopedScriptedDialogs dialogs;
        dialogs->SaveFileAnswers.push_back(QStringLiteral("/srv/arhiva/delovodnik.db"));
        m_dialog->findChild<QPushButton *>(QStringLiteral("browseButton"))->click();
        QCOMPARE(typed(*m_dialog, "fileEdit"), QStringLiteral("/srv/arhiva/delovodnik.db"));
    }

    // What a person typed comes back from the ini as typed.
    void settingsReadBack()
    {
        TConnectionParams server;
        server.Driver = QStringLiteral("QMYSQL");
        server.Database = QStringLiteral("delovodnik");
        server.Host = QStringLiteral("db.opstina.rs");
        server.Port = 3307;
        server.User = QStringLiteral("pisarnica korisnik");
        server.Password = QStringLiteral(R"(se,cr;et "x" \y %z= #1 )");
        ConsoleSettings::SaveConnectionParams(m_ini, server);
        const TConnectionParams read = ConsoleSettings::LoadConnectionParams(m_ini);
        QCOMPARE(QStringList({read.Driver, read.Host, QString::number(read.Port), read.User, read.Password}),
                 QStringList({"QMYSQL", "db.opstina.rs", "3307", "pisarnica korisnik", R"(se,cr;et "x" \y %z= #1 )"}));

        TConnectionParams file;
        file.Database = m_dir->filePath(QStringLiteral("moj delovodnik.db"));
        ConsoleSettings::SaveConnectionParams(m_ini, file);
        QCOMPARE(TIniFile(m_ini).Value(QStringLiteral("Database"), QStringLiteral("Database")),
                 QStringLiteral("moj delovodnik.db"));
        QCOMPARE(ConsoleSettings::LoadConnectionParams(m_ini).Database, file.Database);
    }

    void checksEmptyDatabase()
    {
        TestDb db;
        REQUIRE_TESTDB(db);
        if (TestDb::BackendName() != QLatin1String("mariadb"))
            QSKIP("a MariaDB server's check");
        EmptyMariaDb server(db);
        typeServer(*m_dialog, db.AdminParams(), server.Name);
        m_dialog->CheckConnection();
        QTRY_VERIFY(!m_dialog->CheckRunning() && !m_dialog->CheckText().startsWith(QStringLiteral("Proverava")));
        QCOMPARE(m_dialog->CheckText(),
                 QStringLiteral("Veza sa serverom je uspostavljena; baza „%1“ je prazna.").arg(server.Name));
    }

    void checkWithoutServer()
    {
        TConnectionParams nobody;
        nobody.Socket = m_dir->filePath(QStringLiteral("nema.sock"));
        nobody.User = QStringLiteral("ledger");
        typeServer(*m_dialog, nobody, QStringLiteral("delovodnik"));
        m_dialog->CheckConnection();
        QTRY_VERIFY(m_dialog->CheckText().startsWith(QStringLiteral("Server ne odgovara: ")));
        QVERIFY(!QFile::exists(nobody.Socket));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_ini;
    std::unique_ptr<TZConnection> m_connection;
    IRef<TSecurityService> m_security;
    std::unique_ptr<TNewBookDialog> m_dialog;
};

QTEST_MAIN(TestNewBookDialog)
#include "tst_newbookdialog.moc"
