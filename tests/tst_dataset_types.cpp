// Values of every column kind written through the data set, checked in the
// database with plain SQL (so date conditions compare right and flags are
// 'y'/'n') and read back, with typed fields and with fields made from the result.

#include "DatasetTestUtil.h"

using namespace dst;

Q_DECLARE_METATYPE(TFieldType)

class TestDataSetTypes : public QObject
{
    Q_OBJECT
private slots:
    void init() { DB_SETUP(m_db); }
    void cleanup() { m_db.reset(); }

    void roundTrip_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("column");
        QTest::addColumn<TFieldType>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<QString>("condition");

        const QDateTime lastSecond(QDate(2024, 3, 5), QTime(23, 59, 59));
        const QDateTime midnight(QDate(2024, 3, 6), QTime(0, 0));
        const QString serbian = QStringLiteral("Čačak Ćuprija Đurđevo Šabac Žabalj čćđšž");
        const QString fourByte = QString::fromUtf8("\xF0\x9D\x84\x9E\xF0\x9F\x98\x80 ž");
        const QString hostile = QStringLiteral("O'Neil \\ C:\\a\\'b \"x\"");
        for (bool typed : {true, false}) {
            const char *kind = typed ? "typed" : "from result";
            auto row = [&](const char *name) { return &QTest::addRow("%s, %s", name, kind); };
            *row("64-bit") << typed << "partnerid" << TFieldType::Largeint << QVariant(Q_INT64_C(5000000000))
                           << QVariant(Q_INT64_C(5000000000)) << "partnerid = 5000000000";
            *row("64-bit negative") << typed << "documentid" << TFieldType::Largeint << QVariant(Q_INT64_C(-5000000001))
                                    << QVariant(Q_INT64_C(-5000000001)) << "documentid = -5000000001";
            *row("16-bit max") << typed << "inmailtype" << TFieldType::Smallint << QVariant(32767) << QVariant(32767)
                               << "inmailtype = 32767";
            *row("16-bit min") << typed << "outmailtype" << TFieldType::Smallint << QVariant(-32768) << QVariant(-32768)
                               << "outmailtype = -32768";
            *row("datetime, last second") << typed << "ledgerdatetime" << TFieldType::DateTime << QVariant(lastSecond)
                                          << QVariant(lastSecond)
                                          << "ledgerdatetime = '2024-03-05 23:59:59' AND ledgerdatetime <= '2024-03-05 23:59:59'";
            *row("datetime, midnight") << typed << "ledgerdatetime" << TFieldType::DateTime << QVariant(midnight)
                                       << QVariant(midnight)
                                       << "ledgerdatetime = '2024-03-06 00:00:00' AND NOT ledgerdatetime <= '2024-03-05 23:59:59'";
            *row("date") << typed << "itemdate" << TFieldType::Date << QVariant(QDate(2024, 2, 29)) << QVariant(QDate(2024, 2, 29))
                         << "itemdate = '2024-02-29' AND itemdate < '2024-03-01'";
            *row("flag yes") << typed << "accepted" << TFieldType::Boolean << QVariant(true) << QVariant(true) << "accepted = 'y'";
            *row("flag no") << typed << "archived" << TFieldType::Boolean << QVariant(false) << QVariant(false) << "archived = 'n'";
            *row("serbian letters") << typed << "itemtype" << TFieldType::String << QVariant(serbian) << QVariant(serbian)
                                    << QStringLiteral("itemtype = '%1'").arg(serbian);
            *row("4-byte characters") << typed << "itemnumber" << TFieldType::String << QVariant(fourByte) << QVariant(fourByte)
                                      << "itemnumber IS NOT NULL";
            *row("quotes and backslashes") << typed << "inmailnumber" << TFieldType::String << QVariant(hostile)
                                           << QVariant(hostile) << "inmailnumber = 'O''Neil \\ C:\\a\\''b \"x\"'";
        }
        // Milliseconds (a clock reading) are dropped the same way by both backends and the row store.
        QTest::newRow("datetime with milliseconds") << true << "ledgerdatetime" << TFieldType::DateTime
                                                    << QVariant(lastSecond.addMSecs(999)) << QVariant(lastSecond)
                                                    << "ledgerdatetime = '2024-03-05 23:59:59'";
        // Typed date-times take the text a person types.
        QTest::newRow("datetime typed as text") << true << "ledgerdatetime" << TFieldType::DateTime
                                                << QVariant("05.03.2024. 23:59:59") << QVariant(lastSecond)
                                                << "ledgerdatetime = '2024-03-05 23:59:59'";
        QTest::newRow("date typed as text") << true << "itemdate" << TFieldType::Date << QVariant("29.2.2024")
                                            << QVariant(QDate(2024, 2, 29)) << "itemdate = '2024-02-29'";
        QTest::newRow("flag typed as text") << true << "accepted" << TFieldType::Boolean << QVariant("da") << QVariant(true)
                                            << "accepted = 'y'";
    }

    void roundTrip()
    {
        QFETCH(bool, typed);
        QFETCH(QString, column);
        QFETCH(TFieldType, type);
        QFETCH(QVariant, value);
        QFETCH(QVariant, expected);
        QFETCH(QString, condition);

        const auto holds = [&](qint64 id) { return countItems(conn(), QStringLiteral("ledgeritemid = ? AND ") + condition, {id}) == 1; };
        const auto check = [&](TField &f) {
            switch (expected.typeId()) {
            case QMetaType::QDateTime: QCOMPARE(f.AsDateTime(), expected.toDateTime()); break;
            case QMetaType::QDate: QCOMPARE(f.AsDateTime(), QDateTime(expected.toDate(), QTime(0, 0))); break;
            case QMetaType::Bool: QCOMPARE(f.AsBoolean(), expected.toBool()); break;
            case QMetaType::QString: QCOMPARE(f.AsString(), expected.toString()); break;
            default: QCOMPARE(f.AsLargeInt(), expected.toLongLong()); break;
            }
        };
        const qint64 existing = addItem(conn(), QStringLiteral("1/2024"), QStringLiteral("2024-01-01 08:00:00"));

        // Insert.
        auto q = query(typed, column, type);
        DB_TRY(q->Open());
        DB_TRY(q->Append());
        fillNew(*q, QStringLiteral("2/2024"));
        q->FieldByName(QStringLiteral("direction")).SetAsInteger(-1);
        q->FieldByName(column).SetValue(value);
        check(q->FieldByName(column));
        if (QTest::currentTestFailed())
            return;
        DB_TRY(q->Post());
        const qint64 inserted = q->FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt();
        QVERIFY2(holds(inserted), qPrintable(condition));
        check(q->FieldByName(column));
        if (QTest::currentTestFailed())
            return;

        // Update of the other row.
        q->First();
        QCOMPARE(q->FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt(), existing);
        DB_TRY(q->Edit());
        q->FieldByName(column).SetValue(value);
        DB_TRY(q->Post());
        QVERIFY2(holds(existing), qPrintable(condition));

        // Read back by a fresh query.
        auto again = query(typed, column, type);
        DB_TRY(again->Open());
        QCOMPARE(again->RecordCount(), 2);
        for (again->First(); !again->Eof(); again->Next()) {
            check(again->FieldByName(column));
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(again->FieldByName(QStringLiteral("direction")).AsInteger(), -1);
        QCOMPARE(again->FieldByName(QStringLiteral("ledgerdatetime")).AsDateTime().date(),
                 column == QLatin1String("ledgerdatetime") ? expected.toDateTime().date() : QDate(2024, 3, 9));
    }

    void outOfRangeRefused_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<TFieldType>("type");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("16-bit over") << "inmailtype" << TFieldType::Smallint << QVariant(32768);
        QTest::newRow("16-bit under") << "inmailtype" << TFieldType::Smallint << QVariant(-32769);
        QTest::newRow("16-bit text") << "inmailtype" << TFieldType::Smallint << QVariant("40000");
        QTest::newRow("32-bit over") << "outmailtype" << TFieldType::Integer << QVariant(Q_INT64_C(5000000000));
        QTest::newRow("32-bit text") << "outmailtype" << TFieldType::Integer << QVariant("2147483648");
        QTest::newRow("not a number") << "outmailtype" << TFieldType::Integer << QVariant("12a");
        QTest::newRow("not a date") << "itemdate" << TFieldType::Date << QVariant("31.02.2024");
    }

    void outOfRangeRefused()
    {
        QFETCH(QString, column);
        QFETCH(TFieldType, type);
        QFETCH(QVariant, value);
        const qint64 id = addItem(conn(), QStringLiteral("1/2024"), QStringLiteral("2024-01-01 08:00:00"));
        conn().ExecSQL(QStringLiteral("UPDATE ledgeritem SET %1 = NULL").arg(column));
        auto q = query(true, column, type);
        DB_TRY(q->Open());
        DB_TRY(q->Edit());
        TField &f = q->FieldByName(column);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, f.SetValue(value));
        QVERIFY(f.IsNull());
        QVERIFY(!q->Modified());
        DB_TRY(q->Post());
        QVERIFY(itemColumn(conn(), column, id).isNull());
    }

    void textAsNumber_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("number"); // -1: refused
        QTest::newRow("digits") << " 42 " << 42;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("letters") << "BR-7" << -1;
    }

    // A text that is no number is refused, never read as 0.
    void textAsNumber()
    {
        QFETCH(QString, stored);
        QFETCH(int, number);
        const qint64 id = addItem(conn(), QStringLiteral("1/2024"), QStringLiteral("2024-01-01 08:00:00"));
        conn().ExecSQL(QStringLiteral("UPDATE ledgeritem SET itemnumber = ? WHERE ledgeritemid = ?"), {stored, id});
        auto q = query(true, QStringLiteral("itemnumber"), TFieldType::String);
        DB_TRY(q->Open());
        TField &f = q->FieldByName(QStringLiteral("itemnumber"));
        if (number < 0)
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, f.AsInteger());
        else
            QCOMPARE(f.AsInteger(), number);
    }

    // A date another tool stored in a form that cannot be read costs its cell,
    // not the list; the row can be opened and the value corrected.
    void unreadableStoredValue()
    {
        addItems(conn(), 3);
        const bool sqlite = conn().Backend() == TBackend::SQLite;
        // SQLite keeps any text in a date column; MariaDB's typed column cannot,
        // so there the query hands it over as another tool's view would.
        if (sqlite)
            conn().ExecSQL(QStringLiteral("UPDATE ledgeritem SET ledgerdatetime = 'nije datum' WHERE ledgernumber = '2/2024'"));
        auto q = query(true, QStringLiteral("ledgerdatetime"), TFieldType::DateTime);
        if (!sqlite) {
            q->SetSQL(QStringLiteral("SELECT ledgeritemid, direction, CASE WHEN ledgernumber = '2/2024' THEN 'nije datum' "
                                     "ELSE ledgerdatetime END AS ledgerdatetime, ledgernumber, itemtype, userid FROM ledgeritem "
                                     "ORDER BY ledgeritemid"));
            q->RequestLive = false;
        }
        DB_TRY(q->Open());
        QCOMPARE(q->RecordCount(), 3);
        TField &when = q->FieldByName(QStringLiteral("ledgerdatetime"));
        QStringList shown;
        for (int row = 0; row < 3; ++row)
            shown << q->DisplayTextAt(row, when);
        QCOMPARE(shown, (QStringList{QStringLiteral("01.03.2024 10:00:00"), QStringLiteral("‹nečitljivo: nije datum›"),
                                     QStringLiteral("03.03.2024 10:00:00")}));
        if (!sqlite)
            return;
        q->SetRecNo(2);
        QCOMPARE(when.Text(), QStringLiteral("nije datum"));
        q->Edit();
        when.SetText(QStringLiteral("02.03.2024 11:30:00"));
        DB_TRY(q->Post());
        QCOMPARE(when.DisplayText(), QStringLiteral("02.03.2024 11:30:00"));
        QCOMPARE(itemColumn(conn(), QStringLiteral("ledgerdatetime"), q->FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt())
                     .toString(),
                 QStringLiteral("2024-03-02 11:30:00"));
    }

    void outOfRangeStoredValue_data()
    {
        QTest::addColumn<bool>("bound"); // a bound value: MariaDB's binary protocol, integers as integers
        QTest::newRow("plain query") << false;
        QTest::newRow("with a bound value") << true;
    }

    // A number too big for the field's type costs its cell; it is never cut down.
    void outOfRangeStoredValue()
    {
        QFETCH(bool, bound);
        addItems(conn(), 3);
        auto q = liveQuery(conn(), QStringLiteral("SELECT ledgeritemid, CASE WHEN ledgernumber = '2/2024' THEN 70000 "
                                                  "ELSE -32768 END AS inmailtype FROM ledgeritem WHERE ledgeritemid > %1 "
                                                  "ORDER BY ledgeritemid").arg(bound ? QLatin1String("?") : QLatin1String("0")));
        if (bound)
            q->SetSQL(q->SQL(), {0});
        q->RequestLive = false;
        q->AddField(QStringLiteral("ledgeritemid"), TFieldType::Largeint);
        TField &type = q->AddField(QStringLiteral("inmailtype"), TFieldType::Smallint);
        DB_TRY(q->Open());
        QStringList shown;
        for (int row = 0; row < 3; ++row)
            shown << q->DisplayTextAt(row, type);
        QCOMPARE(shown, (QStringList{QStringLiteral("-32768"), QStringLiteral("‹nečitljivo: 70000›"), QStringLiteral("-32768")}));
    }

private:
    TZConnection &conn() { return m_db->Connection(); }
    std::unique_ptr<TZQuery> query(bool typed, const QString &column, TFieldType type)
    {
        auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem ORDER BY ledgeritemid"));
        if (typed) {
            q->AddField(QStringLiteral("ledgeritemid"), TFieldType::Largeint);
            q->AddField(QStringLiteral("direction"), TFieldType::Smallint);
            q->AddField(QStringLiteral("ledgerdatetime"), TFieldType::DateTime);
            q->AddField(QStringLiteral("ledgernumber"), TFieldType::String);
            q->AddField(QStringLiteral("itemtype"), TFieldType::String);
            q->AddField(QStringLiteral("userid"), TFieldType::Largeint);
            if (!q->FindField(column))
                q->AddField(column, type);
        }
        return q;
    }
    std::unique_ptr<TestDb> m_db;
};

QTEST_GUILESS_MAIN(TestDataSetTypes)
#include "tst_dataset_types.moc"
