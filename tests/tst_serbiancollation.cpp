// The Serbian Latin order: its compare functions and its sort key agree, and
// a prefix range holds exactly the texts that start with the prefix.

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
        QTest::newRow("c before č") << "c" << "č" << -1;
        QTest::newRow("č before ć") << "čz" << "ća" << -1;
        QTest::newRow("ć before d") << "Ć" << "d" << -1;
        QTest::newRow("d before đ") << "dz" << "đa" << -1;
        QTest::newRow("đ before e") << "Đ" << "e" << -1;
        QTest::newRow("Š before t") << "Š" << "t" << -1;
        QTest::newRow("š before T") << "šz" << "Ta" << -1;
        QTest::newRow("z before ž") << "Zz" << "ža" << -1;
        QTest::newRow("lower case first") << "š" << "Š" << -1;
        QTest::newRow("case only at the end") << "Štam" << "štam" << 1;
        QTest::newRow("letters before case") << "ŠTAMPA" << "štamparija" << -1;
        QTest::newRow("nj not contracted") << "nj" << "nk" << -1;
        QTest::newRow("slash before digits") << "12/24" << "1/24" << 1;
        QTest::newRow("blank before digit") << " " << "0" << -1;
        QTest::newRow("digits before letters") << "9" << "a" << -1;
        QTest::newRow("accent after plain") << "é" << "e" << 1;
        QTest::newRow("accent counts as base") << "é" << "f" << -1;
        QTest::newRow("Latin before Cyrillic") << "ž" << "а" << -1;
        QTest::newRow("ћ before у") << "ћ" << "У" << -1;
        QTest::newRow("џ before ш") << "Џ" << "ш" << -1;
        QTest::newRow("Cyrillic before Greek") << "я" << "α" << -1;
        QTest::newRow("beyond the BMP") << "\U0001D11E" << "\uFFFD" << 1;
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

    void prefixRange_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("inside");
        QTest::newRow("itself") << "ŠTAM" << "ŠTAM" << true;
        QTest::newRow("lower case") << "ŠTAM" << "štam" << true;
        QTest::newRow("longer") << "štam" << "Štamparija" << true;
        QTest::newRow("accented") << "e" << "Étoile" << true;
        QTest::newRow("plain s") << "štam" << "stamparija" << false;
        QTest::newRow("next letter") << "štam" << "štan" << false;
        QTest::newRow("shorter") << "štam" << "šta" << false;
        QTest::newRow("c is no č") << "c" << "Čačak" << false;
        QTest::newRow("number") << "1/2" << "1/24" << true;
        QTest::newRow("longer number") << "1/2" << "12/24" << false;
    }

    void prefixRange()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(bool, inside);
        const bool in = SerbianCompare(SerbianPrefixLow(typed), text) <= 0 && SerbianCompare(text, SerbianPrefixHigh(typed)) < 0;
        QCOMPARE(in, inside);
    }

    void prefixLow()
    {
        QCOMPARE(SerbianPrefixLow(u"ŠtAm Đ-É1"), QStringLiteral("štam đ-e1"));
    }
};

QTEST_APPLESS_MAIN(TestSerbianCollation)
#include "tst_serbiancollation.moc"
