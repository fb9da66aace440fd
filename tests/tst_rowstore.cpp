// The row store keeps every value it is given, at the edges of each kind,
// whatever width or sharing it chose; the data set sorts by it in the
// Serbian order.

#include "KException.h"
#include "MemDataSet.h"
#include "RowStore.h"
#include "InterfaceScript.h"

#include <QtTest>
#include <bit>

Q_DECLARE_METATYPE(TFieldType)

namespace {
const QVariant Null;
QVariant big(qint64 v) { return QVariant::fromValue<qint64>(v); }
QVariant at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s)); }
} // namespace

class TestRowStore : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<TFieldType>("type");
        QTest::addColumn<QVariantList>("values");
        using T = TFieldType;
        QTest::newRow("ids above 2^31 widen") << T::Largeint << QVariantList{big(1), big(300), big(3000000000), big(-5), Null};
        QTest::newRow("first id above 2^31") << T::Largeint << QVariantList{big(5000000000), big(7), Null, big(5000000001)};
        QTest::newRow("64-bit limits") << T::Largeint << QVariantList{big(INT64_MAX), big(INT64_MIN), big(0), Null, big(INT64_MIN + 1)};
        QTest::newRow("64-bit lowest first") << T::Largeint << QVariantList{big(INT64_MIN), Null, big(INT64_MAX)};
        QTest::newRow("32-bit limits") << T::Integer << QVariantList{QVariant(INT32_MIN), QVariant(INT32_MAX), Null, QVariant(0)};
        QTest::newRow("16-bit limits") << T::Smallint << QVariantList{QVariant(-32768), QVariant(32767), Null, QVariant(-1)};
        QTest::newRow("8-bit edges") << T::Smallint << QVariantList{QVariant(-128), QVariant(127), QVariant(-129), QVariant(128), Null};
        QTest::newRow("date-times, centuries apart")
            << T::DateTime << QVariantList{at(2024, 3, 5, 23, 59, 59), Null, at(1900, 1, 1), at(2199, 12, 31, 23, 59, 59)};
        QTest::newRow("dates") << T::Date << QVariantList{QDate(2024, 2, 29), QDate(1, 1, 1), Null, QDate(9999, 12, 31)};
        QTest::newRow("doubles") << T::Float << QVariantList{0.1, -0.0, 1e300, Null, -2.5, 0.0};
        QTest::newRow("flags") << T::Boolean << QVariantList{true, false, Null, true};
        QTest::newRow("texts, empty is no null")
            << T::String << QVariantList{QStringLiteral("Čačak, Đurđevo, Šabac, Žabalj"), QString(""), Null, QStringLiteral("ljnjdž")};
    }

    // Values set into a column after many rows without one, then the rows
    // changed once the load is over: every value reads back as set.
    void roundTrip()
    {
        QFETCH(TFieldType, type);
        QFETCH(QVariantList, values);
        TRowStore store;
        store.Reset({TFieldType::Integer, type});
        const uint32_t empty = 5000; // more than a chunk, all null
        for (uint32_t r = 0; r < empty; ++r)
            store.SetInt(store.AddRow(), 0, r);
        for (const QVariant &v : values)
            store.Set(store.AddRow(), 1, v);
        const auto check = [&](const QVariantList &expected) {
            for (int i = 0; i < int(expected.size()); ++i) {
                const QVariant got = store.Get(empty + uint32_t(i), 1);
                QCOMPARE(store.IsNull(empty + uint32_t(i), 1), expected[i].isNull());
                if (type == TFieldType::Float && !got.isNull())
                    QCOMPARE(std::bit_cast<quint64>(got.toDouble()), std::bit_cast<quint64>(expected[i].toDouble()));
                else
                    QCOMPARE(got, expected[i]);
            }
        };
        check(values);
        QVERIFY(store.IsNull(0, 1) && store.IsNull(empty - 1, 1));
        store.Squeeze();
        QVariantList reversed(values.rbegin(), values.rend());
        for (int i = 0; i < int(reversed.size()); ++i)
            store.Set(empty + uint32_t(i), 1, reversed[i]);
        check(reversed);
        QCOMPARE(store.Get(empty - 1, 0), QVariant(int(empty - 1)));
    }

    // Texts that repeat share, distinct ones stop sharing: both read back.
    void sharedAndDistinctTexts()
    {
        TRowStore store;
        store.Reset({TFieldType::String, TFieldType::String});
        const int rows = 40000;
        for (int i = 0; i < rows; ++i) {
            const uint32_t r = store.AddRow();
            store.SetText(r, 0, i % 7 ? "Šabac" : "Žabalj", i % 7 ? 6 : 7);
            const QByteArray own = QByteArray::number(i) + "/26";
            store.SetText(r, 1, own.constData(), size_t(own.size()));
        }
        store.Squeeze();
        store.Set(14, 0, QStringLiteral("Đurđevo"));
        QCOMPARE(store.Get(14, 0).toString(), QStringLiteral("Đurđevo"));
        QCOMPARE(store.Get(13, 0).toString(), QStringLiteral("Šabac"));
        QCOMPARE(store.Get(39997, 0).toString(), QStringLiteral("Šabac"));
        QCOMPARE(store.Get(39998, 1).toString(), QStringLiteral("39998/26"));
        const std::vector<uint32_t> ranks = store.TextRanks(0);
        QCOMPARE(ranks[14], 1u); // Đurđevo, Šabac, Žabalj
        QCOMPARE(ranks[13], 2u);
        QCOMPARE(ranks[7], 3u);
        QCOMPARE(store.TextRanks(1)[10], 11u); // numbers as numbers: 0 1 2 ... 10
    }

    // The longest text fits a block with its length; a longer one is refused, not cut.
    void longestText()
    {
        TRowStore store;
        store.Reset({TFieldType::String});
        const QByteArray longest(qsizetype(TTextPool::MaxLength), 'z');
        store.SetText(store.AddRow(), 0, "Đ", 2);
        store.SetText(store.AddRow(), 0, longest.constData(), size_t(longest.size()));
        QCOMPARE(store.Get(1, 0).toString().size(), longest.size());
        QCOMPARE(store.Get(0, 0).toString(), QStringLiteral("Đ"));
        const QByteArray longer = longest + 'z';
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, store.SetText(store.AddRow(), 0, longer.constData(), size_t(longer.size())));
    }

    void serbianSort_data()
    {
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("ascending") << "name" << QStringList{"", "", "Cvijić", "Čačak", "Ćuprija", "Dušan", "Džakula", "Đurđevo",
                                                             "Lazar", "Ljubljana", "Nikola", "Njegoš", "Sava", "Šabac", "Zemun", "Žabalj"};
        QTest::newRow("descending, then id") << "name DESC, id" << QStringList{"Žabalj", "Zemun", "Šabac", "Sava", "Njegoš", "Nikola",
            "Ljubljana", "Lazar", "Đurđevo", "Džakula", "Dušan", "Ćuprija", "Čačak", "Cvijić", "", ""};
    }

    // Empty text and null show alike: the null sorts first, the id says which is which.
    void serbianSort()
    {
        QFETCH(QString, sort);
        QFETCH(QStringList, expected);
        MemDataSet data;
        data.AddField(QStringLiteral("id"), TFieldType::Largeint);
        data.AddField(QStringLiteral("name"), TFieldType::String);
        const QStringList names{"Žabalj", "Šabac", "Njegoš", "Ljubljana", "Lazar", "Đurđevo", "Džakula", "Dušan",
                                "Ćuprija", "Čačak", "Cvijić", "Zemun", "Sava", "Nikola", ""};
        for (int i = 0; i < int(names.size()); ++i)
            data.Rows.push_back({big(i + 1), names[i]});
        data.Rows.push_back({big(3000000000), Null});
        data.Open();
        data.SetSortedFields(sort);
        QStringList shown;
        for (data.First(); !data.Eof(); data.Next())
            shown << data.FieldByName(QStringLiteral("name")).AsString();
        QCOMPARE(shown, expected);
        data.First();
        QCOMPARE(data.FieldByName(QStringLiteral("id")).AsLargeInt(), sort == QLatin1String("name") ? 3000000000 : 1);
        const qint64 current = data.FieldByName(QStringLiteral("id")).AsLargeInt();
        data.SetSortedFields(QStringLiteral("id DESC"));
        QCOMPARE(data.FieldByName(QStringLiteral("id")).AsLargeInt(), current); // still on the same row
        data.First();
        QCOMPARE(data.FieldByName(QStringLiteral("id")).AsLargeInt(), 3000000000);
    }

    // Texts of both scripts sort together, by the alphabet of the interface's script.
    void sortInEachScript_data()
    {
        QTest::addColumn<TScript>("script");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("latin") << TScript::Latin << QStringList{"Čačak", "Ћуприја", "Džep",   "Đorđe",  "Лозница",
                                                                "Ljig",  "Nikola",  "Његош",  "Zemun",  "Жабари"};
        QTest::newRow("cyrillic") << TScript::Cyrillic << QStringList{"Đorđe", "Жабари", "Zemun", "Лозница", "Ljig",
                                                                      "Nikola", "Његош", "Ћуприја", "Čačak", "Džep"};
    }

    void sortInEachScript()
    {
        QFETCH(TScript, script);
        QFETCH(QStringList, expected);
        MemDataSet data;
        data.AddField(QStringLiteral("name"), TFieldType::String);
        for (const QString &name : QStringList(expected.crbegin(), expected.crend()))
            data.Rows.push_back({name});
        data.Open();
        SetInterfaceScript(script);
        data.SetSortedFields(QStringLiteral("name"));
        SetInterfaceScript(TScript::Latin);
        QStringList shown;
        for (data.First(); !data.Eof(); data.Next())
            shown << data.FieldByName(QStringLiteral("name")).AsString();
        QCOMPARE(shown, expected);
    }
};

QTEST_GUILESS_MAIN(TestRowStore)
#include "tst_rowstore.moc"
