// What a live query writes, proved in the database with a second desk at work:
// only changed columns, found by the whole key, nothing for no change, keys
// read back, defaults, rows gone meanwhile, and joined columns never written.

#include "DatasetTestUtil.h"
#include "TestRows.h"
#include "LedgerQueryText.h"
#include "SqlText.h"

using namespace dst;

namespace {

const QString kLedger = kLedgerQueryLines.join(u'\n');

} // namespace

class TestDataSetWrites : public QObject
{
    Q_OBJECT
private slots:
    void init() { DB_SETUP(m_db); addUser(conn(), QStringLiteral("Ana"), QStringLiteral("Anić")); }
    void cleanup() { m_db.reset(); }

    void updateWritesOnlyChangedColumns_data()
    {
        QTest::addColumn<QString>("ours");
        QTest::addColumn<QString>("theirs");
        QTest::newRow("type vs number") << "itemtype" << "itemnumber";
        QTest::newRow("number vs type") << "itemnumber" << "itemtype";
        QTest::newRow("mail number vs archive number") << "outmailnumber" << "archivednumber";
    }

    void updateWritesOnlyChangedColumns()
    {
        QFETCH(QString, ours);
        QFETCH(QString, theirs);
        addItems(conn(), 2);
        auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem ORDER BY ledgeritemid"));
        DB_TRY(q->Open());
        m_db->OpenSecondConnection()->ExecSQL(QStringLiteral("UPDATE ledgeritem SET %1 = 'drugi šalter' WHERE ledgeritemid = 1").arg(theirs));
        DB_TRY(q->Edit());
        q->FieldByName(ours).SetAsString(QStringLiteral("naš šalter"));
        DB_TRY(q->Post());
        QCOMPARE(q->RowsAffected(), 1);
        QCOMPARE(itemColumn(conn(), ours, 1).toString(), QStringLiteral("naš šalter"));
        QCOMPARE(itemColumn(conn(), theirs, 1).toString(), QStringLiteral("drugi šalter"));
        QCOMPARE(countItems(conn(), ours + QStringLiteral(" = 'naš šalter'")), 1);
    }

    void noChangeSendsNothing()
    {
        addItems(conn(), 1);
        auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem"));
        DB_TRY(q->Open());
        m_db->OpenSecondConnection()->ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemtype = 'Tuđe', itemnumber = 'x'"));
        DB_TRY(q->Edit());
        q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Dopis")); // what it holds already
        q->FieldByName(QStringLiteral("itemnumber")).Clear();                         // null already
        DB_TRY(q->Post());
        QCOMPARE(q->State(), TDataSetState::Browse);
        QCOMPARE(q->RowsAffected(), 0);
        QCOMPARE(countItems(conn(), QStringLiteral("itemtype = 'Tuđe' AND itemnumber = 'x'")), 1);
    }

    void insertReadsBackKey()
    {
        addItems(conn(), 1);
        auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem ORDER BY ledgeritemid"));
        DB_TRY(q->Open());
        QList<qint64> keys;
        for (const QString &number : {QStringLiteral("2/2024"), QStringLiteral("3/2024")}) {
            DB_TRY(q->Append());
            fillNew(*q, number);
            DB_TRY(q->Post());
            keys << q->FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt();
            QCOMPARE(scalar(conn(), QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE ledgernumber = ?"), {number}).toLongLong(),
                     keys.last());
        }
        // Later writes go by the key read back.
        q->SetRecNo(2);
        DB_TRY(q->Edit());
        q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Žalba"));
        DB_TRY(q->Post());
        QCOMPARE(itemColumn(conn(), QStringLiteral("itemtype"), keys.at(0)).toString(), QStringLiteral("Žalba"));
        q->Last();
        DB_TRY(q->Delete());
        QCOMPARE(countItems(conn()), 2);
        QCOMPARE(countItems(conn(), QStringLiteral("ledgeritemid = ?"), {keys.at(1)}), 0);
    }

    void calcDefaults_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<bool>("calc");
        QTest::newRow("boolean fields, defaults") << true << true;
        QTest::newRow("text fields, defaults") << false << true;
        QTest::newRow("boolean fields, no defaults") << true << false;
    }

