// The detail form's "Vrsta dokumenta" over the console's list of document
// types: what the drop-down offers, what typing completes, and that the item
// keeps any text typed while an administrator is offered to list it.

#include "DBControls.h"
#include "ItemTypeService.h"
#include "LedgerFixture.h"
#include "integration/GlobalConsole.h"

#include <QCompleter>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestLedgerItemType : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start();
        // The console's services under a user whose role each test sets.
        m_security = IRef<TestSecurity>(new TestSecurity);
        m_security->Connection = &fx.Db.Connection();
        m_security->User = {qint32(fx.UserId(QStringLiteral("ana"))), QStringLiteral("ana")};
        m_console = IRef<TConsole>(new TConsole);
        m_console->AddService(IRef<IInterface>(m_security));
        m_console->AddService(IRef<IInterface>(new TItemTypeService(&fx.Db.Connection(), IRef<ISecurity>(m_security))));
    }

    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        GlobalConsole = m_console;
        m_security->User.Administrator = true;
    }

    void cleanupTestCase()
    {
        GlobalConsole = fx.Console;
        if (m_console)
            m_console->Clear();
        fx.Stop();
    }

    void dropDownOffersActiveTypes()
    {
        fx.Db.Connection().ExecSQL(QStringLiteral("UPDATE itemtype SET active = 'n' WHERE name = 'Zapisnik'"));
        DetailFormOn on(fx.AddItem({{QStringLiteral("itemtype"), QStringLiteral("Stari tip")}}));
        fx.Db.Connection().ExecSQL(QStringLiteral("UPDATE itemtype SET active = 'y' WHERE name = 'Zapisnik'"));
        QCOMPARE(on.form.ItemTypeDBCB->Items(),
                 (QStringList{"Dopis", "Faktura", "Obaveštenje", "Odgovor na zahtev", "Rešenje", "Ugovor", "Zahtev", "Žalba"}));
        // The item's own text, though not on the list.
        QCOMPARE(on.form.ItemTypeDBCB->currentText(), QStringLiteral("Stari tip"));
    }

    void typingCompletes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("no diacritics") << "resenje" << QStringList{"Rešenje"};
        QTest::newRow("capitals, inside the name") << "ZAHTEV" << QStringList{"Odgovor na zahtev", "Zahtev"};
        QTest::newRow("Cyrillic") << "фак" << QStringList{"Faktura"};
        QTest::newRow("nothing") << "prigovor" << QStringList{};
    }

    void typingCompletes()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, offered);
        DetailFormOn on(fx.AddItem());
        QCompleter *completer = on.form.ItemTypeDBCB->completer();
        QVERIFY(completer);
        completer->setCompletionPrefix(typed);
        QStringList got;
        for (int row = 0; row < completer->completionModel()->rowCount(); ++row)
            got << completer->completionModel()->index(row, 0).data().toString();
        QCOMPARE(got, offered);
        if (offered.isEmpty())
            return;
        // Choosing the first writes the type's own text into the item.
        emit completer->activated(completer->completionModel()->index(0, 0));
        QCOMPARE(on.items().LedgerItemZQitemtype->AsString(), offered.first());
    }

    // The item is stored as typed whatever the list and the answer.
    void freeTextKept_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("listed"); // rows of the list that name it so
        QTest::newRow("administrator adds") << true << "Prigovor" << int(mbYes) << true << 1;
        QTest::newRow("administrator declines") << true << "Izjava" << int(mbNo) << true << 0;
        QTest::newRow("on the list in lower case") << true << "dopis" << int(mbYes) << false << 1;
        QTest::newRow("clerk, not asked") << false << "Predlog" << int(mbYes) << false << 0;
    }

    void freeTextKept()
    {
        QFETCH(bool, administrator);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(int, listed);
        m_security->User.Administrator = administrator;
        const qint64 id = fx.AddItem();
        DetailFormOn on(id);
        on.dialogs->MessageAnswers.push_back(answer);
        QLineEdit *edit = on.form.ItemTypeDBCB->lineEdit();
        edit->selectAll();
        for (const QChar ch : typed)
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        on.form.OKButton->click();

        QCOMPARE(fx.Cell(id, QStringLiteral("itemtype")), typed);
        QVERIFY(!on.form.isVisible());
        QCOMPARE(on.dialogs->Messages.size(), asked ? 1 : 0);
        if (asked)
            QCOMPARE(on.dialogs->Messages.first().Text, QStringLiteral("Dodati „%1“ u vrste dokumenta?").arg(typed));
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM itemtype WHERE name = ?"), {typed}).toInt(), listed);
    }

private:
    LedgerFixture fx;
    IRef<TestSecurity> m_security;
    IRef<TConsole> m_console;
};

QTEST_MAIN(TestLedgerItemType)
#include "tst_ledgeritemtype.moc"
