// The ledger data module on a real database: the item query, vocabularies,
// numbering, validations, deletion rules, copying, scanned-documents folder.

#include "CommonStrings.h"
#include "DatasetTestUtil.h"
#include "KException.h"
#include "IniFile.h"
#include "ScriptedDialogs.h"
#include "TestConsole.h"
#include "TestDb.h"
#include "data/LedgerDMUnit.h"
#include "integration/LedgerRegistration.h"
#include "data/LedgerResourceString.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class TestLedgerDM : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDb> db;
    IRef<TestConsole> console;
    qint64 ana = 0, marko = 0;

    std::unique_ptr<TLedgerItems> m_items; // the item set a window would own

    TZConnection &conn() { return db->Connection(); }

    // An item of Ana's; the columns given replace the defaults or add to them.
    qint64 insertItem(int direction, const QString &when, const QString &number, const QVariantMap &extra = {})
    {
        QVariantMap values{{QStringLiteral("direction"), direction}, {QStringLiteral("ledgerdatetime"), when},
                           {QStringLiteral("ledgernumber"), number}, {QStringLiteral("itemtype"), QStringLiteral("Dopis")},
                           {QStringLiteral("userid"), ana}};
        values.insert(extra);
        return dst::insertRow(conn(), QStringLiteral("ledgeritem"), values);
    }

    void openItem(qint64 id)
    {
        TZQuery *q = m_items->LedgerItemZQ;
        q->Close();
        q->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.ledgeritemid = %1").arg(id)));
        q->Open();
    }

    void openAll()
    {
        TZQuery *q = m_items->LedgerItemZQ;
        q->Close();
        q->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QString()));
        q->Open();
    }

    static QString thisYear(const QString &rest) { return QDate::currentDate().toString(QStringLiteral("yyyy")) + rest; }

