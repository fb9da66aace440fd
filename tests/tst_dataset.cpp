// The data set's state machine on a live query: navigation, editing, refusals
// thrown by events, bound controls and sorting.

#include "DatasetTestUtil.h"
#include "TestRows.h"

#include <QHash>

using namespace dst;

namespace {
const QString kAll = QStringLiteral("SELECT * FROM ledgeritem ORDER BY ledgeritemid");
}

class TestDataSet : public QObject
{
    Q_OBJECT
private slots:
    void init() { DB_SETUP(m_db); addUser(conn(), QStringLiteral("Ana"), QStringLiteral("Anić")); }
    void cleanup() { m_db.reset(); }

    void navigation_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("empty") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("three") << 3;
    }

    void navigation()
    {
        QFETCH(int, rows);
        addItems(conn(), rows);
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
        for (; !q->Eof(); q->Next()) {
            seen << numberOf(*q);
            QCOMPARE(q->RecNo(), seen.size());
        }
        QCOMPARE(seen, expected);
        QCOMPARE(q->RecNo(), rows);
        QCOMPARE(q->Bof(), rows <= 1);
        QStringList back;
        for (q->Last(); !q->Bof(); q->Prior())
            back.prepend(numberOf(*q));
        QCOMPARE(back, expected);

        // Edit on an empty set starts a new row.
        DB_TRY(q->Edit());
        QCOMPARE(q->State(), rows ? TDataSetState::Edit : TDataSetState::Insert);
        QVERIFY(!q->IsEmpty());
        if (!rows)
            fillNew(*q, QStringLiteral("1/2024"));
        DB_TRY(q->Post());
        QCOMPARE(countItems(conn()), qMax(rows, 1));

        q->Close();
        QVERIFY(!q->Active() && q->Eof() && q->Bof());
        QCOMPARE(q->RecordCount(), 0);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Next());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Append());
    }

    void refusedPostKeepsBuffer_data()
    {
        QTest::addColumn<bool>("inserting");
        QTest::addColumn<bool>("byRequired");
        QTest::addColumn<QString>("number"); // what the required field holds
        QTest::newRow("edit, BeforePost") << false << false << QString();
        QTest::newRow("insert, BeforePost") << true << false << QString();
        QTest::newRow("edit, required field") << false << true << QString();
        QTest::newRow("insert, required field") << true << true << QString();
        QTest::newRow("edit, required field emptied") << false << true << "";
    }

    void refusedPostKeepsBuffer()
    {
        QFETCH(bool, inserting);
        QFETCH(bool, byRequired);
        QFETCH(QString, number);
        addItems(conn(), 2);
        auto q = liveQuery(conn(), kAll);
        bool refuse = true;
        int afterPost = 0;
        q->AfterPost = [&](TDataSet &) { ++afterPost; };
        DB_TRY(q->Open());
        TField &itemNumber = q->FieldByName(QStringLiteral("itemnumber"));
        if (byRequired) {
            itemNumber.Required = true;
            itemNumber.SetDisplayLabel(QStringLiteral("Broj predmeta"));
        } else {
            q->BeforePost = [&](TDataSet &) { if (refuse) throw Refused(); };
        }
        startChange(*q, inserting, QStringLiteral("Žalba"));
        if (!number.isNull())
            itemNumber.SetAsString(number);
        try {
            q->Post();
            QFAIL("the post was not refused");
        } catch (const KException &e) {
            if (byRequired)
                QVERIFY2(e.message().contains(QLatin1String("Broj predmeta")), qPrintable(e.message()));
        }
        QCOMPARE(q->State(), inserting ? TDataSetState::Insert : TDataSetState::Edit);
        QCOMPARE(q->FieldByName(QStringLiteral("itemtype")).AsString(), QStringLiteral("Žalba"));
        QCOMPARE(q->RecordCount(), inserting ? 3 : 2);
        QCOMPARE(afterPost, 0);
        QCOMPARE(countItems(conn(), QStringLiteral("itemtype <> 'Dopis'")), 0);

        refuse = false;
        itemNumber.SetAsString(QStringLiteral("55"));
        DB_TRY(q->Post());
        QCOMPARE(q->State(), TDataSetState::Browse);
        QCOMPARE(afterPost, 1);
        QCOMPARE(scalar(conn(), QStringLiteral("SELECT ledgernumber FROM ledgeritem WHERE itemtype = 'Žalba' AND itemnumber = '55'")).toString(),
                 inserting ? QStringLiteral("9/2024") : QStringLiteral("2/2024"));
    }

    void refusedNewRecordAbandonsRow_data() { flagRows("append", {{"append", true}, {"insert", false}}); }

    void refusedNewRecordAbandonsRow()
    {
        QFETCH(bool, append);
        auto q = threeItems();
        DB_TRY(q->Open());
        q->Next();
        q->OnNewRecord = [](TDataSet &) { throw Refused(); };
        QVERIFY_THROWS_EXCEPTION(Refused, append ? q->Append() : q->Insert());
        QCOMPARE(q->State(), TDataSetState::Browse);
        QCOMPARE(q->RecordCount(), 3);
        if (!append)
            QCOMPARE(numberOf(*q), QStringLiteral("2/2024"));
        for (int r = 0; r < 3; ++r)
            QCOMPARE(q->DisplayTextAt(r, q->FieldByName(QStringLiteral("ledgernumber"))), QStringLiteral("%1/2024").arg(r + 1));

        q->OnNewRecord = nullptr;
        DB_TRY(q->Append());
        fillNew(*q, QStringLiteral("4/2024"));
        DB_TRY(q->Post());
        QCOMPARE(q->RecordCount(), 4);
        QCOMPARE(countItems(conn()), 4);
    }

    void deleting()
    {
        auto q = threeItems();
        QStringList scrolledTo;
        bool refuse = true;
        q->BeforeDelete = [&](TDataSet &) { if (refuse) throw Refused(); };
        q->AfterScroll = [&](TDataSet &ds) { scrolledTo << numberOf(ds); };
        DB_TRY(q->Open());
        q->Next();
        QVERIFY_THROWS_EXCEPTION(Refused, q->Delete());
        QCOMPARE(q->RecordCount(), 3);
        QCOMPARE(numberOf(*q), QStringLiteral("2/2024"));
        QCOMPARE(countItems(conn()), 3);

        refuse = false;
        scrolledTo.clear();
        DB_TRY(q->Delete());
        QCOMPARE(q->RecordCount(), 2);
        QCOMPARE(numberOf(*q), QStringLiteral("3/2024"));
        QCOMPARE(countItems(conn(), QStringLiteral("ledgernumber = '2/2024'")), 0);
        // Handlers that follow the current row (details, captions) hear of the move.
        QCOMPARE(scrolledTo, QStringList{QStringLiteral("3/2024")});
        DB_TRY(q->Delete());
        QCOMPARE(numberOf(*q), QStringLiteral("1/2024"));
        DB_TRY(q->Delete());
        QVERIFY(q->IsEmpty() && q->Eof() && q->Bof());
        QCOMPARE(countItems(conn()), 0);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Delete());
    }

    void navigationPostsPendingEdit_data()
    {
        QTest::addColumn<QString>("move");
        QTest::addColumn<bool>("inserting");
        for (const char *move : {"Next", "Prior", "First", "Last", "RecNo", "Append", "Sort"}) {
            QTest::addRow("edit, %s", move) << move << false;
            QTest::addRow("insert, %s", move) << move << true;
        }
    }

    void navigationPostsPendingEdit()
    {
        QFETCH(QString, move);
        QFETCH(bool, inserting);
        auto q = threeItems();
        DB_TRY(q->Open());
        startChange(*q, inserting, QStringLiteral("Rešenje"), false);
        const QHash<QString, std::function<void()>> moves = {
            {QStringLiteral("Next"), [&] { q->Next(); }}, {QStringLiteral("Prior"), [&] { q->Prior(); }},
            {QStringLiteral("First"), [&] { q->First(); }}, {QStringLiteral("Last"), [&] { q->Last(); }},
            {QStringLiteral("RecNo"), [&] { q->SetRecNo(1); }}, {QStringLiteral("Append"), [&] { q->Append(); }},
            {QStringLiteral("Sort"), [&] { q->SetSortedFields(QStringLiteral("ledgernumber DESC")); }}};
        DB_TRY(moves.value(move)());
        QCOMPARE(q->State(), move == QLatin1String("Append") ? TDataSetState::Insert : TDataSetState::Browse);
        QCOMPARE(countItems(conn(), QStringLiteral("itemtype = 'Rešenje'")), 1);
        QCOMPARE(countItems(conn()), inserting ? 4 : 3);
    }

    void controlsDisabledNest()
    {
        auto q = threeItems();
        TDataSource source;
        source.SetDataSet(q.get());
        TracingLink link;
        link.SetDataSource(&source);
        // A control hands over its pending text even while controls are disabled.
        struct PendingText : TDataLink
        {
            void UpdateData() override { DataSet()->FieldByName(QStringLiteral("itemnumber")).SetAsString(QStringLiteral("77")); }
        } editor;
        editor.SetDataSource(&source);
        DB_TRY(q->Open());

        link.take();
        q->DisableControls();
        q->DisableControls();
        q->Next();
        q->Edit();
        q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Žalba"));
        DB_TRY(q->Post());
        q->Append();
        q->Cancel();
        q->SetSortedFields(QStringLiteral("ledgernumber DESC"));
        q->EnableControls();
        QVERIFY(q->ControlsDisabled());
        QCOMPARE(link.trace, QStringList());
        q->EnableControls();
        QVERIFY(!q->ControlsDisabled());
        QCOMPARE(link.take(), QStringList{QStringLiteral("link:DataSetChanged")});
        QCOMPARE(countItems(conn(), QStringLiteral("itemtype = 'Žalba' AND itemnumber = '77'")), 1);

        // One EnableControls too many does not leave the count below zero.
        q->EnableControls();
        q->DisableControls();
        QVERIFY(q->ControlsDisabled());
        q->Last();
        QCOMPARE(link.trace, QStringList());
        editor.SetDataSource(nullptr);
    }

    void sorting_data()
    {
        QTest::addColumn<QString>("sorted");
        QTest::addColumn<QString>("orderBy");
        QTest::addColumn<bool>("typed");
        QTest::newRow("newest first") << "ledgerdatetime DESC, ledgeritemid DESC" << "ledgerdatetime DESC, ledgeritemid DESC" << false;
        QTest::newRow("newest first, typed") << "ledgerdatetime DESC, ledgeritemid DESC" << "ledgerdatetime DESC, ledgeritemid DESC" << true;
        QTest::newRow("oldest first, ties newest") << "ledgerdatetime, ledgeritemid desc" << "ledgerdatetime, ledgeritemid DESC" << false;
        QTest::newRow("explicit ASC") << "ledgerdatetime ASC , ledgeritemid ASC" << "ledgerdatetime, ledgeritemid" << true;
        QTest::newRow("ties keep opened order") << "ledgerdatetime DESC" << "ledgerdatetime DESC, ledgeritemid" << false;
    }

    void sorting()
    {
        QFETCH(QString, sorted);
        QFETCH(QString, orderBy);
        QFETCH(bool, typed);
        int n = 0;
        for (const char *t : {"2024-03-05 10:00:00", "2024-03-04 09:00:00", "2024-03-05 10:00:00", "2024-03-06 08:00:00",
                              "2024-03-05 10:00:00", "2024-03-05 09:59:59"})
            addItem(conn(), QStringLiteral("%1/2024").arg(++n), QString::fromLatin1(t));

        auto q = liveQuery(conn(), QStringLiteral("SELECT ledgeritemid, ledgerdatetime, ledgernumber FROM ledgeritem ORDER BY ledgeritemid"));
        if (typed) {
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
        const auto currentId = [&] { return q->FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt(); };

        // Set on an open set: the current row stays current.
        DB_TRY(q->Open());
        q->SetRecNo(4);
        const qint64 current = currentId();
        q->SetSortedFields(sorted);
        QCOMPARE(ids(), expected());
        QCOMPARE(currentId(), current);

        // Applied again after a reopen, with rows another desk added meanwhile.
        q->Close();
        addItem(conn(), QStringLiteral("7/2024"), QStringLiteral("2024-03-05 10:00:00"));
        addItem(conn(), QStringLiteral("8/2024"), QStringLiteral("2023-12-31 23:59:59"));
        DB_TRY(q->Open());
        QCOMPARE(ids(), expected());
        QCOMPARE(currentId(), expected().first());
    }

    // A sort set before the open: SQLite sorts numbers and dates in the
    // SELECT when the key ends ties, MariaDB in memory; the order is the same.
    void sortInSelect_data()
    {
        QTest::addColumn<QString>("sorted");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("order"); // what the SELECT gets on SQLite, or nothing
        QTest::addColumn<bool>("unreadable"); // a stored date that is none (SQLite only)
        const QString some = QStringLiteral(" WHERE l.ledgeritemid > 0");
        const QString newest = QStringLiteral("`l`.`ledgerdatetime` DESC, `l`.`ledgeritemid` DESC");
        QTest::newRow("newest first") << "ledgerdatetime DESC, ledgeritemid DESC" << QStringList{"4", "5", "3", "1", "2"} << some
                                      << newest << false;
        QTest::newRow("oldest first") << "ledgerdatetime, ledgeritemid" << QStringList{"2", "1", "3", "5", "4"} << some
                                      << "`l`.`ledgerdatetime`, `l`.`ledgeritemid`" << false;
        QTest::newRow("nulls first") << "itemdate, ledgeritemid DESC" << QStringList{"4", "1", "3", "5", "2"} << some
                                     << "`l`.`itemdate`, `l`.`ledgeritemid` DESC" << false;
        QTest::newRow("nulls last descending") << "partnerid DESC, ledgerdatetime DESC, ledgeritemid"
                                               << QStringList{"1", "4", "3", "5", "2"} << some
                                               << "`l`.`partnerid` DESC, `l`.`ledgerdatetime` DESC, `l`.`ledgeritemid`" << false;
        QTest::newRow("ties without the key") << "ledgerdatetime DESC" << QStringList{"4", "1", "3", "5", "2"} << some << "" << false;
        QTest::newRow("text") << "ledgernumber DESC, ledgeritemid" << QStringList{"5", "4", "3", "2", "1"} << some << "" << false;
        QTest::newRow("unreadable date last") << "ledgerdatetime DESC, ledgeritemid DESC"
                                              << QStringList{"4", "5", "3", "1", "2", "6"} << some << newest << true;
        // A whole table is read front to back and sorted here.
        QTest::newRow("whole table, newest first") << "ledgerdatetime DESC, ledgeritemid DESC"
                                                   << QStringList{"4", "5", "3", "1", "2"} << "" << "`l`.`ledgeritemid`" << false;
        QTest::newRow("whole table, nulls last descending") << "partnerid DESC, ledgerdatetime DESC, ledgeritemid"
                                                            << QStringList{"1", "4", "3", "5", "2"} << ""
                                                            << "`l`.`ledgeritemid`" << false;
        QTest::newRow("whole table, unsorted") << "" << QStringList{"1", "2", "3", "4", "5"} << "" << "`l`.`ledgeritemid`"
                                               << false;
    }

    void sortInSelect()
    {
        QFETCH(QString, sorted);
        QFETCH(QStringList, expected);
        QFETCH(QString, where);
        QFETCH(QString, order);
        QFETCH(bool, unreadable);
        const bool sqlite = conn().Backend() == TBackend::SQLite;
        if (unreadable && !sqlite)
            QSKIP("MariaDB keeps no text in a date-time column");
        const char *rows[][4] = {{"1", "2024-03-05 10:00:00", nullptr, "2"}, {"2", "2024-03-04 09:00:00", "2024-03-01", nullptr},
                                 {"3", "2024-03-05 10:00:00", "2024-02-01", "1"}, {"4", "2024-03-06 08:00:00", nullptr, "1"},
                                 {"5", "2024-03-05 10:00:00", "2024-03-01", nullptr}, {"6", "nije datum", nullptr, nullptr}};
        for (int i = 0; i < (unreadable ? 6 : 5); ++i) {
            const qint64 id = addItem(conn(), QString::fromLatin1(rows[i][0]), QString::fromLatin1(rows[i][1]));
            conn().ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemdate = ?, partnerid = ? WHERE ledgeritemid = ?"),
                           {rows[i][2] ? QVariant(QString::fromLatin1(rows[i][2])) : QVariant(), rows[i][3] ? QVariant(rows[i][3]) : QVariant(), id});
        }
        auto q = liveQuery(conn(), QStringLiteral("SELECT ledgeritemid, ledgerdatetime, ledgernumber, itemdate, partnerid "
                                                  "FROM ledgeritem AS l") + where);
        q->AddField(QStringLiteral("ledgeritemid"), TFieldType::Largeint);
        q->AddField(QStringLiteral("ledgerdatetime"), TFieldType::DateTime);
        q->AddField(QStringLiteral("ledgernumber"), TFieldType::String);
        q->AddField(QStringLiteral("itemdate"), TFieldType::Date);
        q->AddField(QStringLiteral("partnerid"), TFieldType::Largeint);
        q->SetSortedFields(sorted);
        DB_TRY(q->Open());
        const auto numbers = [&] {
            QStringList out;
            for (int r = 0; r < q->RecordCount(); ++r)
                out << q->ValueAt(r, q->FieldByName(QStringLiteral("ledgernumber"))).toString();
            return out;
        };
        QCOMPARE(numbers(), expected);
        q->SetSortedFields(sorted); // as the list sets it again after the open
        QCOMPARE(numbers(), expected);
        const qsizetype at = q->OpenedSQL().indexOf(QLatin1String("\nORDER BY "));
        QCOMPARE(at < 0 ? QString() : q->OpenedSQL().mid(at + 10), sqlite ? order : QString());
    }

    void failedOpenLeavesNoTrace()
    {
        addItems(conn(), 1);
        TZQuery q;
        q.SetConnection(&conn());
        q.SetSQL(QStringLiteral("SELECT * FROM nosuchtable"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.Open());
        QVERIFY(!q.Active());

        // Fields added after that are persistent: a close keeps them.
        q.SetSQL(QStringLiteral("SELECT ledgeritemid, ledgernumber FROM ledgeritem"));
        TField &number = q.AddField(QStringLiteral("ledgernumber"), TFieldType::String);
        q.AddField(QStringLiteral("ledgeritemid"), TFieldType::Largeint);
        DB_TRY(q.Open());
        q.Close();
        QCOMPARE(q.FieldCount(), 2);

        // A sort naming no field fails the open as a whole.
        q.SetSortedFields(QStringLiteral("nosuchfield DESC"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.Open());
        QVERIFY(!q.Active());
        q.SetSortedFields(QStringLiteral("ledgernumber"));
        DB_TRY(q.Open());
        QCOMPARE(number.AsString(), QStringLiteral("1/2024"));
    }

    void cancelledInsertReturnsToRow_data()
    {
        QTest::addColumn<bool>("append");
        QTest::addColumn<int>("from");
        QTest::newRow("append from the first row") << true << 1;
        QTest::newRow("append from the middle") << true << 2;
        QTest::newRow("insert before the middle") << false << 2;
        QTest::newRow("insert before the last") << false << 3;
    }

    void cancelledInsertReturnsToRow()
    {
        QFETCH(bool, append);
        QFETCH(int, from);
        auto q = threeItems();
        DB_TRY(q->Open());
        q->SetRecNo(from);
        const QString before = numberOf(*q);
        append ? q->Append() : q->Insert();
        q->Cancel();
        QCOMPARE(q->RecordCount(), 3);
        QCOMPARE(q->RecNo(), from);
        QCOMPARE(numberOf(*q), before);
    }

    void readOnlyRefusesChanges()
    {
        addItems(conn(), 1);
        TZReadOnlyQuery q(&conn(), kAll);
        DB_TRY(q.Open());
        QVERIFY(!q.CanModify());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.Edit());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.Append());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.Delete());
        QCOMPARE(q.State(), TDataSetState::Browse);
        QCOMPARE(q.RecordCount(), 1);
        QCOMPARE(countItems(conn()), 1);
    }

    void eventSequence_data()
    {
        QTest::addColumn<QStringList>("setup"); // not traced
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("rows"); // record count afterwards
        const QStringList post{"BeforePost", "link:EditingChanged", "link:RecordChanged", "AfterPost"};
        const QStringList newRow{"BeforeInsert", "BeforeScroll", "link:RowInserted", "link:EditingChanged", "link:Scrolled",
                                 "OnNewRecord", "AfterInsert", "AfterScroll"};
        const QStringList cancelInsert{"BeforeCancel", "link:RowRemoved", "link:EditingChanged", "link:Scrolled",
                                       "AfterCancel", "AfterScroll"};
        const QStringList scroll{"BeforeScroll", "link:Scrolled", "AfterScroll"};
        QTest::newRow("open") << QStringList{"Close"} << "Open"
                              << QStringList{"BeforeOpen", "link:DataSetChanged", "AfterOpen"} << 3;
        QTest::newRow("close") << QStringList{} << "Close"
                               << QStringList{"BeforeClose", "link:DataSetChanged", "AfterClose"} << 0;
        QTest::newRow("append") << QStringList{} << "Append" << newRow << 4;
        QTest::newRow("insert") << QStringList{} << "Insert" << newRow << 4;
        QTest::newRow("edit") << QStringList{} << "Edit" << QStringList{"BeforeEdit", "link:EditingChanged", "AfterEdit"} << 3;
        QTest::newRow("post") << QStringList{"Edit", "Set"} << "Post" << post << 3;
        QTest::newRow("cancel an edit") << QStringList{"Edit", "Set"} << "Cancel"
                                        << QStringList{"BeforeCancel", "link:EditingChanged", "link:RecordChanged",
                                                       "AfterCancel", "AfterScroll"}
                                        << 3;
        QTest::newRow("cancel an insert") << QStringList{"Append"} << "Cancel" << cancelInsert << 3;
        QTest::newRow("delete") << QStringList{} << "Delete"
                                << QStringList{"BeforeDelete", "BeforeScroll", "link:RowRemoved", "link:Scrolled",
                                               "AfterDelete", "AfterScroll"}
                                << 2;
        QTest::newRow("next") << QStringList{} << "Next" << scroll << 3;
        QTest::newRow("next on the last row") << QStringList{"Last"} << "Next" << QStringList{} << 3;
        QTest::newRow("scroll from an untouched append") << QStringList{"Append"} << "First" << cancelInsert << 3;
        QTest::newRow("scroll from an untouched edit") << QStringList{"Edit"} << "Next"
                                                       << QStringList{"BeforeCancel", "link:EditingChanged",
                                                                      "link:RecordChanged", "AfterCancel", "AfterScroll"}
                                                              + scroll
                                                       << 3;
        QTest::newRow("scroll from a modified edit") << QStringList{"Edit", "Set"} << "Next" << post + scroll << 3;
    }

    void eventSequence()
    {
        QFETCH(QStringList, setup);
        QFETCH(QString, operation);
        QFETCH(QStringList, expected);
        QFETCH(int, rows);
        auto q = threeItems();
        TDataSource source;
        source.SetDataSet(q.get());
        TracingLink link;
        link.SetDataSource(&source);
        DB_TRY(q->Open());
        const QHash<QString, std::function<void()>> run = {
            {QStringLiteral("Open"), [&] { q->Open(); }},     {QStringLiteral("Close"), [&] { q->Close(); }},
            {QStringLiteral("Append"), [&] { q->Append(); }}, {QStringLiteral("Insert"), [&] { q->Insert(); }},
            {QStringLiteral("Edit"), [&] { q->Edit(); }},     {QStringLiteral("Post"), [&] { q->Post(); }},
            {QStringLiteral("Cancel"), [&] { q->Cancel(); }}, {QStringLiteral("Delete"), [&] { q->Delete(); }},
            {QStringLiteral("Next"), [&] { q->Next(); }},     {QStringLiteral("First"), [&] { q->First(); }},
            {QStringLiteral("Last"), [&] { q->Last(); }},
            {QStringLiteral("Set"), [&] { q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Žalba")); }}};
        for (const QString &step : setup)
            DB_TRY(run.value(step)());
        link.hookEvents(*q);
        link.take();
        DB_TRY(run.value(operation)());
        QCOMPARE(link.take(), expected);
        QCOMPARE(q->RecordCount(), rows);
        QCOMPARE(countItems(conn()), rows == 2 ? 2 : 3);
    }

    void postOutsideEditRaises()
    {
        addItems(conn(), 1);
        auto q = liveQuery(conn(), kAll);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Post());
        DB_TRY(q->Open());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Post());
        QCOMPARE(q->State(), TDataSetState::Browse);
    }

private:
    TZConnection &conn() { return m_db->Connection(); }
    // Items 1/2024 .. 3/2024 behind a live query of them all, not yet open.
    std::unique_ptr<TZQuery> threeItems()
    {
        addItems(conn(), 3);
        return liveQuery(conn(), kAll);
    }
    std::unique_ptr<TestDb> m_db;
};

QTEST_GUILESS_MAIN(TestDataSet)
#include "tst_dataset.moc"
