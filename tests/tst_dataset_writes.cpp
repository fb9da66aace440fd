// What a live query writes, proved in the database with a second desk at work:
// only changed columns, found by the whole key, nothing for no change, keys
// read back, defaults, rows gone meanwhile, and joined columns never written.

#include "DatasetTestUtil.h"
#include "SqlText.h"

using namespace dst;

namespace {

const QString kJoined = QStringLiteral(
    "SELECT l.*, CONCAT(u.firstname,' ',u.lastname) AS username FROM ledgeritem AS l "
    "LEFT JOIN user AS u ON u.userid = l.userid ORDER BY l.ledgeritemid");

const QString kLedger = QStringList{
    QStringLiteral("SELECT DISTINCT l.*,CONCAT('') linkedto,CONCAT(p.name,'') AS partnername,CONCAT(d.number,'') AS documentnumber,"),
    QStringLiteral("  CONCAT(u1.firstname,' ',u1.lastname) AS inusername,CONCAT(u2.firstname,' ',u2.lastname) AS username,CONCAT(u3.firstname,' ',u3.lastname) AS outusername"),
    QStringLiteral("FROM ledgeritem AS l"),
    QStringLiteral("  LEFT JOIN ledgeritem AS l1 ON l.ledgeritemid = l1.passonparentid"),
    QStringLiteral("  LEFT JOIN partner AS p ON p.partnerid = l.partnerid"),
    QStringLiteral("  LEFT JOIN document AS d ON d.documentid = l.documentid"),
    QStringLiteral("  LEFT JOIN user AS u1 ON u1.userid = l.inuserid "),
    QStringLiteral("  LEFT JOIN user AS u2 ON u2.userid = l.userid "),
    QStringLiteral("  LEFT JOIN user AS u3 ON u3.userid = l.outuserid "),
    QStringLiteral("WHERE l.ledgeritemid = -1")}.join(u'\n');

} // namespace

class TestDataSetWrites : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void updateWritesOnlyChangedColumns_data();
    void updateWritesOnlyChangedColumns();
    void noChangeSendsNothing();
    void insertReadsBackKey();
    void calcDefaults_data();
    void calcDefaults();
    void rowGoneOnOtherDesk_data();
    void rowGoneOnOtherDesk();
    void unchangedValuesCountAsFound_data();
    void unchangedValuesCountAsFound();
    void compositeKey();
    void duplicateNumberRefused();
    void joinedColumnsAreDisplayOnly();
    void ledgerQuery_data();
    void ledgerQuery();

private:
    TZConnection &conn() { return m_db->Connection(); }
    QVariant column(const QString &col, qint64 id)
    {
        return scalar(conn(), QStringLiteral("SELECT %1 FROM ledgeritem WHERE ledgeritemid = ?").arg(col), {id});
    }
    static void fillNew(TDataSet &q, const QString &number)
    {
        q.FieldByName(QStringLiteral("direction")).SetAsInteger(1);
        q.FieldByName(QStringLiteral("ledgerdatetime")).SetAsDateTime(QDateTime(QDate(2024, 3, 9), QTime(8, 0)));
        q.FieldByName(QStringLiteral("ledgernumber")).SetAsString(number);
        q.FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Dopis"));
        q.FieldByName(QStringLiteral("userid")).SetAsLargeInt(1);
    }

    std::unique_ptr<TestDb> m_db;
    qint64 m_user = 0;
};

void TestDataSetWrites::init()
{
    DB_SETUP(m_db);
    m_user = addUser(conn(), QStringLiteral("Ana"), QStringLiteral("Anić"));
}

void TestDataSetWrites::updateWritesOnlyChangedColumns_data()
{
    QTest::addColumn<QString>("ours");
    QTest::addColumn<QString>("theirs");
    QTest::newRow("type vs number") << "itemtype" << "itemnumber";
    QTest::newRow("number vs type") << "itemnumber" << "itemtype";
    QTest::newRow("mail number vs archive number") << "outmailnumber" << "archivednumber";
}

