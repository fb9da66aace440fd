// The data set's state machine on a live query: navigation, editing, refusals
// thrown by events, bound controls and sorting.

#include "DatasetTestUtil.h"

using namespace dst;

namespace {
const QString kAll = QStringLiteral("SELECT * FROM ledgeritem ORDER BY ledgeritemid");
}

class TestDataSet : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void navigation_data();
    void navigation();
    void refusedPostKeepsBuffer_data();
    void refusedPostKeepsBuffer();
    void refusedNewRecordAbandonsRow_data();
    void refusedNewRecordAbandonsRow();
    void refusedDeleteKeepsRow();
    void deleteMovesToNextRow();
    void editOnEmptyInserts();
    void navigationPostsPendingEdit_data();
    void navigationPostsPendingEdit();
    void browseWritesRefused();
    void controlsDisabledNest();
    void sorting_data();
    void sorting();
    void persistentFieldsSurviveFailedOpen();

private:
    TZConnection &conn() { return m_db->Connection(); }
    int count(const QString &where = QStringLiteral("1 = 1"))
    {
        return scalar(conn(), QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE ") + where).toInt();
    }
    void addItems(int n)
    {
        for (int i = 1; i <= n; ++i)
            addItem(conn(), QStringLiteral("%1/2024").arg(i), QStringLiteral("2024-03-0%1 10:00:00").arg(i), m_user);
    }
    static void fillNew(TDataSet &q, const QString &number)
    {
        q.FieldByName(QStringLiteral("direction")).SetAsInteger(1);
        q.FieldByName(QStringLiteral("ledgerdatetime")).SetAsDateTime(QDateTime(QDate(2024, 3, 9), QTime(8, 0)));
        q.FieldByName(QStringLiteral("ledgernumber")).SetAsString(number);
        q.FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Dopis"));
        q.FieldByName(QStringLiteral("userid")).SetAsLargeInt(1);
    }
    static QString number(TDataSet &q) { return q.FieldByName(QStringLiteral("ledgernumber")).AsString(); }

    std::unique_ptr<TestDb> m_db;
    qint64 m_user = 0;
};

void TestDataSet::init()
{
    DB_SETUP(m_db);
    m_user = addUser(conn(), QStringLiteral("Ana"), QStringLiteral("Anić"));
}

void TestDataSet::navigation_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("empty") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
}

void TestDataSet::navigation()
{
    QFETCH(int, rows);
    addItems(rows);
    QStringList expected;
    for (int i = 1; i <= rows; ++i)
        expected << QStringLiteral("%1/2024").arg(i);

    auto q = liveQuery(conn(), kAll);
    QVERIFY(q->Eof() && q->Bof() && !q->Active());
    DB_TRY(q->Open());
    QCOMPARE(q->State(), TDataSetState::Browse);
    QCOMPARE(q->RecordCount(), rows);
    QCOMPARE(q->IsEmpty(), rows == 0);
    QCOMPARE(q->RecNo(), rows ? 1 : 0);
    QVERIFY(q->Bof());
    QCOMPARE(q->Eof(), rows == 0);

    QStringList seen;
    QList<int> recNos;
    while (!q->Eof()) {
        seen << number(*q);
        recNos << q->RecNo();
        q->Next();
    }
    QCOMPARE(seen, expected);
    for (int i = 0; i < recNos.size(); ++i)
        QCOMPARE(recNos.at(i), i + 1);
    QCOMPARE(q->RecNo(), rows);
    QCOMPARE(q->Bof(), rows <= 1);

    QStringList back;
    q->Last();
    while (!q->Bof()) {
        back.prepend(number(*q));
        q->Prior();
    }
    QCOMPARE(back, expected);
    QCOMPARE(q->RecNo(), rows ? 1 : 0);

    q->Close();
    QVERIFY(!q->Active() && q->Eof() && q->Bof());
    QCOMPARE(q->RecordCount(), 0);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Next());
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Append());
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Edit());
}

void TestDataSet::refusedPostKeepsBuffer_data()
{
    QTest::addColumn<bool>("inserting");
    QTest::addColumn<bool>("byRequired");
    QTest::newRow("edit, BeforePost") << false << false;
    QTest::newRow("insert, BeforePost") << true << false;
    QTest::newRow("edit, required field") << false << true;
    QTest::newRow("insert, required field") << true << true;
}

