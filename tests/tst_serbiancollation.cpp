// The Serbian Latin order: its compare functions and its sort key agree.

#include "SerbianCollation.h"

#include <QtTest>

namespace {
int sign(int v) { return (v > 0) - (v < 0); }
} // namespace

class TestSerbianCollation : public QObject
{
    Q_OBJECT
private slots:
    void order_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("c before č") << "cz" << "ča" << -1;
        QTest::newRow("č before ć") << "čz" << "ća" << -1;
        QTest::newRow("ć before d") << "ćz" << "Da" << -1;
        QTest::newRow("d before đ") << "dz" << "đa" << -1;
        QTest::newRow("đ before e") << "Đz" << "ea" << -1;
        QTest::newRow("Š before t") << "Šz" << "ta" << -1;
        QTest::newRow("z before Ž") << "zz" << "Ža" << -1;
        QTest::newRow("lower case first") << "štam" << "Štam" << -1;
        QTest::newRow("letters before case") << "ŠTAMPA" << "štamparija" << -1;
        QTest::newRow("nj not contracted") << "nj" << "nk" << -1;
        QTest::newRow("slash before digits") << "1/24" << "12/24" << -1;
        QTest::newRow("digits before letters") << "9" << "a" << -1;
        QTest::newRow("accent after plain, before next") << "e" << "é" << -1;
        QTest::newRow("Latin, azbuka, Greek") << "žћ" << "уα" << -1;
        QTest::newRow("beyond the BMP") << "\uFFFD" << "\U0001D11E" << -1;
        QTest::newRow("equal") << "Đorđe" << "Đorđe" << 0;
    }

    void order()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(sign(SerbianCompare(a, b)), expected);
        QCOMPARE(sign(SerbianCompare(b, a)), -expected);
        QCOMPARE(sign(SerbianCompareUtf8(a.toStdString(), b.toStdString())), expected);
        QCOMPARE(sign(SerbianSortKey(a).compare(SerbianSortKey(b))), expected);
    }

    // The order a list shows: runs of digits as the numbers they write.
    void numbers_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("9 before 10") << "9/26" << "10/26" << -1;
        QTest::newRow("year after number") << "10/25" << "10/26" << -1;
        QTest::newRow("item before its enclosure") << "12/26" << "12/26-1" << -1;
        QTest::newRow("enclosure 2 before 10") << "12/26-2" << "12/26-10" << -1;
        QTest::newRow("number before case") << "vodovod 9" << "Vodovod 10" << -1;
        QTest::newRow("leading zeros only break a tie") << "7" << "007" << -1;
        QTest::newRow("zeros do not lift a number") << "007" << "8" << -1;
        QTest::newRow("digits before letters") << "99" << "a" << -1;
        QTest::newRow("case after the number") << "a7" << "A7" << -1;
        QTest::newRow("case before zeros") << "a07" << "A7" << -1;
        QTest::newRow("equal") << "12/26" << "12/26" << 0;
    }

    void numbers()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(sign(SerbianCompare(a, b, TSerbianDigits::Numbers)), expected);
        QCOMPARE(sign(SerbianCompare(b, a, TSerbianDigits::Numbers)), -expected);
        QCOMPARE(sign(SerbianCompareUtf8(a.toStdString(), b.toStdString(), TSerbianDigits::Numbers)), expected);
        QCOMPARE(sign(SerbianSortKey(a, TSerbianDigits::Numbers).compare(SerbianSortKey(b, TSerbianDigits::Numbers))),
                 expected);
    }

    void prefixLow() { QCOMPARE(SerbianPrefixLow(u"ŠtAm Đ-É1"), QStringLiteral("štam đ-e1")); }
};

QTEST_APPLESS_MAIN(TestSerbianCollation)
#include "tst_serbiancollation.moc"