private slots:
    void init()
    {
        DB_SETUP(db);
        Initialize();
        LedgerDM->SetZConnection(&conn());
        m_items = LedgerDM->NewLedgerItems();
        ana = dst::addUser(conn(), QStringLiteral("Ana"), QStringLiteral("Petrović"), QStringLiteral("ana"));
        marko = dst::addUser(conn(), QStringLiteral("Marko"), QStringLiteral("Jovanović"), QStringLiteral("marko"));
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

    void emptyUntilConditionIsSet()
    {
        insertItem(1, thisYear("-02-01 10:00:00"), QStringLiteral("1/24"));
        m_items->LedgerItemZQ->Open();
        QVERIFY(m_items->LedgerItemZQ->IsEmpty());
    }

    void leftJoinsKeepItemsWithMissingReferences()
    {
        const qint64 id = insertItem(1, thisYear("-02-01 10:00:00"), QStringLiteral("1/24"),
                                     {{QStringLiteral("userid"), 9999}, {QStringLiteral("partnerid"), 777}});
        openItem(id);
        QCOMPARE(m_items->LedgerItemZQ->RecordCount(), 1);
        QCOMPARE(m_items->LedgerItemZQpartnername->AsString(), QString());
        QCOMPARE(m_items->LedgerItemZQdocumentnumber->AsString(), QString());
        QCOMPARE(m_items->LedgerItemZQusername->AsString(), QString()); // never a lone blank
        QCOMPARE(m_items->LedgerItemZQinusername->AsString(), QString());
        QVERIFY(m_items->LedgerItemZQlinkedto->AsString().isEmpty());
    }

    void itemsPassedOnAreListedOnce()
    {
        const qint64 id = insertItem(1, thisYear("-02-01 10:00:00"), QStringLiteral("1/24"));
        insertItem(1, thisYear("-02-02 10:00:00"), QStringLiteral("1/24"), {{QStringLiteral("passonparentid"), id}});
        insertItem(1, thisYear("-02-03 10:00:00"), QStringLiteral("1/24"), {{QStringLiteral("passonparentid"), id}});
        openItem(id);
        QCOMPARE(m_items->LedgerItemZQ->RecordCount(), 1);
    }

    void conditionsReplaceEachOther()
    {
        TZQuery *q = m_items->LedgerItemZQ;
        q->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.direction = 1")));
        q->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("p.name LIKE 'WHERE x%'")));
        q->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.ledgeritemid = 5")));
        const QStringList lines = q->SQL().split(u'\n');
        QCOMPARE(lines.size(), 10);
        QCOMPARE(lines.last(), QStringLiteral("WHERE l.ledgeritemid = 5"));
        QCOMPARE(lines.mid(0, 9), TLedgerDM::LedgerItemSQL.split(u'\n').mid(0, 9));
        q->Open(); // still a valid statement
    }

    void updateOfArchivedWritesOnlyThatColumn()
    {
        const qint64 id = insertItem(1, thisYear("-02-01 10:00:00"), QStringLiteral("1/24"));
        openItem(id);
        // Another desk changes a different column meanwhile.
        auto other = db->OpenSecondConnection();
        other->ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemnumber = 'B-7' WHERE ledgeritemid = ?"), {id});
        TZQuery *q = m_items->LedgerItemZQ;
        q->Edit();
        m_items->LedgerItemZQarchived->SetAsBoolean(true);
        q->Post();
        QCOMPARE(dst::itemColumn(conn(), QStringLiteral("archived"), id).toString(), QStringLiteral("y"));
        QCOMPARE(dst::itemColumn(conn(), QStringLiteral("itemnumber"), id).toString(), QStringLiteral("B-7"));
    }

    void directionTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("Izlazni") << "Izlazni" << -1;
        QTest::newRow("Ulazni") << "Ulazni" << 1;
        QTest::newRow("Interni") << "Interni" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("other word") << "Spoljni" << 0;
        QTest::newRow("other case") << "ulazni" << 0;
    }
    void directionTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        const qint64 id = insertItem(0, thisYear("-02-01 10:00:00"), QStringLiteral("1/24"));
        openItem(id);
        m_items->LedgerItemZQ->Edit();
        m_items->LedgerItemZQdirection->SetText(text);
        QCOMPARE(m_items->LedgerItemZQdirection->AsInteger(), code);
        QCOMPARE(m_items->LedgerItemZQdirection->DisplayText(), GetDirectionCaption(code));
        m_items->LedgerItemZQ->Cancel();
    }

    void mailTypeTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Poštom") << "Poštom" << 1 << "Poštom";
        QTest::newRow("Dostavnicom") << "Dostavnicom" << 2 << "Dostavnicom";
        QTest::newRow("E-mailom") << "E-mailom" << 3 << "E-mailom";
        QTest::newRow("Faksom") << "Faksom" << 4 << "Faksom";
        QTest::newRow("Preko operatera") << "Preko operatera" << 5 << "Preko operatera";
        QTest::newRow("unknown gives 3") << "Golubom" << 3 << "E-mailom";
        QTest::newRow("empty gives 3") << "" << 3 << "E-mailom";
    }
    void mailTypeTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(QString, shown);
        const qint64 id = insertItem(1, thisYear("-02-01 10:00:00"), QStringLiteral("1/24"));
        openItem(id);
        QCOMPARE(m_items->LedgerItemZQinmailtype->DisplayText(), QString()); // null shows nothing
        m_items->LedgerItemZQ->Edit();
        m_items->LedgerItemZQinmailtype->SetText(text);
        m_items->LedgerItemZQoutmailtype->SetText(text);
        QCOMPARE(m_items->LedgerItemZQinmailtype->AsInteger(), code);
        QCOMPARE(m_items->LedgerItemZQoutmailtype->Text(), shown);
        m_items->LedgerItemZQ->Post();
        QCOMPARE(dst::itemColumn(conn(), QStringLiteral("inmailtype"), id).toInt(), code);
    }

    void codesWithoutCaption()
    {
        QCOMPARE(GetMailTypeCaption(0), QString());
        QCOMPARE(GetMailTypeCaption(6), QString());
        QCOMPARE(GetDirectionCaption(2), QString());
        QCOMPARE(DirectionMap.Low(), -1);
        QCOMPARE(MailTypeMap.Low(), 1);
        QCOMPARE(MailTypeMap.Count(), 5);
        const qint64 id = insertItem(1, thisYear("-02-01 10:00:00"), QStringLiteral("1/24"));
        conn().ExecSQL(QStringLiteral("UPDATE ledgeritem SET outmailtype = 9 WHERE ledgeritemid = ?"), {id});
        openItem(id);
        QCOMPARE(m_items->LedgerItemZQoutmailtype->DisplayText(), QString());
    }

    void acceptedTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("yes") << _YES_CAP << true;
        QTest::newRow("no") << _NO_CAP << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("other case") << _YES_CAP.toUpper() << false;
    }
    void acceptedTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        const qint64 id = insertItem(1, thisYear("-02-01 10:00:00"), QStringLiteral("1/24"));
        openItem(id);
        QCOMPARE(m_items->LedgerItemZQaccepted->DisplayText(), _NO_CAP);
        m_items->LedgerItemZQ->Edit();
        m_items->LedgerItemZQaccepted->SetText(text);
        m_items->LedgerItemZQ->Post();
        QCOMPARE(dst::itemColumn(conn(), QStringLiteral("accepted"), id).toString(),
                 accepted ? QStringLiteral("y") : QStringLiteral("n"));
    }

    void nullDirectionShowsInternal()
    {
        const qint64 id = insertItem(1, thisYear("-02-01 10:00:00"), QStringLiteral("1/24"));
        openItem(id);
        m_items->LedgerItemZQ->Edit();
        m_items->LedgerItemZQdirection->Clear();
        QCOMPARE(m_items->LedgerItemZQdirection->DisplayText(), QStringLiteral("Interni"));
        m_items->LedgerItemZQ->Cancel();
    }

    void ledgerIndexCountsPerDirectionAndYear()
    {
        const QDateTime mid2024(QDate(2024, 6, 1), QTime(12, 0));
        QCOMPARE(LedgerDM->GetLedgerIndex(mid2024, 1), 1);
        const qint64 first = insertItem(1, QStringLiteral("2024-01-01 00:00:00"), QStringLiteral("1/24"));
        insertItem(1, QStringLiteral("2024-03-01 09:00:00"), QStringLiteral("2/24"));
        insertItem(1, QStringLiteral("2023-12-31 23:59:59"), QStringLiteral("40/23")); // earlier year
        insertItem(1, QStringLiteral("2024-03-02 09:00:00"), QStringLiteral("2/24-1"));  // additional item
        insertItem(1, QStringLiteral("2024-03-03 09:00:00"), QStringLiteral("1/24"),
                   {{QStringLiteral("passonparentid"), first}});                        // passed-on copy
        insertItem(-1, QStringLiteral("2024-03-04 09:00:00"), QStringLiteral("1/24"));
        QCOMPARE(LedgerDM->GetLedgerIndex(mid2024, 1), 3);
        QCOMPARE(LedgerDM->GetLedgerIndex(mid2024, -1), 2);
        QCOMPARE(LedgerDM->GetLedgerIndex(mid2024, 0), 1);
        // Later years do not count: neither the next year's first item nor
        // one stored with a mistyped year shifts 2024's numbers.
        insertItem(1, QStringLiteral("2025-01-01 00:00:00"), QStringLiteral("1/25"));
        insertItem(1, QStringLiteral("2062-03-01 09:00:00"), QStringLiteral("1/62"));
        QCOMPARE(LedgerDM->GetLedgerIndex(mid2024, 1), 3);
        QCOMPARE(LedgerDM->GetLedgerIndex(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)), 1), 3);
        QCOMPARE(LedgerDM->GetLedgerIndex(QDateTime(QDate(2025, 1, 1), QTime(0, 0)), 1), 2);
        QCOMPARE(LedgerDM->GetLedgerIndex(QDateTime(QDate(2009, 5, 5), QTime(8, 0)), 0), 1);
    }

    // The proposed number is the count + 1 when free, else the next free one.
    void nextNumberSkipsUsed_data()
    {
        QTest::addColumn<QStringList>("items"); // direction|date|number
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no gap") << QStringList{"1|2024-02-01|1/24", "1|2024-02-02|2/24"} << 1 << "3/24";
        QTest::newRow("gap from renumbering") << QStringList{"1|2024-02-01|2/24"} << 1 << "3/24";
        QTest::newRow("gap from deletion") << QStringList{"1|2024-02-01|1/24", "1|2024-02-02|3/24"} << 1 << "4/24";
        QTest::newRow("other direction's number") << QStringList{"-1|2024-02-01|1/24"} << 1 << "1/24";
        QTest::newRow("a new year") << QStringList{"1|2023-05-01|1/23"} << 1 << "1/24";
    }
    void nextNumberSkipsUsed()
    {
        QFETCH(QStringList, items);
        QFETCH(int, direction);
        QFETCH(QString, expected);
        for (const QString &item : items) {
            const QStringList f = item.split(u'|');
            insertItem(f[0].toInt(), f[1] + QStringLiteral(" 09:00:00"), f[2]);
        }
        QCOMPARE(LedgerDM->NextLedgerNumber(QDateTime(QDate(2024, 6, 1), QTime(12, 0)), direction), expected);
    }

    void newItemDefaults()
    {
        insertItem(1, thisYear("-01-02 09:00:00"), QStringLiteral("1/xx"));
        insertItem(-1, thisYear("-01-02 09:00:00"), QStringLiteral("1/xx"));
        openAll();
        TZQuery *q = m_items->LedgerItemZQ;
        q->Append();
        QCOMPARE(q->State(), TDataSetState::Insert);
        QCOMPARE(m_items->LedgerItemZQdirection->AsInteger(), 1);
        const QDateTime when = m_items->LedgerItemZQledgerdatetime->AsDateTime();
        QVERIFY(qAbs(when.secsTo(QDateTime::currentDateTime())) < 60);
        QCOMPARE(m_items->LedgerItemZQledgernumber->AsString(), QStringLiteral("2/") + when.toString(QStringLiteral("yy")));
        QCOMPARE(m_items->LedgerItemZQaccepted->IsNull(), false);
        QCOMPARE(m_items->LedgerItemZQaccepted->AsBoolean(), false);
        QCOMPARE(m_items->LedgerItemZQarchived->AsBoolean(), false);
        QCOMPARE(m_items->LedgerItemZQuserid->AsLargeInt(), ana);
        QCOMPARE(m_items->LedgerItemZQinuserid->AsLargeInt(), ana);
        QCOMPARE(m_items->LedgerItemZQusername->AsString(), QStringLiteral("Ana Petrović"));
        QCOMPARE(m_items->LedgerItemZQinusername->AsString(), QStringLiteral("Ana Petrović"));
        QVERIFY(m_items->LedgerItemZQoutuserid->IsNull());
        QVERIFY(m_items->LedgerItemZQinmailtype->IsNull());
        m_items->LedgerItemZQitemtype->SetAsString(QStringLiteral("Rešenje"));
        q->Post();
        QVERIFY(m_items->LedgerItemZQledgeritemid->AsLargeInt() > 0);
        QCOMPARE(dst::countItems(conn()), 3);
    }

    void newItemWithoutUserCannotBePosted()
    {
        console->Security->HasUser = false;
        openAll();
        m_items->LedgerItemZQ->Append();
        QVERIFY(m_items->LedgerItemZQuserid->IsNull());
        m_items->LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
        QVERIFY_THROWS_EXCEPTION(KException, m_items->LedgerItemZQ->Post());
        QCOMPARE(m_items->LedgerItemZQ->State(), TDataSetState::Insert);
        QCOMPARE(dst::countItems(conn()), 0);
    }

    void newItemWithoutSecurityModuleLeavesNoRow()
    {
        console->Security.reset();
        openAll();
        TZQuery *q = m_items->LedgerItemZQ;
        try {
            q->Append();
            QFAIL("the new row should have been refused");
        } catch (const KException &e) {
            QCOMPARE(e.message(), FormatStr(_CMN_NO_MODULE, {_CMN_MOD_SECURITY_NAME}));
        }
        QCOMPARE(q->State(), TDataSetState::Browse);
        QCOMPARE(q->RecordCount(), 0);
        QCOMPARE(GlobalConsole ? LedgerDM->GetUserID() : 0, -1);
    }

    void validations_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("itemType");
        QTest::addColumn<int>("direction");
        QTest::addColumn<bool>("passOn");
        QTest::addColumn<QString>("itemDate");
        QTest::addColumn<QString>("message"); // empty: accepted
        const QString reqNumber = FormatStr(_CMN_FIELD_REQUIRED_ERR, {QStringLiteral("Delovodni broj")});
        const QString invNumber = FormatStr(_CMN_FIELD_INVALIDE_ERR, {QStringLiteral("Delovodni broj")});
        const QString reqType = FormatStr(_CMN_FIELD_REQUIRED_ERR, {QStringLiteral("Vrsta dokumenta")});
        const QString invType = FormatStr(_CMN_FIELD_INVALIDE_ERR, {QStringLiteral("Vrsta dokumenta")});
        const QString invDate = FormatStr(_CMN_FIELD_INVALIDE_ERR, {QStringLiteral("Datum dokumenta")});
        QTest::newRow("empty number") << "" << "Dopis" << 1 << false << "" << reqNumber;
        QTest::newRow("number checked before type") << "" << "" << 1 << false << "" << reqNumber;
        QTest::newRow("empty type") << "9/24" << "" << 1 << false << "" << reqType;
        QTest::newRow("blank type") << "9/24" << "   " << 1 << false << "" << invType;
        QTest::newRow("blank number") << "  " << "Dopis" << 1 << false << "" << invNumber;
        QTest::newRow("duplicate incoming") << "5/24" << "Dopis" << 1 << false << "" << invNumber;
        QTest::newRow("same number outgoing") << "5/24" << "Dopis" << -1 << false << "" << "";
        QTest::newRow("same number internal") << "5/24" << "Dopis" << 0 << false << "" << "";
        QTest::newRow("pass-on copy keeps number") << "5/24" << "Dopis" << 1 << true << "" << "";
        QTest::newRow("item date accepted") << "9/24" << "Dopis" << 1 << false << "2024-02-03" << "";
        QTest::newRow("item date out of range") << "9/24" << "Dopis" << 1 << false << "1800-02-03" << invDate;
    }
    void validations()
    {
        QFETCH(QString, number);
        QFETCH(QString, itemType);
        QFETCH(int, direction);
        QFETCH(bool, passOn);
        QFETCH(QString, itemDate);
        QFETCH(QString, message);
        const qint64 existing = insertItem(1, QStringLiteral("2024-02-01 10:00:00"), QStringLiteral("5/24"));
        openAll();
        TZQuery *q = m_items->LedgerItemZQ;
        q->Append();
        // The numbers carry 2024: so does the date.
        m_items->LedgerItemZQledgerdatetime->SetAsDateTime(QDateTime(QDate(2024, 3, 1), QTime(9, 0)));
        m_items->LedgerItemZQdirection->SetAsInteger(direction);
        m_items->LedgerItemZQledgernumber->SetAsString(number);
        m_items->LedgerItemZQitemtype->SetAsString(itemType);
        if (passOn)
            m_items->LedgerItemZQpassonparentid->SetAsLargeInt(existing);
        if (!itemDate.isEmpty())
            m_items->LedgerItemZQitemdate->SetAsString(itemDate);
        if (message.isEmpty()) {
            q->Post();
            QCOMPARE(q->State(), TDataSetState::Browse);
            return;
        }
        try {
            q->Post();
            QFAIL("post should have been refused");
        } catch (const KException &e) {
            QCOMPARE(e.message(), message);
        }
        // The user's values stay for correction.
        QCOMPARE(q->State(), TDataSetState::Insert);
        QCOMPARE(m_items->LedgerItemZQledgernumber->AsString(), number);
        QCOMPARE(m_items->LedgerItemZQitemtype->AsString(), itemType);
    }

    void overlongTextIsRefusedOnBothBackends()
    {
        const qint64 id = insertItem(1, QStringLiteral("2024-02-01 10:00:00"), QStringLiteral("5/24"));
        openItem(id);
        m_items->LedgerItemZQ->Edit();
        m_items->LedgerItemZQitemnumber->SetAsString(QString(30, u'Ž'));
        try {
            m_items->LedgerItemZQitemnumber->SetAsString(QString(31, u'Ž'));
            QFAIL("a text longer than its column should be refused");
        } catch (const EDatabaseError &e) {
            QVERIFY(e.message().contains(QStringLiteral("Broj dokumenta")));
        }
        QCOMPARE(m_items->LedgerItemZQitemnumber->AsString(), QString(30, u'Ž'));
        m_items->LedgerItemZQ->Post();
        QCOMPARE(dst::itemColumn(conn(), QStringLiteral("itemnumber"), id).toString(),
                 QString(30, u'Ž'));
    }

    void savingUnchangedNumberIsAccepted()
    {
        const qint64 id = insertItem(1, QStringLiteral("2024-02-01 10:00:00"), QStringLiteral("5/24"));
        openItem(id);
        m_items->LedgerItemZQ->Edit();
        m_items->LedgerItemZQitemnumber->SetAsString(QStringLiteral("X-1"));
        m_items->LedgerItemZQ->Post();
        QCOMPARE(dst::itemColumn(conn(), QStringLiteral("itemnumber"), id).toString(), QStringLiteral("X-1"));
    }

    // Two desks counted the same number: the later post is refused by the
    // database with the ledger-number message, and keeps its buffer.
    void raceForTheSameNumberIsRefused()
    {
        openAll();
        TZQuery *q = m_items->LedgerItemZQ;
        q->Append();
        const QString number = m_items->LedgerItemZQledgernumber->AsString();
        m_items->LedgerItemZQitemtype->SetAsString(QStringLiteral("Ugovor"));
        auto other = db->OpenSecondConnection();
        auto checks = q->BeforePost;
        q->BeforePost = [&](TDataSet &ds) {
            checks(ds); // the module's own check passes: the number is still free
            other->ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid) "
                                          "VALUES (1, ?, ?, 'Dopis', ?)"), {QDateTime::currentDateTime(), number, marko});
        };
        try {
            q->Post();
            QFAIL("the second desk's number should have been refused");
        } catch (const KException &e) {
            QCOMPARE(e.message(), FormatStr(_CMN_FIELD_INVALIDE_ERR, {QStringLiteral("Delovodni broj")}));
        }
        q->BeforePost = checks;
        QCOMPARE(q->State(), TDataSetState::Insert);
        QCOMPARE(m_items->LedgerItemZQitemtype->AsString(), QStringLiteral("Ugovor"));
        QCOMPARE(dst::countItems(conn(), QStringLiteral("ledgernumber = ?"), {number}), 1);
    }

    void deletionRules_data()
    {
        QTest::addColumn<QString>("owner");     // which user registered it: ana / marko
        QTest::addColumn<bool>("viaInUser");    // ana is only the user it came from
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("hasChild");
        QTest::addColumn<int>("answer");        // answer to the host's confirmation
        QTest::addColumn<QString>("message");   // empty: deleted (or kept silently)
        QTest::addColumn<bool>("deleted");
        QTest::newRow("owner, confirmed") << "ana" << false << false << false << int(mbYes) << "" << true;
        QTest::newRow("came from user") << "marko" << true << false << false << int(mbYes) << "" << true;
        QTest::newRow("owner, not confirmed") << "ana" << false << false << false << int(mbNo) << "" << false;
        QTest::newRow("foreign") << "marko" << false << false << false << int(mbYes) << _LEDGER_DEL_ERR << false;
        QTest::newRow("accepted") << "ana" << false << true << false << int(mbYes) << _LEDGER_DEL_ERR << false;
        QTest::newRow("child even for owner") << "ana" << false << false << true << int(mbYes) << _LEDGER_PASSON_ERR << false;
        QTest::newRow("child before owner test") << "marko" << false << true << true << int(mbYes) << _LEDGER_PASSON_ERR << false;
    }
    void deletionRules()
    {
        QFETCH(QString, owner);
        QFETCH(bool, viaInUser);
        QFETCH(bool, accepted);
        QFETCH(bool, hasChild);
        QFETCH(int, answer);
        QFETCH(QString, message);
        QFETCH(bool, deleted);
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers.push_back(answer);
        QVariantMap extra{{QStringLiteral("userid"), owner == QLatin1String("ana") ? ana : marko},
                          {QStringLiteral("accepted"), accepted ? QStringLiteral("y") : QStringLiteral("n")}};
        if (viaInUser)
            extra.insert(QStringLiteral("inuserid"), ana);
        const qint64 id = insertItem(1, QStringLiteral("2024-02-01 10:00:00"), QStringLiteral("5/24"), extra);
        if (hasChild)
            insertItem(1, QStringLiteral("2024-02-02 10:00:00"), QStringLiteral("5/24-1"), {{QStringLiteral("parentid"), id}});
        openItem(id);
        TZQuery *q = m_items->LedgerItemZQ;
        try {
            q->Delete();
            QVERIFY2(message.isEmpty(), "delete should have been refused");
        } catch (const EAbort &) {
            QVERIFY(message.isEmpty());
        } catch (const KException &e) {
            QCOMPARE(e.message(), message);
            QCOMPARE(dialogs->Messages.size(), 0); // refused before the host's question
        }
        QCOMPARE(dst::countItems(conn(), QStringLiteral("ledgeritemid = ?"), {id}), deleted ? 0 : 1);
        QCOMPARE(q->RecordCount(), deleted ? 0 : 1);
        if (message.isEmpty()) {
            // The question names the number that will be missing, and "Ne" is its default.
            QCOMPARE(dialogs->Messages.size(), 1);
            QCOMPARE(dialogs->Messages[0].Text,
                     QStringLiteral("Obrisati stavku 5/24 (Ulazni, Dopis)?\nBroj 5/24 će nedostajati u delovodniku."));
            QVERIFY(dialogs->Messages[0].Buttons & mbDefaultNo);
        }
    }

    void noUserCannotDelete()
    {
        console->Security->HasUser = false;
        const qint64 id = insertItem(1, QStringLiteral("2024-02-01 10:00:00"), QStringLiteral("5/24"));
        openItem(id);
        QCOMPARE(LedgerDM->GetUserID(), -1);
        QVERIFY_THROWS_EXCEPTION(KException, m_items->LedgerItemZQ->Delete());
    }

    void copyWithoutAssignmentsDiffersOnlyInKey()
    {
        const QString path = QStringLiteral("C:\\arhiva\\a'b");
        // A passed-on copy: registered items may not share a number.
        const qint64 origin = insertItem(-1, QStringLiteral("2024-01-31 10:00:00"), QStringLiteral("5/24"));
        const qint64 id = insertItem(-1, QStringLiteral("2024-02-01 10:00:00"), QStringLiteral("5/24"),
                                     {{QStringLiteral("itemnumber"), path}, {QStringLiteral("accepted"), QStringLiteral("y")},
                                      {QStringLiteral("itemdate"), QStringLiteral("2024-01-30")},
                                      {QStringLiteral("passonparentid"), origin}});
        const int copy = LedgerDM->CopyLedgerItem(int(id), {});
        QVERIFY(copy > id);
        const QString cols = QStringLiteral("direction, ledgerdatetime, ledgernumber, itemtype, itemnumber, itemdate, "
                                            "userid, accepted, archived, parentid, passonparentid");
        auto a = conn().OpenQuery(QStringLiteral("SELECT %1 FROM ledgeritem WHERE ledgeritemid = ?").arg(cols), {id});
        auto b = conn().OpenQuery(QStringLiteral("SELECT %1 FROM ledgeritem WHERE ledgeritemid = ?").arg(cols), {copy});
        QVERIFY(a->next() && b->next());
        for (int i = 0; i < 11; ++i)
            QCOMPARE(b->value(i), a->value(i));
        QCOMPARE(b->value(4).toString(), path);
        // A registered item copied as it is would repeat its number.
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, LedgerDM->CopyLedgerItem(int(origin), {}));
        QCOMPARE(dst::countItems(conn()), 3);
    }

    void copyWithAssignments()
    {
        const qint64 id = insertItem(1, QStringLiteral("2024-02-01 10:00:00"), QStringLiteral("5/24"),
                                     {{QStringLiteral("accepted"), QStringLiteral("y")}, {QStringLiteral("outuserid"), marko}});
        const TStringArr assignments{QStringLiteral("accepted=False"), QStringLiteral("outuserid=NULL"),
                                     QStringLiteral("passonparentid=%1").arg(id), QStringLiteral("inuserid=%1").arg(marko)};
        const int copy = LedgerDM->CopyLedgerItem(int(id), assignments);
        QVERIFY(copy > 0);
        auto q = conn().OpenQuery(QStringLiteral("SELECT accepted, outuserid, passonparentid, inuserid, ledgernumber "
                                                           "FROM ledgeritem WHERE ledgeritemid = ?"), {copy});
        QVERIFY(q->next());
        QCOMPARE(q->value(0).toString(), QStringLiteral("n"));
        QVERIFY(q->value(1).isNull());
        QCOMPARE(q->value(2).toLongLong(), id);
        QCOMPARE(q->value(3).toLongLong(), marko);
        QCOMPARE(q->value(4).toString(), QStringLiteral("5/24"));
        QCOMPARE(assignments.size(), 4); // left unchanged
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, LedgerDM->CopyLedgerItem(int(id), {QStringLiteral("nosuchcolumn=1")}));
    }

    void scannedDocumentDirectory()
    {
        const QString ini = TLedgerDM::ApplicationIniFileName();
        const QString def = QCoreApplication::applicationDirPath() + QStringLiteral("/scanned");
        auto reset = [&] {
            QFile::remove(ini);
            QDir(def).removeRecursively();
        };
        reset();
        ScopedScriptedDialogs dialogs;

        // Exists: no question, nothing written.
        QDir().mkdir(def);
        QCOMPARE(LedgerDM->GetScannedDocumentFilePath(), def);
        QCOMPARE(dialogs->Messages.size(), 0);
        QVERIFY(!QFile::exists(ini));

        // Missing, Yes: created, and the next call asks nothing.
        reset();
        dialogs->MessageAnswers.push_back(mbYes);
        QCOMPARE(LedgerDM->GetScannedDocumentFilePath(), def);
        QVERIFY(QFileInfo(def).isDir());
        QCOMPARE(dialogs->Messages.size(), 1);
        QCOMPARE(dialogs->Messages.first().Text, _SCAN_DOC_DIR_WRN);
        QCOMPARE(dialogs->Messages.first().Buttons, mbYes | mbNo);
        QCOMPARE(LedgerDM->GetScannedDocumentFilePath(), def);
        QCOMPARE(dialogs->Messages.size(), 1);

        // Missing, No, cancel: empty, nothing stored, asked again next time.
        reset();
        dialogs->MessageAnswers.push_back(mbNo);
        QCOMPARE(LedgerDM->GetScannedDocumentFilePath(), QString());
        QCOMPARE(dialogs->BrowseTitles, QStringList{_SCAN_DOC_DIR_TITLE});
        QVERIFY(!TIniFile(ini).Contains(QStringLiteral("Document"), QStringLiteral("ScanDocDir")));
        dialogs->MessageAnswers.push_back(mbNo);
        QCOMPARE(LedgerDM->GetScannedDocumentFilePath(), QString());
        QCOMPARE(dialogs->Messages.size(), 3);

        // Missing, No, a chosen folder: stored and used from then on.
        QTemporaryDir chosen;
        dialogs->MessageAnswers.push_back(mbNo);
        dialogs->BrowseAnswers.push_back(chosen.path());
        QCOMPARE(LedgerDM->GetScannedDocumentFilePath(), chosen.path());
        QCOMPARE(TIniFile(ini).Value(QStringLiteral("Document"), QStringLiteral("ScanDocDir")), chosen.path());
        QCOMPARE(LedgerDM->GetScannedDocumentFilePath(), chosen.path());
        QCOMPARE(dialogs->Messages.size(), 4);

        // Missing, Yes, but it cannot be made (a file stands in the way): said, and no folder.
        TIniFile blocked(ini);
        blocked.SetValue(QStringLiteral("Document"), QStringLiteral("ScanDocDir"), ini + QStringLiteral("/skenovi"));
        blocked.Save();
        dialogs->MessageAnswers.push_back(mbYes);
        QCOMPARE(LedgerDM->GetScannedDocumentFilePath(), QString());
        QCOMPARE(dialogs->Messages.size(), 6);
        QCOMPARE(dialogs->Messages.last().Type, TMsgDlgType::Error);
        reset();
    }
};

QTEST_MAIN(TestLedgerDM)
#include "tst_ledgerdm.moc"