    void calcDefaults()
    {
        QFETCH(bool, typed);
        QFETCH(bool, calc);
        auto q = liveQuery(conn(), QStringLiteral("SELECT ledgeritemid, direction, ledgerdatetime, ledgernumber, itemtype, userid, "
                                                  "accepted, archived FROM ledgeritem"));
        if (typed) {
            for (const char *name : {"ledgeritemid", "direction", "userid"})
                q->AddField(QString::fromLatin1(name), TFieldType::Largeint);
            q->AddField(QStringLiteral("ledgerdatetime"), TFieldType::DateTime);
            q->AddField(QStringLiteral("ledgernumber"), TFieldType::String);
            q->AddField(QStringLiteral("itemtype"), TFieldType::String);
            q->AddField(QStringLiteral("accepted"), TFieldType::Boolean);
            q->AddField(QStringLiteral("archived"), TFieldType::Boolean);
        }
        q->CalcDefaults = calc;
        DB_TRY(q->Open());
        DB_TRY(q->Append());
        TField &accepted = q->FieldByName(QStringLiteral("accepted"));
        TField &archived = q->FieldByName(QStringLiteral("archived"));
        QCOMPARE(accepted.IsNull(), !calc);
        QVERIFY(!accepted.AsBoolean());
        if (calc && typed)
            QCOMPARE(accepted.Value(), QVariant(false));
        QVERIFY(!q->Modified());
        fillNew(*q, QStringLiteral("1/2024"));
        archived.SetAsBoolean(true);
        DB_TRY(q->Post());
        const qint64 id = q->FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt();
        QCOMPARE(itemColumn(conn(), QStringLiteral("accepted"), id).toString(), QStringLiteral("n"));
        QCOMPARE(itemColumn(conn(), QStringLiteral("archived"), id).toString(), QStringLiteral("y"));
        QVERIFY(archived.AsBoolean());
        QVERIFY(!accepted.AsBoolean());
    }

    void refusedWriteKeepsBuffer_data()
    {
        QTest::addColumn<QString>("write");
        QTest::newRow("update of a row deleted meanwhile") << "update";
        QTest::newRow("same, where all") << "update where all";
        QTest::newRow("delete of a row deleted meanwhile") << "delete";
        QTest::newRow("insert of a number taken meanwhile") << "insert";
    }

