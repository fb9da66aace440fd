// The item's subject (predmet): its words as the search finds them, the word
// table kept in step with every write of an item, the search criterion, the
// 500-character limit, and the subject in the CSV file.

#include "CsvReader.h"
#include "DatasetTestUtil.h"
#include "KException.h"
#include "ScriptedDialogs.h"
#include "TestConsole.h"
#include "TestDb.h"
#include "ZTransaction.h"
#include "data/LedgerCsvExport.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerSearchCriteria.h"
#include "data/SubjectWords.h"
#include "integration/LedgerRegistration.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class TestSubjectSearch : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDb> db;
    IRef<TestConsole> console;
    std::unique_ptr<TLedgerItems> m_items;
    int m_serial = 0;

    TZConnection &conn() { return db->Connection(); }

    // A new item posted through the item set, as the detail form posts it.
    qint64 postItem(const QString &subject)
    {
        TZQuery *q = m_items->LedgerItemZQ;
        m_items->ShowCondition(QStringLiteral("l.ledgeritemid = -1"));
        q->Append();
        m_items->LedgerItemZQledgernumber->SetAsString(QStringLiteral("P%1/26").arg(++m_serial));
        m_items->LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
        m_items->LedgerItemZQsubject->SetAsString(subject);
        q->Post();
        return m_items->LedgerItemZQledgeritemid->AsLargeInt();
    }

    QStringList storedWords(qint64 id)
    {
        QStringList words;
        auto q = conn().OpenQuery(QStringLiteral("SELECT word FROM subjectword WHERE ledgeritemid = ? ORDER BY word"), {id});
        while (q->next())
            words << q->value(0).toString();
        return words;
    }

    // The subjects of the items the criterion selects, sorted.
    QStringList found(const QString &typed)
    {
        TLedgerSearchCriteria criteria;
        criteria.Texts.insert(TLedgerSearchCriteria::Subject, typed);
        QVariantList params;
        const QString condition = criteria.Condition(&conn(), params);
        QStringList subjects;
        auto q = conn().OpenQuery(LedgerDM->LedgerItemChangeSQLCondition(condition), params);
        while (q->next())
            subjects << q->value(QStringLiteral("subject")).toString();
        subjects.sort();
        return subjects;
    }