void TestDataSet::refusedPostKeepsBuffer()
{
    QFETCH(bool, inserting);
    QFETCH(bool, byRequired);
    addItems(2);
    auto q = liveQuery(conn(), kAll);
    bool refuse = true;
    int afterPost = 0;
    q->AfterPost = [&](TDataSet &) { ++afterPost; };
    DB_TRY(q->Open());
    TField &number = q->FieldByName(QStringLiteral("itemnumber"));
    if (byRequired) {
        number.Required = true;
        number.SetDisplayLabel(QStringLiteral("Broj predmeta"));
    } else {
        q->BeforePost = [&](TDataSet &) {
            if (refuse)
                throw Refused();
        };
    }
    q->Next();
    if (inserting) {
        DB_TRY(q->Append());
        fillNew(*q, QStringLiteral("9/2024"));
    } else {
        DB_TRY(q->Edit());
    }
    const int rows = q->RecordCount();
    q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Žalba"));
    try {
        q->Post();
        QFAIL("the post was not refused");
    } catch (const KException &e) {
        if (byRequired)
            QVERIFY2(e.message().contains(QLatin1String("Broj predmeta")), qPrintable(e.message()));
    }
    QCOMPARE(q->State(), inserting ? TDataSetState::Insert : TDataSetState::Edit);
    QCOMPARE(q->FieldByName(QStringLiteral("itemtype")).AsString(), QStringLiteral("Žalba"));
    QCOMPARE(q->RecordCount(), rows);
    QCOMPARE(afterPost, 0);
    QCOMPARE(count(QStringLiteral("itemtype <> 'Dopis'")), 0);
    QCOMPARE(count(), 2);

    refuse = false;
    number.SetAsString(QStringLiteral("55"));
    DB_TRY(q->Post());
    QCOMPARE(q->State(), TDataSetState::Browse);
    QCOMPARE(afterPost, 1);
    QCOMPARE(count(), inserting ? 3 : 2);
    QCOMPARE(count(QStringLiteral("itemtype <> 'Dopis' AND itemnumber = '55'")), 1);
    QCOMPARE(scalar(conn(), QStringLiteral("SELECT ledgernumber FROM ledgeritem WHERE itemnumber = '55'")).toString(),
             inserting ? QStringLiteral("9/2024") : QStringLiteral("2/2024"));
}

void TestDataSet::refusedNewRecordAbandonsRow_data()
{
    QTest::addColumn<bool>("append");
    QTest::newRow("append") << true;
    QTest::newRow("insert") << false;
}

void TestDataSet::refusedNewRecordAbandonsRow()
{
    QFETCH(bool, append);
    addItems(3);
    auto q = liveQuery(conn(), kAll);
    DB_TRY(q->Open());
    q->Next();
    q->OnNewRecord = [](TDataSet &) { throw Refused(); };
    QVERIFY_THROWS_EXCEPTION(Refused, append ? q->Append() : q->Insert());
    QCOMPARE(q->State(), TDataSetState::Browse);
    QCOMPARE(q->RecordCount(), 3);
    QVERIFY(!number(*q).isEmpty());
    if (!append)
        QCOMPARE(number(*q), QStringLiteral("2/2024"));
    for (int r = 0; r < 3; ++r)
        QCOMPARE(q->DisplayTextAt(r, q->FieldByName(QStringLiteral("ledgernumber"))), QStringLiteral("%1/2024").arg(r + 1));

    q->OnNewRecord = nullptr;
    DB_TRY(q->Append());
    fillNew(*q, QStringLiteral("4/2024"));
    DB_TRY(q->Post());
    QCOMPARE(q->RecordCount(), 4);
    QCOMPARE(count(), 4);
}

void TestDataSet::refusedDeleteKeepsRow()
{
    addItems(3);
    auto q = liveQuery(conn(), kAll);
    DB_TRY(q->Open());
    q->Next();
    q->BeforeDelete = [](TDataSet &) { throw Refused(); };
    QVERIFY_THROWS_EXCEPTION(Refused, q->Delete());
    QCOMPARE(q->RecordCount(), 3);
    QCOMPARE(number(*q), QStringLiteral("2/2024"));
    QCOMPARE(count(), 3);
}

void TestDataSet::deleteMovesToNextRow()
{
    addItems(3);
    auto q = liveQuery(conn(), kAll);
    QStringList scrolledTo;
    q->AfterScroll = [&](TDataSet &ds) { scrolledTo << number(ds); };
    DB_TRY(q->Open());
    q->Next();
    scrolledTo.clear();
    DB_TRY(q->Delete());
    QCOMPARE(q->RecordCount(), 2);
    QCOMPARE(number(*q), QStringLiteral("3/2024"));
    QCOMPARE(count(QStringLiteral("ledgernumber = '2/2024'")), 0);
    // Handlers that follow the current row (details, captions) hear of it.
    QCOMPARE(scrolledTo, QStringList{QStringLiteral("3/2024")});
    DB_TRY(q->Delete());
    QCOMPARE(number(*q), QStringLiteral("1/2024"));
    DB_TRY(q->Delete());
    QVERIFY(q->IsEmpty() && q->Eof() && q->Bof());
    QCOMPARE(count(), 0);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Delete());
}

