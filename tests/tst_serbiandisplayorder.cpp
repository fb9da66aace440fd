// The order a list shows in each script: mixed scripts placed together,
// digraphs as letters, numbers as numbers, and ties broken to a total order.

#include "SerbianDisplayOrder.h"

#include <QtTest>
#include <algorithm>

class TestSerbianDisplayOrder : public QObject
{
    Q_OBJECT
private slots:
    void order_data()
    {
        QTest::addColumn<TScript>("script");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("latin") << TScript::Latin
                               << QStringList{"9/26",    "10/26",     "Cvetković", "Čačak",   "Ćuprija", "Dunav",
                                              "Džep",    "Đorđe",     "Loznica",   "Lozница", "Лозница", "Lupa",
                                              "Ljig",    "Љиг",       "nadzor",    "nadživeti", "nadžak", "Nikola",
                                              "Novi Sad", "Njegoš",   "Шабац",     "Zemun",   "Зрењанин", "Жабари"};
        QTest::newRow("cyrillic") << TScript::Cyrillic
                                  << QStringList{"9/26",    "10/26",   "Dunav",   "Đorđe",    "Жабари",  "Zemun",
                                                 "Зрењанин", "Лозница", "Lozница", "Loznica",  "Lupa",    "Љиг",
                                                 "Ljig",    "nadživeti", "nadzor", "nadžak",  "Nikola",  "Novi Sad",
                                                 "Njegoš",  "Ćuprija", "Cvetković", "Čačak",  "Džep",    "Шабац"};
        QTest::newRow("latin capitals") << TScript::Latin
                                        << QStringList{"ljubav", "љубав", "Ljubav", "LJubav", "Љубав", "LJUBAV",
                                                       "ЉУБАВ"};
        QTest::newRow("cyrillic capitals") << TScript::Cyrillic
                                           << QStringList{"љубав", "ljubav", "Љубав", "Ljubav", "LJubav", "ЉУБАВ",
                                                          "LJUBAV"};
        QTest::newRow("latin q w x y") << TScript::Latin
                                       << QStringList{"pas", "Quark", "ruka", "vuk", "Wien", "Xerox", "Yoga", "zec"};
        QTest::newRow("cyrillic q w x y") << TScript::Cyrillic
                                          << QStringList{"вук", "Wien", "гора", "јеж", "Yoga", "кућа", "Quark",
                                                         "Xerox", "лав"};
        QTest::newRow("numbers, zeros, enclosures")
            << TScript::Latin << QStringList{"7", "007", "8", "12/26", "12/26-2", "12/26-10", "a7", "A7"};
        QTest::newRow("accents and Russian letters")
            << TScript::Cyrillic << QStringList{"e", "é", "ш", "щука", "юг", "α"};
    }

    // Sorted from its reverse and from a rotation, the list comes back as it is.
    void order()
    {
        QFETCH(TScript, script);
        QFETCH(QStringList, expected);
        const TSerbianDisplayLess less{script};
        for (int shift : {0, 5}) {
            QStringList texts(expected.crbegin(), expected.crend());
            std::rotate(texts.begin(), texts.begin() + shift % texts.size(), texts.end());
            std::sort(texts.begin(), texts.end(), less);
            QCOMPARE(texts, expected);
        }
        for (qsizetype i = 1; i < expected.size(); ++i) {
            const QByteArray a = expected[i - 1].toUtf8(), b = expected[i].toUtf8();
            QByteArray keyA, keyB;
            AppendSerbianDisplayKeyUtf8({a.constData(), size_t(a.size())}, script, keyA);
            AppendSerbianDisplayKeyUtf8({b.constData(), size_t(b.size())}, script, keyB);
            QVERIFY2(keyA < keyB, qPrintable(expected[i]));
            QCOMPARE(SerbianDisplayCompare(expected[i], expected[i - 1], script), 1);
        }
    }

    void onlyIdenticalTexts()
    {
        QCOMPARE(SerbianDisplayCompare(u"Čačak", u"Čačak", TScript::Cyrillic), 0);
        QCOMPARE(SerbianDisplayKey(u"Čačak", TScript::Latin), SerbianDisplayKey(u"Čačak", TScript::Latin));
        QCOMPARE(SerbianDisplayCompare(u"Čačak", u"Чачак", TScript::Latin), -1);
        QCOMPARE(SerbianDisplayCompare(u"Čačak", u"Чачак", TScript::Cyrillic), 1);
    }

    // The interface's script of the moment decides.
    void sortForDisplay()
    {
        QStringList texts{"Ђорђе", "Džep", "Ćuprija"};
        SetInterfaceScript(TScript::Cyrillic);
        SortForDisplay(texts);
        QCOMPARE(texts, (QStringList{"Ђорђе", "Ćuprija", "Džep"}));
        SetInterfaceScript(TScript::Latin);
        SortForDisplay(texts);
        QCOMPARE(texts, (QStringList{"Ćuprija", "Džep", "Ђорђе"}));
    }
};

QTEST_APPLESS_MAIN(TestSerbianDisplayOrder)
#include "tst_serbiandisplayorder.moc"