private slots:
    void init()
    {
        m_serial = 0;
        DB_SETUP(db);
        Initialize();
        LedgerDM->SetZConnection(&conn());
        m_items = LedgerDM->NewLedgerItems();
        const qint64 ana = dst::addUser(conn(), QStringLiteral("Ana"), QStringLiteral("Petrović"), QStringLiteral("ana"));
        console = IRef<TestConsole>(new TestConsole);
        console->Security = IRef<TestSecurity>(new TestSecurity);
        console->Security->User = TUserDesc{qint32(ana), QStringLiteral("ana"), QStringLiteral("Ana"), QStringLiteral("Petrović")};
        GlobalConsole = console;
    }

    void cleanup()
    {
        m_items.reset();
        Finalize();
        console.reset();
        db.reset();
    }

    // ---- Words ---------------------------------------------------------------------------------

    void words_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("case and diacritics") << "Zahtev za izdavanje ČAČAK" << QStringList{"zahtev", "za", "izdavanje", "cacak"};
        QTest::newRow("dj and dz") << "Đorđe, DŽEP i đak" << QStringList{"djordje", "dzep", "i", "djak"};
        QTest::newRow("cyrillic") << "Захтев Чачак" << QStringList{"zahtev", "cacak"};
        QTest::newRow("same word twice") << "Čačak cacak ЧАЧАК" << QStringList{"cacak"};
        QTest::newRow("numbers and punctuation") << "Ugovor br. 12/2026 (hitno)!" << QStringList{"ugovor", "br", "12", "2026", "hitno"};
        QTest::newRow("wildcards") << "50% za_sve" << QStringList{"50", "za", "sve"};
        QTest::newRow("only signs") << "% _ ; '" << QStringList{};
        QTest::newRow("long word kept by its beginning") << QString(130, u'a') << QStringList{QString(100, u'a')};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void words()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QCOMPARE(SubjectWords(text), words);
    }

    // ---- Kept in step --------------------------------------------------------------------------

    void insertUpdateDelete()
    {
        const qint64 id = postItem(QStringLiteral("Zahtev za izdavanje ČAČAK"));
        QCOMPARE(storedWords(id), (QStringList{"cacak", "izdavanje", "za", "zahtev"}));

        QVERIFY(m_items->OpenItem(id));
        m_items->LedgerItemZQ->Edit();
        m_items->LedgerItemZQsubject->SetAsString(QStringLiteral("Žalba na rešenje"));
        m_items->LedgerItemZQ->Post();
        QCOMPARE(storedWords(id), (QStringList{"na", "resenje", "zalba"}));

        // A change of another column leaves the words as they are.
        m_items->LedgerItemZQ->Edit();
        m_items->LedgerItemZQitemnumber->SetAsString(QStringLiteral("BR-7"));
        m_items->LedgerItemZQ->Post();
        QCOMPARE(storedWords(id), (QStringList{"na", "resenje", "zalba"}));

        m_items->LedgerItemZQ->Edit();
        m_items->LedgerItemZQsubject->Clear();
        m_items->LedgerItemZQ->Post();
        QCOMPARE(storedWords(id), QStringList{});

        m_items->LedgerItemZQ->Edit();
        m_items->LedgerItemZQsubject->SetAsString(QStringLiteral("Prijava štete"));
        m_items->LedgerItemZQ->Post();
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers.push_back(mbYes);
        m_items->LedgerItemZQ->Delete();
        QCOMPARE(dst::scalar(conn(), QStringLiteral("SELECT COUNT(*) FROM subjectword")).toInt(), 0);
    }

    void copiesCarryTheirWords()
    {
        const qint64 id = postItem(QStringLiteral("Ugovor o zakupu"));
        const int copy = LedgerDM->CopyLedgerItem(int(id), {QStringLiteral("ledgernumber=K1/26")});
        QVERIFY(copy > 0);
        QCOMPARE(storedWords(copy), (QStringList{"o", "ugovor", "zakupu"}));
        const int enclosure = LedgerDM->AddAdditionalItem(int(id));
        QCOMPARE(storedWords(enclosure), (QStringList{"o", "ugovor", "zakupu"}));
        QCOMPARE(found(QStringLiteral("zakup")).size(), 3);
    }

    // ---- The search ----------------------------------------------------------------------------

    void search_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("subjects");
        const QString cacak = QStringLiteral("Zahtev za izdavanje ČAČAK");
        const QString zalba = QStringLiteral("Žalba na rešenje o porezu");
        const QString nis = QStringLiteral("Ugovor sa firmom iz Niša, 50% avansa");
        QTest::newRow("folded prefixes") << "cacak zah" << QStringList{cacak};
        QTest::newRow("upper case") << "ČAČAK" << QStringList{cacak};
        QTest::newRow("cyrillic") << "чачак" << QStringList{cacak};
        QTest::newRow("diacritics typed without") << "zalba resenje" << QStringList{zalba};
        QTest::newRow("prefix of two") << "z" << QStringList{cacak, zalba};
        QTest::newRow("two words, both needed") << "zahtev porez" << QStringList{};
        QTest::newRow("two words in one") << "zalba porez" << QStringList{zalba};
        QTest::newRow("not inside a word") << "acak" << QStringList{};
        QTest::newRow("not the word's end") << "vor" << QStringList{};
        QTest::newRow("percent is no wildcard") << "%acak" << QStringList{};
        QTest::newRow("underscore is no wildcard") << "_ahtev" << QStringList{};
        QTest::newRow("percent beside a number") << "50%" << QStringList{nis};
        QTest::newRow("quote") << "Niš'" << QStringList{nis};
    }

    void search()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, subjects);
        postItem(QStringLiteral("Zahtev za izdavanje ČAČAK"));
        postItem(QStringLiteral("Žalba na rešenje o porezu"));
        postItem(QStringLiteral("Ugovor sa firmom iz Niša, 50% avansa"));
        postItem(QString());
        QCOMPARE(found(typed), subjects);
    }

    void searchComposesWithOtherCriteria()
    {
        postItem(QStringLiteral("Zahtev za izdavanje ČAČAK"));
        postItem(QStringLiteral("Zahtev za izdavanje ČAČAK"));
        TLedgerSearchCriteria criteria;
        criteria.Texts = {{TLedgerSearchCriteria::Subject, QStringLiteral("cacak")},
                          {TLedgerSearchCriteria::LedgerNumber, QStringLiteral("P2/")}};
        QVariantList params;
        const QString condition = criteria.Condition(&conn(), params);
        auto q = conn().OpenQuery(LedgerDM->LedgerItemChangeSQLCondition(condition), params);
        QVERIFY(q->next());
        QCOMPARE(q->value(QStringLiteral("ledgernumber")).toString(), QStringLiteral("P2/26"));
        QVERIFY(!q->next());
        // Typed text is bound, never part of the statement.
        QVERIFY(!condition.contains(QLatin1String("cacak")));
    }

    void noWordIsRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("percent") << "%";
        QTest::newRow("underscore") << "_";
        QTest::newRow("signs") << " ,.-/ ";
    }

    void noWordIsRefused()
    {
        QFETCH(QString, typed);
        TLedgerSearchCriteria criteria;
        criteria.Texts.insert(TLedgerSearchCriteria::Subject, typed);
        QVariantList params;
        try {
            criteria.Condition(&conn(), params);
            QFAIL("a text without words was searched");
        } catch (const KException &e) {
            QCOMPARE(e.message(), QStringLiteral("Polje 'Predmet': '%1' ne sadrži nijednu reč (traže se slova ili cifre).")
                                      .arg(typed));
        }
    }

    // ---- Limit ---------------------------------------------------------------------------------

    void limitInCharacters_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("500 letters") << QString(500, u'a') << true;
        QTest::newRow("501 letters") << QString(501, u'a') << false;
        QTest::newRow("500 with diacritics") << QString(500, u'Č') << true;
        QTest::newRow("501 with diacritics") << QString(501, u'ž') << false;
        QTest::newRow("500 outside the basic plane") << QStringLiteral("\U0001D49C").repeated(500) << true;
        QTest::newRow("501 outside the basic plane") << QStringLiteral("\U0001D49C").repeated(501) << false;
    }

    void limitInCharacters()
    {
        QFETCH(QString, subject);
        QFETCH(bool, accepted);
        m_items->ShowCondition(QStringLiteral("l.ledgeritemid = -1"));
        m_items->LedgerItemZQ->Append();
        try {
            m_items->LedgerItemZQsubject->SetAsString(subject);
            QVERIFY(accepted);
        } catch (const EDatabaseError &e) {
            QVERIFY(!accepted);
            QCOMPARE(e.message(), QStringLiteral("Tekst u polju 'Predmet' je duži od 500 znakova."));
            return;
        }
        m_items->LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
        m_items->LedgerItemZQ->Post();
        QCOMPARE(dst::itemColumn(conn(), QStringLiteral("subject"), m_items->LedgerItemZQledgeritemid->AsLargeInt()).toString(),
                 subject);
    }

    // ---- Two desks -----------------------------------------------------------------------------

    // Each desk's subject arrives whole: the words follow the subject stored last.
    void twoDesksChangeOneSubject()
    {
        const qint64 id = postItem(QStringLiteral("Prvobitni predmet"));
        std::unique_ptr<TZConnection> second = db->OpenSecondConnection();
        {
            TZTransaction transaction(*second);
            second->ExecSQL(QStringLiteral("UPDATE ledgeritem SET subject = ? WHERE ledgeritemid = ?"),
                            {QStringLiteral("Druga desk"), id});
            StoreSubjectWords(*second, id, QStringLiteral("Druga desk"));
            transaction.Commit();
        }
        QCOMPARE(storedWords(id), (QStringList{"desk", "druga"}));
        QVERIFY(m_items->OpenItem(id));
        m_items->LedgerItemZQ->Edit();
        m_items->LedgerItemZQsubject->SetAsString(QStringLiteral("Prva desk"));
        m_items->LedgerItemZQ->Post();
        QCOMPARE(storedWords(id), (QStringList{"desk", "prva"}));
        QCOMPARE(dst::itemColumn(conn(), QStringLiteral("subject"), id).toString(), QStringLiteral("Prva desk"));
    }

    // ---- CSV -----------------------------------------------------------------------------------

    void csvAppendsTheRegisterColumns()
    {
        const qint64 id = postItem(QStringLiteral("Zahtev; \"hitno\""));
        conn().ExecSQL(QStringLiteral("UPDATE ledgeritem SET classification = '011', orgunit = 'Pisarnica' WHERE ledgeritemid = ?"),
                       {id});
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("predmeti.csv"));
        QCOMPARE(ExportLedgerCsv(conn(), LedgerExportCriteria({}), file, {}), qint64(1));
        const CsvContent csv = ReadCsvFile(file);
        QCOMPARE(csv.Rows.value(0).mid(0, 3), (QStringList{"Tip", "Delovodni broj", "Datum i vreme"}));
        QCOMPARE(csv.Rows.value(0).mid(10, 3), (QStringList{"Predmet", "Klasifikaciona oznaka", "Organizaciona jedinica"}));
        QCOMPARE(csv.Rows.value(1).mid(10, 3), (QStringList{"Zahtev; \"hitno\"", "011", "Pisarnica"}));
    }
};

QTEST_MAIN(TestSubjectSearch)
#include "tst_subjectsearch.moc"