void TestDataSet::editOnEmptyInserts()
{
    auto q = liveQuery(conn(), kAll);
    DB_TRY(q->Open());
    QVERIFY(q->IsEmpty());
    DB_TRY(q->Edit());
    QCOMPARE(q->State(), TDataSetState::Insert);
    QVERIFY(!q->IsEmpty());
    fillNew(*q, QStringLiteral("1/2024"));
    DB_TRY(q->Post());
    QCOMPARE(q->RecordCount(), 1);
    QCOMPARE(count(), 1);
}

void TestDataSet::navigationPostsPendingEdit_data()
{
    QTest::addColumn<QString>("move");
    QTest::addColumn<bool>("inserting");
    for (const char *move : {"Next", "Prior", "First", "Last", "RecNo", "Append", "Sort"}) {
        QTest::addRow("edit, %s", move) << move << false;
        QTest::addRow("insert, %s", move) << move << true;
    }
}

void TestDataSet::navigationPostsPendingEdit()
{
    QFETCH(QString, move);
    QFETCH(bool, inserting);
    addItems(3);
    auto q = liveQuery(conn(), kAll);
    DB_TRY(q->Open());
    q->Next();
    if (inserting) {
        q->Insert();
        fillNew(*q, QStringLiteral("9/2024"));
    } else {
        DB_TRY(q->Edit());
    }
    q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Rešenje"));
    if (move == QLatin1String("Next"))
        q->Next();
    else if (move == QLatin1String("Prior"))
        q->Prior();
    else if (move == QLatin1String("First"))
        q->First();
    else if (move == QLatin1String("Last"))
        q->Last();
    else if (move == QLatin1String("RecNo"))
        q->SetRecNo(1);
    else if (move == QLatin1String("Append"))
        DB_TRY(q->Append());
    else
        q->SetSortedFields(QStringLiteral("ledgernumber DESC"));
    QCOMPARE(q->State(), move == QLatin1String("Append") ? TDataSetState::Insert : TDataSetState::Browse);
    QCOMPARE(count(QStringLiteral("itemtype = 'Rešenje'")), 1);
    QCOMPARE(count(), inserting ? 4 : 3);
}

void TestDataSet::browseWritesRefused()
{
    addItems(1);
    auto q = liveQuery(conn(), kAll);
    DB_TRY(q->Open());
    TField &type = q->FieldByName(QStringLiteral("itemtype"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, type.SetAsString(QStringLiteral("Žalba")));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, type.Clear());
    QCOMPARE(q->State(), TDataSetState::Browse);
    QCOMPARE(type.AsString(), QStringLiteral("Dopis"));
    QVERIFY(!q->Modified());
}

void TestDataSet::controlsDisabledNest()
{
    addItems(3);
    auto q = liveQuery(conn(), kAll);
    TDataSource source;
    source.SetDataSet(q.get());
    CountingLink link;
    link.SetDataSource(&source);
    DB_TRY(q->Open());
    QVERIFY(link.changed > 0);

    // A control hands over its pending text even while controls are disabled.
    struct PendingText : TDataLink
    {
        void UpdateData() override { DataSet()->FieldByName(QStringLiteral("itemnumber")).SetAsString(QStringLiteral("77")); }
    } editor;
    editor.SetDataSource(&source);

    link.reset();
    q->DisableControls();
    q->DisableControls();
    q->Next();
    DB_TRY(q->Edit());
    q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Žalba"));
    DB_TRY(q->Post());
    DB_TRY(q->Append());
    q->Cancel();
    q->SetSortedFields(QStringLiteral("ledgernumber DESC"));
    q->Last();
    q->EnableControls();
    QVERIFY(q->ControlsDisabled());
    QCOMPARE(link.total(), 0);
    q->EnableControls();
    QVERIFY(!q->ControlsDisabled());
    QCOMPARE(link.changed, 1);
    QCOMPARE(link.total(), 1);
    QCOMPARE(count(QStringLiteral("itemtype = 'Žalba' AND itemnumber = '77'")), 1);

    // An extra EnableControls does not leave the count below zero.
    q->EnableControls();
    q->DisableControls();
    QVERIFY(q->ControlsDisabled());
    link.reset();
    q->First();
    QCOMPARE(link.total(), 0);
    q->EnableControls();
    QCOMPARE(link.changed, 1);
    editor.SetDataSource(nullptr);
}

