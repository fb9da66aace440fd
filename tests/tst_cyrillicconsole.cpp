// The console in Cyrillic: its code-list windows and dialogs show no Latin
// letter apart from what stays Latin (options, program names, data), and
// the host's messages follow the script.

#include "ClassificationWindow.h"
#include "DocumentsWindow.h"
#include "Dialogs.h"
#include "InterfaceScript.h"
#include "ItemTypesWindow.h"
#include "KException.h"
#include "NewBook.h"
#include "NewBookDialog.h"
#include "OrgUnitsWindow.h"
#include "PartnerEditDialog.h"
#include "PartnerImportDialog.h"
#include "PartnerNumbers.h"
#include "PartnerStore.h"
#include "PartnersWindow.h"
#include "PasswordDialog.h"
#include "PrintPreview.h"
#include "SampleData.h"
#include "ScriptCheck.h"
#include "SecurityService.h"
#include "StatusBar.h"
#include "TestConsole.h"
#include "TestDb.h"
#include "UserEditDialog.h"
#include "UsersWindow.h"

#include <QLabel>
#include <QPrinter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

class TestCyrillicConsole : public QObject
{
    Q_OBJECT

    TestDb m_db;
    IRef<TestSecurity> m_security;
    QTemporaryDir m_dir;
    QPrinter m_printer;

    const TUserDesc m_ana{1, QStringLiteral("ana"), QStringLiteral("Ana"), QStringLiteral("Petrović"), true};

    std::unique_ptr<QWidget> window(const QString &name)
    {
        TZConnection &conn = m_db.Connection();
        if (name == u"partners")
            return std::make_unique<TPartnersWindow>(conn, m_ana);
        if (name == u"users")
            return std::make_unique<TUsersWindow>(conn, m_ana);
        if (name == u"item types")
            return std::make_unique<TItemTypesWindow>(conn, m_security.get());
        if (name == u"org units")
            return std::make_unique<TOrgUnitsWindow>(conn, m_security.get());
        if (name == u"classification")
            return std::make_unique<TClassificationWindow>(conn, m_security.get());
        if (name == u"documents")
            return std::make_unique<TDocumentsWindow>(conn, m_security.get());
        if (name == u"partner")
            return std::make_unique<TPartnerEditDialog>(conn, PartnerActor(m_ana), TPartnerRecord{});
        if (name == u"partner import")
            return std::make_unique<TPartnerImportDialog>(conn, PartnerActor(m_ana));
        if (name == u"user")
        {
            TUserRecord marko;
            marko.Login = QStringLiteral("marko");
            return std::make_unique<TUserEditDialog>(marko, [](auto &&...) {});
        }
        if (name == u"password")
            return std::make_unique<TPasswordDialog>(UiText(u"Promena lozinke"), true, [](auto &&...) {});
        if (name == u"print preview")
            return std::make_unique<TPrintPreviewDialog>(m_printer, [](QPrinter &) {});
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(m_db);
        SampleData::Fill(m_db.Connection());
        m_security = IRef<TestSecurity>(new TestSecurity);
        m_security->Connection = &m_db.Connection();
        m_security->User = m_ana;
    }
    void init() { SetInterfaceScript(TScript::Cyrillic); }
    void cleanup() { SetInterfaceScript(TScript::Latin); }

    // The check itself: what it lets through and what it reports.
    void foreignLatin_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("foreign");
        QTest::newRow("cyrillic") << "Сачувај" << false;
        QTest::newRow("latin word") << "Sačuvaj" << true;
        QTest::newRow("mixed") << "Нови partner" << true;
        QTest::newRow("file filter") << "ПДФ датотеке (*.pdf)" << false;
        QTest::newRow("program") << "База MariaDB" << false;
        QTest::newRow("option") << "Наведите --admin" << false;
        QTest::newRow("digits only") << "12/26-1" << false;
    }
    void foreignLatin()
    {
        QFETCH(QString, text);
        QFETCH(bool, foreign);
        QCOMPARE(HasForeignLatin(text), foreign);
    }

    void reportsWhereAndWhat()
    {
        QWidget window;
        window.setWindowTitle(QStringLiteral("Прозор ana"));
        auto *label = new QLabel(QStringLiteral("Naziv"), &window);
        label->setObjectName(QStringLiteral("nameLabel"));
        new QLabel(QStringLiteral("Назив"), &window);
        auto *hidden = new QLabel(QStringLiteral("Skriveno"), &window);
        hidden->hide();
        QCOMPARE(LatinTextsIn(window, {QStringLiteral("ana")}), QStringList{"QLabel#nameLabel text: Naziv"});
        QCOMPARE(LatinTextsIn(window).size(), 2);
    }

    void windowInCyrillic_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"partners", "users", "item types", "org units", "classification", "documents",
                                 "partner", "partner import", "user", "password", "print preview"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void windowInCyrillic()
    {
        QFETCH(QString, name);
        const std::unique_ptr<QWidget> shown = window(name);
        QVERIFY(shown);
        const QStringList found = LatinTextsIn(*shown, {QStringLiteral("marko")});
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }

    // Both halves of the first start's dialog: the file and the server.
    void newBookDialogInCyrillic()
    {
        TZConnection connection;
        IRef<TSecurityService> security(new TSecurityService(&connection));
        TNewBookDialog dialog(connection, *security.get(), m_dir.filePath(QStringLiteral("kconsole.ini")), QString(),
                              [](TZConnection &) {});
        QStringList found = LatinTextsIn(dialog);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
        for (QRadioButton *choice : dialog.findChildren<QRadioButton *>())
            choice->setChecked(true);
        found = LatinTextsIn(dialog);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }

    // A file read: the columns' choices, the plan's counts and the preview's rows.
    void partnerImportWithFileInCyrillic()
    {
        const QString path = m_dir.filePath(QStringLiteral("partneri.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Firma;Grad\nJKP Vodovod \xC4\x8Ca\xC4\x8Dak;Ca\xC4\x8Dak\n");
        file.close();
        TPartnerImportDialog dialog(m_db.Connection(), PartnerActor(m_ana));
        QVERIFY(dialog.LoadFile(path));
        const QStringList fromFile{QStringLiteral("Firma"), QStringLiteral("Grad"), path};
        QStringList found = LatinTextsIn(dialog, fromFile);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
        dialog.SetColumn(0, TPartnerColumn::Name);
        found = LatinTextsIn(dialog, fromFile);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }

    void messages_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("cyrillic");
        SetInterfaceScript(TScript::Cyrillic);
        // Core's texts go through the text library's hand-over.
        QTest::newRow("database refusal") << EDatabaseError::FromServer(QStringLiteral("Duplicate entry"),
                                                                        QStringLiteral("1062"), QString())
                                                 .message()
                                          << "Такав запис већ постоји у бази података.";
        QTest::newRow("long load") << LoadedRowsText(120000) << "Учитано 120.000 ставки…";
        QTest::newRow("status count") << ItemCountText(3) << "3 ставке";
        QTest::newRow("command line") << NewBookProblem(TNewBook{}, false)
                                      << "Уз --new-book наведите назив организације (--organization).";
        QTest::newRow("validator") << PibProblem(QStringLiteral("12a")) << "ПИБ сме садржати само цифре.";
    }
    void messages()
    {
        QFETCH(QString, shown);
        QFETCH(QString, cyrillic);
        QCOMPARE(shown, cyrillic);
    }
};

QTEST_MAIN(TestCyrillicConsole)
#include "tst_cyrillicconsole.moc"
