// The ledger's search frame over a real database: its search rows, the
// condition they make, the pickers behind the ellipsis buttons, typing into
// the rows and the search itself.

#include "CommonStrings.h"
#include "LedgerFixture.h"
#include "LedgerQueryText.h"
#include "SqlText.h"
#include "TestConsole.h"
#include "ValueListEditor.h"
#include "ZTransaction.h"
#include "data/LedgerDMUnit.h"
#include "data/ItemDocumentText.h"
#include "data/LedgerItems.h"
#include "data/SubjectWords.h"
#include "integration/LedgerRegistration.h"
#include "data/LedgerResourceString.h"
#include "screens/LedgerNavigatorUnit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

// A partner module that answers with queued choices; empty = cancelled.
class TestPartners : public TestService<IPartner>
{
public:
    QList<TPartnerDesc> Choices;
    bool SelectPartner(TPartnerDesc &desc) override
    {
        if (Choices.isEmpty())
            return false;
        desc = Choices.takeFirst();
        return true;
    }
};

using Cells = QList<std::pair<QString, QString>>;

// A prefix search is a range over the folded key: an index over
// SERBIANFOLD(column) on SQLite, the column's fold column on MariaDB; <end>
// is the character that closes the range.
QString onBackend(const char *sqlite, const char *mariadb)
{
    return QString::fromUtf8(TestDb::BackendName() == QLatin1String("mariadb") ? mariadb : sqlite);
}

} // namespace