void TestDataSet::sorting_data()
{
    QTest::addColumn<QString>("sorted");
    QTest::addColumn<QString>("orderBy");
    QTest::addColumn<bool>("persistent");
    QTest::newRow("newest first") << "ledgerdatetime DESC, ledgeritemid DESC" << "ledgerdatetime DESC, ledgeritemid DESC" << false;
    QTest::newRow("newest first, typed fields") << "ledgerdatetime DESC, ledgeritemid DESC" << "ledgerdatetime DESC, ledgeritemid DESC" << true;
    QTest::newRow("oldest first, ties newest") << "ledgerdatetime, ledgeritemid desc" << "ledgerdatetime, ledgeritemid DESC" << false;
    QTest::newRow("explicit ASC") << "ledgerdatetime ASC , ledgeritemid ASC" << "ledgerdatetime, ledgeritemid" << true;
    QTest::newRow("ties keep opened order") << "ledgerdatetime DESC" << "ledgerdatetime DESC, ledgeritemid" << false;
}

void TestDataSet::sorting()
{
    QFETCH(QString, sorted);
    QFETCH(QString, orderBy);
    QFETCH(bool, persistent);
    const char *times[] = {"2024-03-05 10:00:00", "2024-03-04 09:00:00", "2024-03-05 10:00:00", "2024-03-06 08:00:00",
                           "2024-03-05 10:00:00", "2024-03-05 09:59:59"};
    int n = 0;
    for (const char *t : times)
        addItem(conn(), QStringLiteral("%1/2024").arg(++n), QString::fromLatin1(t), m_user);

    auto q = liveQuery(conn(), QStringLiteral("SELECT ledgeritemid, ledgerdatetime, ledgernumber FROM ledgeritem ORDER BY ledgeritemid"));
    if (persistent) {
        q->AddField(QStringLiteral("ledgeritemid"), TFieldType::Largeint);
        q->AddField(QStringLiteral("ledgerdatetime"), TFieldType::DateTime);
        q->AddField(QStringLiteral("ledgernumber"), TFieldType::String);
    }
    const auto ids = [&] {
        QList<qint64> out;
        for (int r = 0; r < q->RecordCount(); ++r)
            out << q->ValueAt(r, q->FieldByName(QStringLiteral("ledgeritemid"))).toLongLong();
        return out;
    };
    const auto expected = [&] {
        QList<qint64> out;
        auto r = conn().OpenQuery(QStringLiteral("SELECT ledgeritemid FROM ledgeritem ORDER BY ") + orderBy);
        while (r->next())
            out << r->value(0).toLongLong();
        return out;
    };

    // Set on an open set: the current row stays current.
    DB_TRY(q->Open());
    q->SetRecNo(4);
    const qint64 current = q->FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt();
    q->SetSortedFields(sorted);
    QCOMPARE(ids(), expected());
    QCOMPARE(q->FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt(), current);

    // Applied again after a reopen, with rows another desk added meanwhile.
    q->Close();
    addItem(conn(), QStringLiteral("7/2024"), QStringLiteral("2024-03-05 10:00:00"), m_user);
    addItem(conn(), QStringLiteral("8/2024"), QStringLiteral("2023-12-31 23:59:59"), m_user);
    DB_TRY(q->Open());
    QCOMPARE(q->RecordCount(), 8);
    QCOMPARE(ids(), expected());
    QCOMPARE(q->RecNo(), 1);
    QCOMPARE(q->FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt(), expected().first());
}

void TestDataSet::persistentFieldsSurviveFailedOpen()
{
    addItems(1);
    TZQuery q;
    q.SetConnection(&conn());
    q.SetSQL(QStringLiteral("SELECT * FROM nosuchtable"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.Open());
    QVERIFY(!q.Active());
    q.SetSQL(QStringLiteral("SELECT ledgeritemid, ledgernumber FROM ledgeritem"));
    TField &id = q.AddField(QStringLiteral("ledgeritemid"), TFieldType::Largeint);
    TField &num = q.AddField(QStringLiteral("ledgernumber"), TFieldType::String);
    DB_TRY(q.Open());
    q.Close();
    QCOMPARE(q.FieldCount(), 2);
    DB_TRY(q.Open());
    QCOMPARE(num.AsString(), QStringLiteral("1/2024"));
    QVERIFY(id.AsLargeInt() > 0);
}

QTEST_GUILESS_MAIN(TestDataSet)
#include "tst_dataset.moc"