void TestDataSetWrites::updateWritesOnlyChangedColumns()
{
    QFETCH(QString, ours);
    QFETCH(QString, theirs);
    const qint64 a = addItem(conn(), QStringLiteral("1/2024"), QStringLiteral("2024-03-05 10:00:00"), m_user);
    const qint64 b = addItem(conn(), QStringLiteral("2/2024"), QStringLiteral("2024-03-05 11:00:00"), m_user);
    auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem ORDER BY ledgeritemid"));
    DB_TRY(q->Open());

    auto other = m_db->OpenSecondConnection();
    QCOMPARE(other->ExecSQL(QStringLiteral("UPDATE ledgeritem SET %1 = 'drugi šalter' WHERE ledgeritemid = ?").arg(theirs), {a}), 1);

    DB_TRY(q->Edit());
    q->FieldByName(ours).SetAsString(QStringLiteral("naš šalter"));
    DB_TRY(q->Post());
    QCOMPARE(q->RowsAffected(), 1);
    QCOMPARE(column(ours, a).toString(), QStringLiteral("naš šalter"));
    QCOMPARE(column(theirs, a).toString(), QStringLiteral("drugi šalter"));
    QCOMPARE(scalar(conn(), QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE ledgeritemid = ? AND %1 = 'naš šalter'").arg(ours), {b}).toInt(), 0);
}

void TestDataSetWrites::noChangeSendsNothing()
{
    const qint64 a = addItem(conn(), QStringLiteral("1/2024"), QStringLiteral("2024-03-05 10:00:00"), m_user);
    auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem"));
    DB_TRY(q->Open());
    auto other = m_db->OpenSecondConnection();
    other->ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemtype = 'Tuđe', itemnumber = 'x' WHERE ledgeritemid = ?"), {a});
    DB_TRY(q->Edit());
    q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Dopis")); // what it already holds
    q->FieldByName(QStringLiteral("itemnumber")).Clear();                         // null already
    DB_TRY(q->Post());
    QCOMPARE(q->State(), TDataSetState::Browse);
    QCOMPARE(q->RowsAffected(), 0);
    QCOMPARE(column(QStringLiteral("itemtype"), a).toString(), QStringLiteral("Tuđe"));
    QCOMPARE(column(QStringLiteral("itemnumber"), a).toString(), QStringLiteral("x"));
}

void TestDataSetWrites::insertReadsBackKey()
{
    addItem(conn(), QStringLiteral("1/2024"), QStringLiteral("2024-03-05 10:00:00"), m_user);
    auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem ORDER BY ledgeritemid"));
    DB_TRY(q->Open());
    QList<qint64> keys;
    for (const char *number : {"2/2024", "3/2024"}) {
        DB_TRY(q->Append());
        fillNew(*q, QString::fromLatin1(number));
        DB_TRY(q->Post());
        TField &key = q->FieldByName(QStringLiteral("ledgeritemid"));
        QVERIFY(!key.IsNull());
        keys << key.AsLargeInt();
        QCOMPARE(scalar(conn(), QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE ledgernumber = ?"), {QString::fromLatin1(number)}).toLongLong(),
                 keys.last());
    }
    QVERIFY(keys.at(0) != keys.at(1));
    // The key read back is the one later writes go by.
    q->SetRecNo(2);
    DB_TRY(q->Edit());
    q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Žalba"));
    DB_TRY(q->Post());
    QCOMPARE(column(QStringLiteral("itemtype"), keys.at(0)).toString(), QStringLiteral("Žalba"));
    q->Last();
    DB_TRY(q->Delete());
    QCOMPARE(scalar(conn(), QStringLiteral("SELECT COUNT(*) FROM ledgeritem")).toInt(), 2);
    QVERIFY(column(QStringLiteral("ledgeritemid"), keys.at(1)).isNull());
}

void TestDataSetWrites::calcDefaults_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<bool>("calc");
    QTest::newRow("boolean fields, defaults") << true << true;
    QTest::newRow("text fields, defaults") << false << true;
    QTest::newRow("boolean fields, no defaults") << true << false;
}

void TestDataSetWrites::calcDefaults()
{
    QFETCH(bool, typed);
    QFETCH(bool, calc);
    auto q = liveQuery(conn(), QStringLiteral("SELECT ledgeritemid, direction, ledgerdatetime, ledgernumber, itemtype, userid, "
                                              "accepted, archived FROM ledgeritem"));
    if (typed) {
        q->AddField(QStringLiteral("ledgeritemid"), TFieldType::Largeint);
        q->AddField(QStringLiteral("direction"), TFieldType::Smallint);
        q->AddField(QStringLiteral("ledgerdatetime"), TFieldType::DateTime);
        q->AddField(QStringLiteral("ledgernumber"), TFieldType::String);
        q->AddField(QStringLiteral("itemtype"), TFieldType::String);
        q->AddField(QStringLiteral("userid"), TFieldType::Largeint);
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
    QVERIFY(archived.AsBoolean());
    DB_TRY(q->Post());
    const qint64 id = q->FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt();
    QCOMPARE(column(QStringLiteral("accepted"), id).toString(), QStringLiteral("n"));
    QCOMPARE(column(QStringLiteral("archived"), id).toString(), QStringLiteral("y"));
    QVERIFY(archived.AsBoolean());
    QVERIFY(!accepted.AsBoolean());
}

void TestDataSetWrites::rowGoneOnOtherDesk_data()
{
    QTest::addColumn<bool>("deleting");
    QTest::addColumn<bool>("whereAll");
    QTest::newRow("update") << false << false;
    QTest::newRow("update, where all") << false << true;
    QTest::newRow("delete") << true << false;
}

void TestDataSetWrites::rowGoneOnOtherDesk()
{
    QFETCH(bool, deleting);
    QFETCH(bool, whereAll);
    const qint64 a = addItem(conn(), QStringLiteral("1/2024"), QStringLiteral("2024-03-05 10:00:00"), m_user);
    addItem(conn(), QStringLiteral("2/2024"), QStringLiteral("2024-03-05 11:00:00"), m_user);
    auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem ORDER BY ledgeritemid"));
    if (whereAll)
        q->WhereMode = TWhereMode::wmWhereAll;
    int postErrors = 0, afterPost = 0;
    q->OnPostError = [&](TDataSet &, const EDatabaseError &) { ++postErrors; };
    q->AfterPost = [&](TDataSet &) { ++afterPost; };
    DB_TRY(q->Open());
    m_db->OpenSecondConnection()->ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {a});

    if (deleting) {
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Delete());
        QCOMPARE(q->RecordCount(), 2);
        QCOMPARE(q->FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt(), a);
        return;
    }
    DB_TRY(q->Edit());
    q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Žalba"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Post());
    QCOMPARE(postErrors, 1);
    QCOMPARE(afterPost, 0);
    QCOMPARE(q->State(), TDataSetState::Edit);
    QVERIFY(q->Modified());
    QCOMPARE(q->FieldByName(QStringLiteral("itemtype")).AsString(), QStringLiteral("Žalba"));
    QCOMPARE(scalar(conn(), QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE itemtype = 'Žalba'")).toInt(), 0);
    // Navigation cannot slip the failed row through as saved either.
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Next());
    QCOMPARE(q->State(), TDataSetState::Edit);
    q->Cancel();
    QCOMPARE(q->FieldByName(QStringLiteral("itemtype")).AsString(), QStringLiteral("Dopis"));
}

void TestDataSetWrites::unchangedValuesCountAsFound_data()
{
    QTest::addColumn<bool>("updateAll");
    QTest::newRow("value the other desk already wrote") << false;
    QTest::newRow("update all, nothing changed") << true;
}

void TestDataSetWrites::unchangedValuesCountAsFound()
{
    QFETCH(bool, updateAll);
    const qint64 a = addItem(conn(), QStringLiteral("1/2024"), QStringLiteral("2024-03-05 10:00:00"), m_user);
    auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem"));
    if (updateAll)
        q->UpdateMode = TUpdateMode::umUpdateAll;
    DB_TRY(q->Open());
    DB_TRY(q->Edit());
    if (!updateAll) {
        m_db->OpenSecondConnection()->ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemtype = 'Žalba' WHERE ledgeritemid = ?"), {a});
        q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Žalba"));
    }
    DB_TRY(q->Post());
    QCOMPARE(q->State(), TDataSetState::Browse);
    QCOMPARE(q->RowsAffected(), 1);
    QCOMPARE(column(QStringLiteral("itemtype"), a).toString(), updateAll ? QStringLiteral("Dopis") : QStringLiteral("Žalba"));
}

void TestDataSetWrites::compositeKey()
{
    const QString insert = QStringLiteral("INSERT INTO settings (section, keyname, value) VALUES (?, ?, ?)");
    conn().ExecSQL(insert, {QStringLiteral("grid"), QStringLiteral("height"), QStringLiteral("50")});
    conn().ExecSQL(insert, {QStringLiteral("grid"), QStringLiteral("width"), QStringLiteral("100")});
    conn().ExecSQL(insert, {QStringLiteral("other"), QStringLiteral("width"), QStringLiteral("1")});
    const auto value = [&](const char *section, const char *key) {
        return scalar(conn(), QStringLiteral("SELECT value FROM settings WHERE section = ? AND keyname = ?"),
                      {QString::fromLatin1(section), QString::fromLatin1(key)}).toString();
    };
    auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM settings ORDER BY section, keyname"));
    DB_TRY(q->Open());
    q->SetRecNo(2); // grid/width
    QCOMPARE(q->FieldByName(QStringLiteral("keyname")).AsString(), QStringLiteral("width"));
    DB_TRY(q->Edit());
    q->FieldByName(QStringLiteral("value")).SetAsString(QStringLiteral("120"));
    DB_TRY(q->Post());
    QCOMPARE(q->RowsAffected(), 1);
    QCOMPARE(value("grid", "width"), QStringLiteral("120"));
    QCOMPARE(value("grid", "height"), QStringLiteral("50"));
    QCOMPARE(value("other", "width"), QStringLiteral("1"));

    DB_TRY(q->Append());
    q->FieldByName(QStringLiteral("section")).SetAsString(QStringLiteral("grid"));
    q->FieldByName(QStringLiteral("keyname")).SetAsString(QStringLiteral("depth"));
    q->FieldByName(QStringLiteral("value")).SetAsString(QStringLiteral("5"));
    DB_TRY(q->Post());
    QCOMPARE(q->FieldByName(QStringLiteral("section")).AsString(), QStringLiteral("grid"));
    QCOMPARE(value("grid", "depth"), QStringLiteral("5"));

    q->SetRecNo(2);
    DB_TRY(q->Delete());
    QCOMPARE(scalar(conn(), QStringLiteral("SELECT COUNT(*) FROM settings")).toInt(), 3);
    QCOMPARE(value("grid", "height"), QStringLiteral("50"));
    QCOMPARE(value("other", "width"), QStringLiteral("1"));
}

void TestDataSetWrites::duplicateNumberRefused()
{
    addItem(conn(), QStringLiteral("1/2024"), QStringLiteral("2024-03-05 10:00:00"), m_user);
    auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem"));
    bool unique = false;
    q->OnPostError = [&](TDataSet &, const EDatabaseError &e) { unique = IsUniqueViolation(e); };
    DB_TRY(q->Open());
    DB_TRY(q->Append());
    fillNew(*q, QStringLiteral("1/2024"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Post());
    QVERIFY(unique);
    QCOMPARE(q->State(), TDataSetState::Insert);
    q->FieldByName(QStringLiteral("ledgernumber")).SetAsString(QStringLiteral("2/2024"));
    DB_TRY(q->Post());
    QCOMPARE(scalar(conn(), QStringLiteral("SELECT COUNT(*) FROM ledgeritem")).toInt(), 2);
}

void TestDataSetWrites::joinedColumnsAreDisplayOnly()
{
    const bool mysql = conn().Backend() == TBackend::MySQL;
    const qint64 a = addItem(conn(), QStringLiteral("1/2024"), QStringLiteral("2024-03-05 10:00:00"), m_user);
    addItem(conn(), QStringLiteral("2/2024"), QStringLiteral("2024-03-05 11:00:00"), 999); // no such user
    auto q = liveQuery(conn(), kJoined);
    DB_TRY(q->Open());
    TField &user = q->FieldByName(QStringLiteral("username"));
    QVERIFY(user.IsDisplayOnly());
    QVERIFY(!q->FieldByName(QStringLiteral("itemtype")).IsDisplayOnly());
    QCOMPARE(q->FindField(QStringLiteral("numberkey")) != nullptr, mysql);
    if (mysql)
        QVERIFY(q->FieldByName(QStringLiteral("numberkey")).IsDisplayOnly());
    QCOMPARE(user.AsString(), QStringLiteral("Ana Anić"));
    QCOMPARE(q->DisplayTextAt(1, user), QString());
    QVERIFY(q->ValueAt(1, user).isNull());

    // Browsing: a display value goes in without an edit and is never written.
    user.SetAsString(QStringLiteral("Privremeno"));
    QCOMPARE(q->State(), TDataSetState::Browse);
    QVERIFY(!q->Modified());
    QCOMPARE(user.AsString(), QStringLiteral("Privremeno"));

    DB_TRY(q->Edit());
    q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Žalba"));
    user.SetAsString(QStringLiteral("Neko Drugi"));
    if (mysql)
        q->FieldByName(QStringLiteral("numberkey")).SetAsString(QStringLiteral("nešto"));
    DB_TRY(q->Post());
    QCOMPARE(column(QStringLiteral("itemtype"), a).toString(), QStringLiteral("Žalba"));

    DB_TRY(q->Append());
    fillNew(*q, QStringLiteral("3/2024"));
    user.SetAsString(QStringLiteral("Neko Treći"));
    if (mysql)
        q->FieldByName(QStringLiteral("numberkey")).SetAsString(QStringLiteral("nešto"));
    DB_TRY(q->Post());

    QCOMPARE(scalar(conn(), QStringLiteral("SELECT COUNT(*) FROM user WHERE firstname = 'Ana' AND lastname = 'Anić'")).toInt(), 1);
    QCOMPARE(scalar(conn(), QStringLiteral("SELECT COUNT(*) FROM user")).toInt(), 1);
    if (mysql)
        QCOMPARE(scalar(conn(), QStringLiteral("SELECT numberkey FROM ledgeritem WHERE ledgernumber = '3/2024'")).toString(),
                 QStringLiteral("3/2024"));
    q->Close();
    DB_TRY(q->Open());
    QCOMPARE(q->RecordCount(), 3);
    QCOMPARE(q->FieldByName(QStringLiteral("username")).AsString(), QStringLiteral("Ana Anić"));
}

void TestDataSetWrites::ledgerQuery_data()
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

void TestDataSetWrites::ledgerQuery()
{
    QFETCH(QString, condition);
    QFETCH(QStringList, numbers);
    const QString insertPartner = QStringLiteral("INSERT INTO partner (name) VALUES (?)");
    conn().ExecSQL(insertPartner, {QStringLiteral("x WHERE y ORDER BY z")});
    const qint64 p1 = conn().LastInsertID();
    conn().ExecSQL(insertPartner, {QStringLiteral("O'Neil \\")});
    const qint64 p2 = conn().LastInsertID();
    addItem(conn(), QStringLiteral("1/2024"), QStringLiteral("2024-03-04 08:00:00"), m_user);
    const qint64 b = addItem(conn(), QStringLiteral("2/2024"), QStringLiteral("2024-03-05 23:59:59"), m_user);
    const qint64 c = addItem(conn(), QStringLiteral("3/2024"), QStringLiteral("2024-03-06 00:00:00"), 999);
    conn().ExecSQL(QStringLiteral("UPDATE ledgeritem SET partnerid = ? WHERE ledgeritemid = ?"), {p1, b});
    conn().ExecSQL(QStringLiteral("UPDATE ledgeritem SET partnerid = ? WHERE ledgeritemid = ?"), {p2, c});

    auto q = liveQuery(conn(), ChangeSQLCondition(kLedger, condition));
    q->SetSortedFields(QStringLiteral("ledgernumber"));
    DB_TRY(q->Open());
    QStringList seen;
    for (q->First(); !q->Eof(); q->Next()) {
        seen << q->FieldByName(QStringLiteral("ledgernumber")).AsString();
        QVERIFY(!q->FieldByName(QStringLiteral("linkedto")).IsNull());
        QCOMPARE(q->FieldByName(QStringLiteral("linkedto")).AsString(), QString());
        QVERIFY(q->FieldByName(QStringLiteral("documentnumber")).IsNull());
        QVERIFY(q->FieldByName(QStringLiteral("inusername")).IsNull());
        const QString user = q->FieldByName(QStringLiteral("username")).DisplayText();
        QCOMPARE(user, seen.last() == QLatin1String("3/2024") ? QString() : QStringLiteral("Ana Anić"));
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
        QCOMPARE(column(QStringLiteral("itemnumber"), c).toString(), QStringLiteral("77"));
    }
}

QTEST_GUILESS_MAIN(TestDataSetWrites)
#include "tst_dataset_writes.moc"