class TestLedgerNavigator : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.StartModule();
        const auto user = [&](const char *first, const char *last, const char *login) {
            return fx.Insert("user", {{"firstname", first}, {"lastname", last}, {"login", login}, {"passwordhash", "x"}});
        };
        const qint64 ana = user("Ana", "Petrović", "ana");
        m_marko = user("Marko", "Šušnjar", "marko");
        m_jelena = user("Jelena", "Đorđević", "jelena");
        m_oneil = fx.Insert("partner", {{"name", "O'Neil d.o.o."}});
        const qint64 archive = fx.Insert("partner", {{"name", "C:\\arhiva\\a'b"}});
        fx.Insert("partner", {{"name", "C:\\arhiva\\ab"}});
        // Two items share a moment: the later id comes first.
        for (const auto &[when, number, partner] : {std::tuple("2024-03-05 09:00:00", "1/24", m_oneil),
                                                    {"2024-03-05 11:00:00", "2/24", m_oneil},
                                                    {"2024-03-05 11:00:00", "3/24", m_oneil},
                                                    {"2024-02-01 08:00:00", "4/24", archive}})
            fx.AddItem({{"ledgerdatetime", when}, {"ledgernumber", number}, {"userid", ana}, {"partnerid", partner}});

        m_console = IRef<TestConsole>(new TestConsole);
        m_console->Security = IRef<TestSecurity>(new TestSecurity);
        m_partners = IRef<TestPartners>(new TestPartners);
        GlobalConsole = IRef<IConsole>(m_console);
    }

    void cleanupTestCase()
    {
        fx.Stop();
        m_console.reset();
        m_partners.reset();
    }

    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        m_items = LedgerDM->NewLedgerItems();
        m_console->Security->UsersToSelect.clear();
        m_partners->Choices.clear();
        m_console->Services = {IRef<IInterface>(m_partners)};
        m_frame = std::make_unique<TLedgerNavigatorForm>(nullptr);
        m_frame->SetSearchTarget([this] { return m_items.get(); });
        QVERIFY(LedgerFixture::Show(*m_frame, {300, 420}));
    }

    void cleanup()
    {
        m_frame.reset();
        m_items.reset();
    }

    // ---- Search rows --------------------------------------------------------------------------

    void searchRows()
    {
        // key | caption | ellipsis | pick list
        const QStringList expected{
            "direction|Tip||Ulazni,Interni,Izlazni", "ledgernumber|Broj||",      "datefrom|Od datuma|...|",
            "dateto|Do datuma|...|",                 "partner|Partner|...|",      "itemnumber|Broj dokumenta||",
            "itemtype|Vrsta dokumenta||",            "subject|Predmet||",
            "inuser|Upućeno od|...|",                "outuser|Namenjeno|...|",    "accepted|Prihvaćeno||Da,Ne",
            "archived|Arhivirano||Da,Ne",            "passedon|Prosleđeno||Da,Ne", "text|Tekst||"};
        QStringList rows;
        TValueListEditor *vle = m_frame->SearchVLE;
        for (const QString &key : vle->Keys()) {
            const TItemProp &props = vle->ItemProps(key);
            QVERIFY(!props.ReadOnly);
            QVERIFY(vle->Value(key).isEmpty());
            rows << QStringList{key, props.Caption, props.EditStyle == TEditStyle::Ellipsis ? "..." : "",
                                props.PickList.join(u',')}
                        .join(u'|');
        }
        QCOMPARE(rows, expected);
    }

    // ---- Conditions ----------------------------------------------------------------------------

    void conditions_data()
    {
        QTest::addColumn<Cells>("cells");
        QTest::addColumn<QString>("condition");

        QTest::newRow("nothing filled") << Cells{} << "";
        QTest::newRow("outgoing") << Cells{{"direction", "Izlazni"}} << "l.direction = ? | -1";
        QTest::newRow("incoming") << Cells{{"direction", "Ulazni"}} << "l.direction = ? | 1";
        QTest::newRow("internal") << Cells{{"direction", "Interni"}} << "l.direction = ? | 0";
        QTest::newRow("direction in other case") << Cells{{"direction", "izlazni"}} << "l.direction = ? | 0";
        QTest::newRow("ledger number prefix")
            << Cells{{"ledgernumber", "12/2"}}
            << onBackend("l.ledgernumber IS NOT NULL AND SERBIANFOLD(l.ledgernumber) >= ? AND SERBIANFOLD(l.ledgernumber) < ? | 12/2 | 12/2<end>",
                         "l.ledgernumberfold >= ? AND l.ledgernumberfold < ? | 12/2 | 12/2<end>");
        QTest::newRow("partner with apostrophe")
            << Cells{{"partner", "O'Neil"}}
            << onBackend("p.name IS NOT NULL AND SERBIANFOLD(p.name) >= ? AND SERBIANFOLD(p.name) < ? | o'neil | o'neil<end>",
                         "p.namefold >= ? AND p.namefold < ? | o'neil | o'neil<end>");
        // The range covers the text before the first wildcard, LIKE the rest.
        QTest::newRow("wildcards stay wildcards")
            << Cells{{"itemnumber", "A_1%"}}
            << onBackend("l.itemnumber IS NOT NULL AND SERBIANFOLD(l.itemnumber) >= ? AND SERBIANFOLD(l.itemnumber) < ? AND SERBIANFOLD(l.itemnumber) LIKE ? "
                         "| a | a<end> | a_1%%",
                         "l.itemnumberfold >= ? AND l.itemnumberfold < ? AND l.itemnumberfold LIKE ? | a | a<end> | a_1%%");
        QTest::newRow("wildcard first") << Cells{{"itemnumber", "%1"}}
                                        << onBackend("l.itemnumber IS NOT NULL AND SERBIANFOLD(l.itemnumber) LIKE ? | %1%", "l.itemnumberfold LIKE ? | %1%");
        // Without a wildcard a backslash is one more character of the range.
        QTest::newRow("backslash in a prefix")
            << Cells{{"ledgernumber", "a\\b"}}
            << onBackend("l.ledgernumber IS NOT NULL AND SERBIANFOLD(l.ledgernumber) >= ? AND SERBIANFOLD(l.ledgernumber) < ? | a\\b | a\\b<end>",
                         "l.ledgernumberfold >= ? AND l.ledgernumberfold < ? | a\\b | a\\b<end>");
        QTest::newRow("date range") << Cells{{"datefrom", "2024-03-01"}, {"dateto", "2024-03-31"}}
                                    << "l.ledgerdatetime >= ? AND l.ledgerdatetime <= ? | 2024-03-01 00:00:00 | 2024-03-31 23:59:59";
        QTest::newRow("date as typed") << Cells{{"dateto", "1.3.2024"}} << "l.ledgerdatetime <= ? | 2024-03-01 23:59:59";
        QTest::newRow("date with two-digit year and a dot") << Cells{{"datefrom", "01.11.26."}}
                                                            << "l.ledgerdatetime >= ? | 2026-11-01 00:00:00";
        QTest::newRow("accepted, not passed on") << Cells{{"accepted", "Da"}, {"passedon", "Ne"}}
                                                 << "l.accepted = 'y' AND l1.passonparentid IS NULL";
        QTest::newRow("accepted in other case") << Cells{{"accepted", "da"}} << "l.accepted = 'n'";
        QTest::newRow("archived") << Cells{{"archived", "Da"}} << "l.archived = 'y'";
        QTest::newRow("not archived, any text") << Cells{{"archived", "x"}} << "l.archived = 'n'";
        QTest::newRow("passed on") << Cells{{"passedon", "Da"}} << "l1.passonparentid IS NOT NULL";
        QTest::newRow("user names without a picked user")
            << Cells{{"inuser", "Ana Petrović"}, {"outuser", "Marko Šušnjar"}} << "";
        QTest::newRow("filled in any order, built in row order")
            << Cells{{"passedon", "Ne"}, {"partner", "O"}, {"direction", "Ulazni"}}
            << onBackend("l.direction = ? AND p.name IS NOT NULL AND SERBIANFOLD(p.name) >= ? AND SERBIANFOLD(p.name) < ? AND "
                         "l1.passonparentid IS NULL | 1 | o | o<end>",
                         "l.direction = ? AND p.namefold >= ? AND p.namefold < ? AND l1.passonparentid IS NULL | 1 | o | o<end>");
    }

    void conditions()
    {
        QFETCH(Cells, cells);
        QFETCH(QString, condition);

        for (const auto &[key, value] : cells)
            m_frame->SearchVLE->SetValue(key, value);
        QCOMPARE(searched(), condition);
        // No condition at all: the WHERE goes, the joins stay.
        QVariantList params;
        QCOMPARE(m_frame->ParseSQL(params).contains(QStringLiteral("WHERE")), !condition.isEmpty());
        // ParseSQL only builds the text.
        QVERIFY(!m_items->LedgerItemZQ->Active());
    }

    void allCriteriaInOrder()
    {
        ScopedScriptedDialogs dialogs;
        m_console->Security->UsersToSelect = {{qint32(m_marko), "marko", "Marko", "Šušnjar"},
                                              {qint32(m_jelena), "jelena", "Jelena", "Đorđević"}};
        clickEllipsis(QStringLiteral("inuser"));
        clickEllipsis(QStringLiteral("outuser"));
        const Cells cells{{"direction", "Interni"}, {"ledgernumber", "7"},   {"datefrom", "2024-01-01"},
                          {"dateto", "2024-12-31"},  {"partner", "Elektro"}, {"itemnumber", "UG-"},
                          {"accepted", "Ne"},        {"archived", "Da"},     {"passedon", "Da"}};
        for (const auto &[key, value] : cells)
            m_frame->SearchVLE->SetValue(key, value);

        const QString expected = onBackend(
            "l.direction = ? AND l.ledgernumber IS NOT NULL AND SERBIANFOLD(l.ledgernumber) >= ? AND SERBIANFOLD(l.ledgernumber) < ? AND "
            "l.ledgerdatetime >= ? AND l.ledgerdatetime <= ? AND p.name IS NOT NULL AND SERBIANFOLD(p.name) >= ? AND "
            "SERBIANFOLD(p.name) < ? AND l.itemnumber IS NOT NULL AND SERBIANFOLD(l.itemnumber) >= ? AND SERBIANFOLD(l.itemnumber) < ? AND "
            "l.inuserid = ? AND l.outuserid = ? AND l.accepted = 'n' AND l.archived = 'y' AND "
            "l1.passonparentid IS NOT NULL | 0 | 7 | 7<end> | 2024-01-01 00:00:00 | 2024-12-31 23:59:59 | "
            "elektro | elektro<end> | ug- | ug-<end> | %1 | %2",
            "l.direction = ? AND l.ledgernumberfold >= ? AND l.ledgernumberfold < ? AND "
            "l.ledgerdatetime >= ? AND l.ledgerdatetime <= ? AND p.namefold >= ? AND "
            "p.namefold < ? AND l.itemnumberfold >= ? AND l.itemnumberfold < ? AND "
            "l.inuserid = ? AND l.outuserid = ? AND l.accepted = 'n' AND l.archived = 'y' AND "
            "l1.passonparentid IS NOT NULL | 0 | 7 | 7<end> | 2024-01-01 00:00:00 | 2024-12-31 23:59:59 | "
            "elektro | elektro<end> | ug- | ug-<end> | %1 | %2");
        QCOMPARE(searched(), expected.arg(m_marko).arg(m_jelena));
        // And the database takes it.
        m_frame->FindButton->click();
        QVERIFY(dialogs->Messages.isEmpty());
        QVERIFY(m_items->LedgerItemZQ->Active());
    }

    // ---- Pickers ---------------------------------------------------------------------------------

    void pickers_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("service"); // what the picker answers: pick, cancel, missing
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("condition");

        QTest::newRow("date from") << "datefrom" << "pick" << "2024-03-01" << "l.ledgerdatetime >= ? | 2024-03-01 00:00:00";
        QTest::newRow("date to") << "dateto" << "pick" << "2024-02-29" << "l.ledgerdatetime <= ? | 2024-02-29 23:59:59";
        QTest::newRow("date cancelled") << "datefrom" << "cancel" << "" << "";
        QTest::newRow("partner")
            << "partner" << "pick" << "O'Neil d.o.o."
            << onBackend("p.name IS NOT NULL AND SERBIANFOLD(p.name) >= ? AND SERBIANFOLD(p.name) < ? | o'neil d.o.o. | o'neil d.o.o.<end>",
                         "p.namefold >= ? AND p.namefold < ? | o'neil d.o.o. | o'neil d.o.o.<end>");
        QTest::newRow("partner cancelled") << "partner" << "cancel" << "" << "";
        QTest::newRow("no partner module") << "partner" << "missing" << "" << "";
        QTest::newRow("in user") << "inuser" << "pick" << "Marko Šušnjar" << "l.inuserid = ? | %1";
        QTest::newRow("out user") << "outuser" << "pick" << "Marko Šušnjar" << "l.outuserid = ? | %1";
        QTest::newRow("user cancelled") << "outuser" << "cancel" << "" << "";
        QTest::newRow("no security module") << "inuser" << "missing" << "" << "";
    }

    void pickers()
    {
        QFETCH(QString, key);
        QFETCH(QString, service);
        QFETCH(QString, value);
        QFETCH(QString, condition);

        ScopedScriptedDialogs dialogs;
        const bool pick = service == QLatin1String("pick");
        if (key.startsWith(QLatin1String("date")))
            dialogs->DateAnswers.push_back(pick ? std::optional(QDate::fromString(value, Qt::ISODate)) : std::nullopt);
        IRef<TestSecurity> security = m_console->Security;
        if (pick && key.endsWith(QLatin1String("user")))
            security->UsersToSelect << TUserDesc{qint32(m_marko), "marko", "Marko", "Šušnjar"};
        if (pick && key == QLatin1String("partner"))
            m_partners->Choices << TPartnerDesc{"O'Neil d.o.o.", "Bulevar 1", qint32(m_oneil)};
        if (service == QLatin1String("missing")) {
            if (key == QLatin1String("partner"))
                m_console->Services.clear();
            else
                m_console->Security.reset();
        }

        clickEllipsis(key);
        m_console->Security = security;

        QCOMPARE(m_frame->SearchVLE->Value(key), value);
        QCOMPARE(searched(), condition.contains(QLatin1String("%1")) ? condition.arg(m_marko) : condition);
        QVERIFY(dialogs->Messages.isEmpty());
    }

    void emptiedUserCellDropsCondition()
    {
        ScopedScriptedDialogs dialogs;
        m_console->Security->UsersToSelect << TUserDesc{qint32(m_jelena), "jelena", "Jelena", "Đorđević"};
        clickEllipsis(QStringLiteral("outuser"));
        QCOMPARE(searched(), QStringLiteral("l.outuserid = ? | %1").arg(m_jelena));

        // Backspace drops the pick whole, wherever the cursor stands.
        auto *input = qobject_cast<QLineEdit *>(editorOf(QStringLiteral("outuser")));
        QVERIFY(input);
        input->setFocus();
        input->setCursorPosition(3);
        QTest::keyClick(input, Qt::Key_Backspace);
        QCOMPARE(m_frame->SearchVLE->Value(QStringLiteral("outuser")), QString());
        QCOMPARE(input->text(), QString());
        QCOMPARE(searched(), QString());

        // So does Delete; the stored user no longer counts.
        m_console->Security->UsersToSelect << TUserDesc{qint32(m_jelena), "jelena", "Jelena", "Đorđević"};
        clickEllipsis(QStringLiteral("outuser"));
        input->setCursorPosition(0);
        QTest::keyClick(input, Qt::Key_Delete);
        QCOMPARE(m_frame->SearchVLE->Value(QStringLiteral("outuser")), QString());
        QCOMPARE(searched(), QString());
        QVERIFY(dialogs->Messages.isEmpty());
    }

    // The clear button of a row empties it and the list it found becomes the
    // unfiltered one at the next search.
    void clearButton_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("found"); // before clearing
        QTest::newRow("partner") << "partner" << QStringList{"3/24", "2/24", "1/24"};
        QTest::newRow("in user") << "inuser" << QStringList{};
        QTest::newRow("out user") << "outuser" << QStringList{};
    }

    void clearButton()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, found);
        ScopedScriptedDialogs dialogs;
        m_console->Security->UsersToSelect << TUserDesc{qint32(m_marko), "marko", "Marko", "Šušnjar"};
        m_partners->Choices << TPartnerDesc{"O'Neil d.o.o.", "Bulevar 1", qint32(m_oneil)};
        clickEllipsis(key);
        m_frame->FindButton->click();
        QCOMPARE(numbersShown(), found);

        auto *clear = editorOf(key)->parentWidget()->findChild<QToolButton *>(QStringLiteral("ClearButton"));
        QVERIFY(clear);
        QCOMPARE(clear->toolTip(), QStringLiteral("Obriši"));
        clear->click();
        QCOMPARE(m_frame->SearchVLE->Value(key), QString());
        m_frame->FindButton->click();
        QCOMPARE(numbersShown(), QStringList({"3/24", "2/24", "1/24", "4/24"}));
        QVERIFY(dialogs->Messages.isEmpty());
    }

    void clearAll()
    {
        ScopedScriptedDialogs dialogs;
        m_console->Security->UsersToSelect << TUserDesc{qint32(m_marko), "marko", "Marko", "Šušnjar"};
        clickEllipsis(QStringLiteral("inuser"));
        TValueListEditor *vle = m_frame->SearchVLE;
        const Cells cells{{"direction", "Ulazni"}, {"ledgernumber", "1/"}, {"datefrom", "1.3.2024"},
                          {"partner", "O'Neil"}, {"accepted", "Da"}};
        for (const auto &[key, value] : cells)
            vle->SetValue(key, value);
        QVERIFY(!searched().isEmpty());

        QCOMPARE(m_frame->ClearAllButton->text(), QStringLiteral("Obriši kriterijume"));
        m_frame->ClearAllButton->click();
        for (const QString &key : vle->Keys())
            QVERIFY2(vle->Value(key).isEmpty(), qPrintable(key));
        QCOMPARE(searched(), QString());
        // No user picked before stays behind a name in the cell.
        vle->SetValue(QStringLiteral("inuser"), QStringLiteral("Marko Šušnjar"));
        QCOMPARE(searched(), QString());
        QVERIFY(dialogs->Messages.isEmpty());
    }

    void typing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("value");

        QTest::newRow("in user") << "inuser" << "Ana" << "";
        QTest::newRow("out user") << "outuser" << "x1 " << "";
        QTest::newRow("partner") << "partner" << "O'Ne" << "O'Ne";
        QTest::newRow("ledger number") << "ledgernumber" << "12/2" << "12/2";
        QTest::newRow("date from") << "datefrom" << "2024-03" << "2024-03";
    }

    void typing()
    {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(QString, value);

        QWidget *input = editorOf(key);
        QVERIFY(input);
        input->setFocus();
        QTest::keyClicks(input, typed);
        QCOMPARE(m_frame->SearchVLE->Value(key), value);
        if (auto *edit = qobject_cast<QLineEdit *>(input))
            QCOMPARE(edit->text(), value);
    }

    // ---- Search ------------------------------------------------------------------------------------

    void findNewestFirst()
    {
        ScopedScriptedDialogs dialogs;
        m_frame->SearchVLE->SetValue(QStringLiteral("partner"), QStringLiteral("O'Neil"));
        m_frame->FindButton->click();

        TZQuery *query = m_items->LedgerItemZQ;
        QVERIFY(query->Active());
        QCOMPARE(described(query->SQL(), query->Params()),
                 onBackend("p.name IS NOT NULL AND SERBIANFOLD(p.name) >= ? AND SERBIANFOLD(p.name) < ? | o'neil | o'neil<end>",
                           "p.namefold >= ? AND p.namefold < ? | o'neil | o'neil<end>"));
        QCOMPARE(query->SortedFields(), QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC"));
        QCOMPARE(query->RecNo(), 1);
        QCOMPARE(numbersShown(), QStringList({QStringLiteral("3/24"), QStringLiteral("2/24"), QStringLiteral("1/24")}));
        QVERIFY(dialogs->Messages.isEmpty());

        // A new search replaces the condition.
        m_frame->SearchVLE->SetValue(QStringLiteral("partner"), QString());
        m_frame->SearchVLE->SetValue(QStringLiteral("ledgernumber"), QStringLiteral("4/"));
        m_frame->FindButton->click();
        QCOMPARE(described(query->SQL(), query->Params()),
                 onBackend("l.ledgernumber IS NOT NULL AND SERBIANFOLD(l.ledgernumber) >= ? AND SERBIANFOLD(l.ledgernumber) < ? | 4/ | 4/<end>",
                           "l.ledgernumberfold >= ? AND l.ledgernumberfold < ? | 4/ | 4/<end>"));
        QCOMPARE(numbersShown(), QStringList{QStringLiteral("4/24")});
    }

    void findTextRanked()
    {
        ScopedScriptedDialogs dialogs;
        TZConnection &c = fx.Db.Connection();
        const auto idOf = [&](const char *number) {
            return fx.Scalar(QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE ledgernumber = ?"), {number}).toLongLong();
        };
        // In the text of three, in the subject of the oldest too: that one leads, then newest first.
        c.ExecSQL(QStringLiteral("UPDATE ledgeritem SET subject = 'Žalba' WHERE ledgeritemid = ?"), {idOf("4/24")});
        {
            TZTransaction t(c);
            StoreStoredSubjectWords(c, idOf("4/24"));
            for (const char *number : {"1/24", "2/24", "4/24"})
                StoreItemDocumentText(c, idOf(number), QStringLiteral("Izjavljena je ŽALBA na rešenje."), {});
            t.Commit();
        }
        m_frame->SearchVLE->SetValue(QStringLiteral("text"), QStringLiteral("жалб"));
        m_frame->FindButton->click();
        QVERIFY2(dialogs->Messages.isEmpty(), qPrintable(dialogs->Messages.value(0).Text));
        TZQuery *query = m_items->LedgerItemZQ;
        QCOMPARE(query->SortedFields(), QString());
        QCOMPARE(numbersShown(), QStringList({"4/24", "2/24", "1/24"}));
        QCOMPARE(m_items->SearchedText(), QStringLiteral("жалб"));

        // Without the row the list is newest first again, its SQL unranked.
        m_frame->SearchVLE->SetValue(QStringLiteral("text"), QString());
        m_frame->SearchVLE->SetValue(QStringLiteral("partner"), QStringLiteral("O'Neil"));
        m_frame->FindButton->click();
        QVERIFY(!query->SQL().contains(QLatin1String("ORDER BY")));
        QCOMPARE(query->SortedFields(), QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC"));
        QCOMPARE(numbersShown(), QStringList({"3/24", "2/24", "1/24"}));
        QCOMPARE(m_items->SearchedText(), QString());
    }

    void hostileText_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");

        const QString texts[] = {QStringLiteral("'; DROP TABLE ledgeritem; --"), QStringLiteral("\\'"),
                                 QStringLiteral("C:\\arhiva\\a'b")};
        for (const char *key : {"ledgernumber", "datefrom", "dateto", "partner", "itemnumber"})
            for (const QString &text : texts)
                QTest::addRow("%s: %s", key, qPrintable(text)) << QString::fromLatin1(key) << text;
    }

    void hostileText()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);

        ScopedScriptedDialogs dialogs;
        const qint64 before = fx.ItemCount();
        m_frame->SearchVLE->SetValue(key, text);
        m_frame->FindButton->click();
        if (key.startsWith(QLatin1String("date"))) {
            // No date at all: refused, naming the cell, before any query.
            QCOMPARE(dialogs->Messages.size(), 1);
            QVERIFY2(dialogs->Messages[0].Text.endsWith(QStringLiteral("nije datum (piše se npr. 01.11.2026).")),
                     qPrintable(dialogs->Messages[0].Text));
        } else {
            QVERIFY2(dialogs->Messages.isEmpty(), qPrintable(dialogs->Messages.value(0).Text));
            QVERIFY(m_items->LedgerItemZQ->Active());
        }
        QCOMPARE(fx.ItemCount(), before);
        QCOMPARE(fx.Count("partner"), 3);
    }

    void unsearchableText_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // empty: searched
        const bool sqlite = TestDb::BackendName() == QLatin1String("sqlite");
        QTest::newRow("NUL in the partner") << "partner" << QStringLiteral("O'N") + QChar(u'\0') + u'x'
                                            << "Polje 'Partner' sadrži nedozvoljen znak (NUL).";
        QTest::newRow("NUL in a date") << "datefrom" << QStringLiteral("2024") + QChar(u'\0')
                                       << "Polje 'Od datuma' sadrži nedozvoljen znak (NUL).";
        QTest::newRow("no date") << "dateto" << QStringLiteral("32.13.2024")
                                 << "Polje 'Do datuma': '32.13.2024' nije datum (piše se npr. 01.11.2026).";
        QTest::newRow("over SQLite's pattern limit") << "ledgernumber" << QString(50000, u'7')
                                                     << (sqlite ? "Polje 'Broj' je predugačak za pretragu (najviše 49999 znakova)."
                                                                : "");
        QTest::newRow("at SQLite's pattern limit") << "ledgernumber" << QString(49999, u'7') << "";
    }

    // Refused before the query runs, naming the cell; the list stays as it was.
    void unsearchableText()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, message);
        ScopedScriptedDialogs dialogs;
        m_frame->SearchVLE->SetValue(QStringLiteral("partner"), QStringLiteral("O'Neil"));
        m_frame->FindButton->click();
        const QStringList before = numbersShown();
        m_frame->SearchVLE->SetValue(QStringLiteral("partner"), QString());
        m_frame->SearchVLE->SetValue(key, text);
        m_frame->FindButton->click();
        if (message.isEmpty()) {
            QVERIFY2(dialogs->Messages.isEmpty(), qPrintable(dialogs->Messages.value(0).Text));
            QCOMPARE(numbersShown(), QStringList());
            return;
        }
        QCOMPARE(dialogs->Messages.size(), 1);
        QCOMPARE(dialogs->Messages[0].Text, message);
        QCOMPARE(numbersShown(), before);
    }

    void backslashPartnerFoundByPrefix()
    {
        ScopedScriptedDialogs dialogs;
        // Backslashes are plain characters on both backends, in literals and in LIKE.
        for (const QString &prefix : {QStringLiteral("C:\\arhiva\\a'"), QStringLiteral("C:\\arhiva\\a'b"), QStringLiteral("C:\\")}) {
            m_frame->SearchVLE->SetValue(QStringLiteral("partner"), prefix);
            m_frame->FindButton->click();
            QVERIFY2(dialogs->Messages.isEmpty(), qPrintable(prefix));
            QCOMPARE(numbersShown(), QStringList{QStringLiteral("4/24")});
            QCOMPARE(m_items->LedgerItemZQpartnername->AsString(), QStringLiteral("C:\\arhiva\\a'b"));
        }
    }

    void databaseErrorShown()
    {
        ScopedScriptedDialogs dialogs;
        TZConnection closed;
        closed.SetParams(fx.Db.Params());
        LedgerDM->SetZConnection(&closed);
        m_frame->SearchVLE->SetValue(QStringLiteral("ledgernumber"), QStringLiteral("1/"));
        m_frame->FindButton->click();
        LedgerDM->SetZConnection(&fx.Db.Connection());

        QCOMPARE(dialogs->Messages.size(), 1);
        QCOMPARE(dialogs->Messages[0].Type, TMsgDlgType::Error);
        TZQuery *query = m_items->LedgerItemZQ;
        QVERIFY(!query->Active());
        QCOMPARE(described(query->SQL(), query->Params()),
                 onBackend("l.ledgernumber IS NOT NULL AND SERBIANFOLD(l.ledgernumber) >= ? AND SERBIANFOLD(l.ledgernumber) < ? | 1/ | 1/<end>",
                           "l.ledgernumberfold >= ? AND l.ledgernumberfold < ? | 1/ | 1/<end>"));
    }