    void refusedWriteKeepsBuffer()
    {
        QFETCH(QString, write);
        addItems(conn(), 2);
        auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem ORDER BY ledgeritemid"));
        if (write == QLatin1String("update where all"))
            q->WhereMode = TWhereMode::wmWhereAll;
        int afterPost = 0;
        QStringList postErrors;
        q->OnPostError = [&](TDataSet &, const EDatabaseError &e) { postErrors << (IsUniqueViolation(e) ? "unique" : "other"); };
        q->AfterPost = [&](TDataSet &) { ++afterPost; };
        DB_TRY(q->Open());
        auto other = m_db->OpenSecondConnection();
        if (write == QLatin1String("insert")) {
            DB_TRY(q->Append());
            fillNew(*q, QStringLiteral("3/2024"));
            addItem(*other, QStringLiteral("3/2024"), QStringLiteral("2024-03-09 08:00:00"));
        } else {
            other->ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = 1"));
        }
        if (write == QLatin1String("delete")) {
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Delete());
            QCOMPARE(q->RecordCount(), 2);
            QCOMPARE(q->FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt(), 1);
            return;
        }
        if (write != QLatin1String("insert"))
            DB_TRY(q->Edit());
        q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Žalba"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Post());
        QCOMPARE(postErrors, QStringList{write == QLatin1String("insert") ? QStringLiteral("unique") : QStringLiteral("other")});
        QCOMPARE(afterPost, 0);
        QCOMPARE(q->State(), write == QLatin1String("insert") ? TDataSetState::Insert : TDataSetState::Edit);
        QVERIFY(q->Modified());
        QCOMPARE(q->FieldByName(QStringLiteral("itemtype")).AsString(), QStringLiteral("Žalba"));
        QCOMPARE(countItems(conn(), QStringLiteral("itemtype = 'Žalba'")), 0);
        // Navigation cannot slip the row through as saved either.
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->First());
        if (write == QLatin1String("insert")) {
            q->FieldByName(QStringLiteral("ledgernumber")).SetAsString(QStringLiteral("4/2024"));
            DB_TRY(q->Post());
            QCOMPARE(countItems(conn(), QStringLiteral("itemtype = 'Žalba' AND ledgernumber = '4/2024'")), 1);
        }
    }

    void unchangedValuesCountAsFound_data()
    {
        flagRows("updateAll", {{"value the other desk already wrote", false}, {"update all, nothing changed", true}});
    }

    void unchangedValuesCountAsFound()
    {
        QFETCH(bool, updateAll);
        addItems(conn(), 1);
        auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem"));
        if (updateAll)
            q->UpdateMode = TUpdateMode::umUpdateAll;
        DB_TRY(q->Open());
        DB_TRY(q->Edit());
        if (!updateAll) {
            m_db->OpenSecondConnection()->ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemtype = 'Žalba'"));
            q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Žalba"));
        }
        DB_TRY(q->Post());
        QCOMPARE(q->State(), TDataSetState::Browse);
        QCOMPARE(q->RowsAffected(), 1);
    }

    void compositeKey()
    {
        for (const char *row : {"grid/height/50", "grid/width/100", "other/width/1"})
            conn().ExecSQL(QStringLiteral("INSERT INTO settings (section, keyname, value) VALUES (?, ?, ?)"),
                           {QString::fromLatin1(row).section(u'/', 0, 0), QString::fromLatin1(row).section(u'/', 1, 1),
                            QString::fromLatin1(row).section(u'/', 2, 2)});
        const auto settings = [&] {
            QStringList out;
            auto r = conn().OpenQuery(QStringLiteral("SELECT section, keyname, value FROM settings ORDER BY section, keyname"));
            while (r->next())
                out << r->value(0).toString() + u'/' + r->value(1).toString() + u'/' + r->value(2).toString();
            return out.join(u' ');
        };
        auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM settings ORDER BY section, keyname"));
        DB_TRY(q->Open());
        q->SetRecNo(2); // grid/width
        DB_TRY(q->Edit());
        q->FieldByName(QStringLiteral("value")).SetAsString(QStringLiteral("120"));
        DB_TRY(q->Post());
        QCOMPARE(settings(), QStringLiteral("grid/height/50 grid/width/120 other/width/1"));

        DB_TRY(q->Append());
        q->FieldByName(QStringLiteral("section")).SetAsString(QStringLiteral("grid"));
        q->FieldByName(QStringLiteral("keyname")).SetAsString(QStringLiteral("depth"));
        DB_TRY(q->Post());
        QCOMPARE(q->FieldByName(QStringLiteral("section")).AsString(), QStringLiteral("grid"));
        q->SetRecNo(2);
        DB_TRY(q->Delete());
        QCOMPARE(settings(), QStringLiteral("grid/depth/ grid/height/50 other/width/1"));
    }

    void joinedColumnsAreDisplayOnly()
    {
        const bool mysql = conn().Backend() == TBackend::MySQL;
        addItems(conn(), 1);
        addItem(conn(), QStringLiteral("2/2024"), QStringLiteral("2024-03-05 11:00:00"), 999); // no such user
        auto q = liveQuery(conn(), QStringLiteral("SELECT l.*, CONCAT(u.firstname,' ',u.lastname) AS username FROM ledgeritem AS l "
                                                  "LEFT JOIN user AS u ON u.userid = l.userid ORDER BY l.ledgeritemid"));
        DB_TRY(q->Open());
        TField &user = q->FieldByName(QStringLiteral("username"));
        TField &type = q->FieldByName(QStringLiteral("itemtype"));
        QVERIFY(user.IsDisplayOnly());
        QVERIFY(!type.IsDisplayOnly());
        QCOMPARE(q->FindField(QStringLiteral("numberkey")) != nullptr, mysql);
        TField *numberKey = q->FindField(QStringLiteral("numberkey"));
        QVERIFY(!numberKey || numberKey->IsDisplayOnly());
        QCOMPARE(user.AsString(), QStringLiteral("Ana Anić"));
        QVERIFY(q->ValueAt(1, user).isNull());
        QCOMPARE(q->DisplayTextAt(1, user), QString());

        // Browsing: table columns refuse a value; a display value goes in
        // without an edit.
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, type.SetAsString(QStringLiteral("Žalba")));
        user.SetAsString(QStringLiteral("Privremeno"));
        QCOMPARE(q->State(), TDataSetState::Browse);
        QVERIFY(!q->Modified());
        QCOMPARE(user.AsString(), QStringLiteral("Privremeno"));
        QCOMPARE(type.AsString(), QStringLiteral("Dopis"));

        // Never written, in an update or an insert.
        for (bool inserting : {false, true}) {
            DB_TRY(inserting ? q->Append() : q->Edit());
            if (inserting)
                fillNew(*q, QStringLiteral("3/2024"));
            type.SetAsString(QStringLiteral("Žalba"));
            user.SetAsString(QStringLiteral("Neko Drugi"));
            if (numberKey)
                numberKey->SetAsString(QStringLiteral("nešto"));
            DB_TRY(q->Post());
        }
        QCOMPARE(countItems(conn(), QStringLiteral("itemtype = 'Žalba'")), 2);
        QCOMPARE(scalar(conn(), QStringLiteral("SELECT COUNT(*) FROM user WHERE firstname = 'Ana' AND lastname = 'Anić'")).toInt(), 1);
        if (mysql)
            QCOMPARE(scalar(conn(), QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE numberkey = ledgernumber")).toInt(), 3);
    }

    void ledgerQuery_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("initial") << "l.ledgeritemid = -1" << QStringList();
        QTest::newRow("none") << "" << QStringList{"1/2024", "2/2024", "3/2024"};
        QTest::newRow("up to a day") << "l.ledgerdatetime <= '2024-03-05 23:59:59'" << QStringList{"1/2024", "2/2024"};
        QTest::newRow("partner name with keywords") << "p.name LIKE 'x WHERE y%'" << QStringList{"2/2024"};
        QTest::newRow("quoted name") << "p.name = 'O''Neil \\'" << QStringList{"3/2024"};
        QTest::newRow("missing user") << "u2.userid IS NULL" << QStringList{"3/2024"};
    }

    void ledgerQuery()
    {
        QFETCH(QString, condition);
        QFETCH(QStringList, numbers);
        for (const QString &name : {QStringLiteral("x WHERE y ORDER BY z"), QStringLiteral("O'Neil \\")})
            conn().ExecSQL(QStringLiteral("INSERT INTO partner (name) VALUES (?)"), {name});
        addItem(conn(), QStringLiteral("1/2024"), QStringLiteral("2024-03-04 08:00:00"));
        addItem(conn(), QStringLiteral("2/2024"), QStringLiteral("2024-03-05 23:59:59"));
        addItem(conn(), QStringLiteral("3/2024"), QStringLiteral("2024-03-06 00:00:00"), 999);
        conn().ExecSQL(QStringLiteral("UPDATE ledgeritem SET partnerid = ledgeritemid - 1 WHERE ledgeritemid > 1"));

        auto q = liveQuery(conn(), ChangeSQLCondition(kLedger, condition));
        q->SetSortedFields(QStringLiteral("ledgernumber"));
        DB_TRY(q->Open());
        QStringList seen;
        for (; !q->Eof(); q->Next()) {
            seen << numberOf(*q);
            QCOMPARE(q->FieldByName(QStringLiteral("linkedto")).Value(), QVariant(QString()));
            QVERIFY(q->FieldByName(QStringLiteral("documentnumber")).IsNull());
            QVERIFY(q->FieldByName(QStringLiteral("inusername")).IsNull());
            QCOMPARE(q->FieldByName(QStringLiteral("username")).DisplayText(),
                     seen.last() == QLatin1String("3/2024") ? QString() : QStringLiteral("Ana Anić"));
            for (const char *joined : {"linkedto", "partnername", "documentnumber", "username"})
                QVERIFY(q->FieldByName(QString::fromLatin1(joined)).IsDisplayOnly());
        }
        QCOMPARE(seen, numbers);
        if (numbers.contains(QStringLiteral("3/2024"))) {
            q->Last();
            QCOMPARE(q->FieldByName(QStringLiteral("partnername")).AsString(), QStringLiteral("O'Neil \\"));
            DB_TRY(q->Edit());
            q->FieldByName(QStringLiteral("itemnumber")).SetAsString(QStringLiteral("77"));
            DB_TRY(q->Post());
            QCOMPARE(countItems(conn(), QStringLiteral("itemnumber = '77' AND ledgernumber = '3/2024'")), 1);
        }
    }

private:
    TZConnection &conn() { return m_db->Connection(); }
    std::unique_ptr<TestDb> m_db;
};

QTEST_GUILESS_MAIN(TestDataSetWrites)
#include "tst_dataset_writes.moc"