private:
    // ---- Fixture ----------------------------------------------------------------------------

    // "condition | value | ..." of a query text and the values bound to it; the
    // text before the condition must be the ledger query's own.
    static QString described(const QString &sql, const QVariantList &params)
    {
        const QString head = kLedgerQueryLines.mid(0, 9).join(u'\n').trimmed();
        if (!sql.startsWith(head))
            return QStringLiteral("<not the ledger query> ") + sql;
        QString condition = sql.mid(head.size()).trimmed();
        if (condition.startsWith(QLatin1String("WHERE ")))
            condition = condition.mid(6);
        QStringList parts{condition};
        for (const QVariant &p : params)
            parts << p.toString().replace(QStringLiteral("\U0010FFFF"), QStringLiteral("<end>"));
        return parts.join(QStringLiteral(" | "));
    }

    QString searched() const
    {
        QVariantList params;
        const QString sql = m_frame->ParseSQL(params);
        return described(sql, params);
    }

    // The open editor of a row (the value cell of the current row).
    QWidget *editorOf(const QString &key)
    {
        TValueListEditor *vle = m_frame->SearchVLE;
        vle->SetCurrentRow(key);
        const int row = int(vle->Keys().indexOf(key));
        QWidget *box = vle->indexWidget(vle->model()->index(row, 1));
        return box ? box->findChild<QWidget *>(QStringLiteral("CellInput")) : nullptr;
    }

    void clickEllipsis(const QString &key)
    {
        QWidget *input = editorOf(key);
        QVERIFY(input);
        auto *button = input->parentWidget()->findChild<QToolButton *>(QStringLiteral("EllipsisButton"));
        QVERIFY2(button, qPrintable(key));
        button->click();
    }

    QStringList numbersShown() const
    {
        QStringList numbers;
        TZQuery *query = m_items->LedgerItemZQ;
        for (query->First(); !query->Eof(); query->Next())
            numbers << m_items->LedgerItemZQledgernumber->AsString();
        return numbers;
    }

    LedgerFixture fx;
    std::unique_ptr<TLedgerItems> m_items; // the list the searches fill
    IRef<TestConsole> m_console;
    IRef<TestPartners> m_partners;
    std::unique_ptr<TLedgerNavigatorForm> m_frame;
    qint64 m_marko = 0, m_jelena = 0, m_oneil = 0;
};

QTEST_MAIN(TestLedgerNavigator)
#include "tst_ledgernavigator.moc"
