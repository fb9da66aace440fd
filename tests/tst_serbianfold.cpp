// Serbian texts in either script, any case, with or without diacritics.

#include "SerbianFold.h"

#include <QtTest>

class TestSerbianFold : public QObject
{
    Q_OBJECT
private slots:
    void toLatin_data()
    {
        QTest::addColumn<QString>("cyrillic");
        QTest::addColumn<QString>("latin");
        QTest::newRow("azbuka") << "абвгдђежзијклљмнњопрстћуфхцчџш" << "abvgdđežzijklljmnnjoprstćufhcčdžš";
        QTest::newRow("capitals") << "АБВГДЂЕЖЗИЈКЛЉМНЊОПРСТЋУФХЦЧЏШ" << "ABVGDĐEŽZIJKLLJMNNJOPRSTĆUFHCČDŽŠ";
        QTest::newRow("capitalised digraph") << "Љубав" << "Ljubav";
        QTest::newRow("digraph in capitals") << "ЉУБАВ" << "LJUBAV";
        QTest::newRow("digraph last in capitals") << "КОЊ" << "KONJ";
        QTest::newRow("digraph alone") << "Џ" << "Dž";
        QTest::newRow("a name") << "Ђорђе Јовановић" << "Đorđe Jovanović";
        QTest::newRow("Latin and digits stay") << "Čačak 12/26, Q-x" << "Čačak 12/26, Q-x";
        QTest::newRow("Russian letters stay") << "щ ы я" << "щ ы я";
    }
    void toLatin()
    {
        QFETCH(QString, cyrillic);
        QTEST(SerbianToLatin(cyrillic), "latin");
    }

    void toCyrillic_data()
    {
        QTest::addColumn<QString>("latin");
        QTest::addColumn<QString>("cyrillic");
        QTest::addColumn<QString>("back"); // the Cyrillic in Latin again
        QTest::newRow("abeceda") << "abcčćddžđefghijklljmnnjoprsštuvzž" << "абцчћдџђефгхијклљмнњопрсштувзж"
                                 << "abcčćddžđefghijklljmnnjoprsštuvzž";
        QTest::newRow("capitals") << "ABCČĆDDŽĐEFGHIJKLLJMNNJOPRSŠTUVZŽ" << "АБЦЧЋДЏЂЕФГХИЈКЛЉМНЊОПРСШТУВЗЖ"
                                  << "ABCČĆDDŽĐEFGHIJKLLJMNNJOPRSŠTUVZŽ";
        QTest::newRow("LJubav") << "LJubav" << "Љубав" << "Ljubav";
        QTest::newRow("Ljubav") << "Ljubav" << "Љубав" << "Ljubav";
        QTest::newRow("LJUBAV") << "LJUBAV" << "ЉУБАВ" << "LJUBAV";
        QTest::newRow("Njegoš, DŽEP, Džep") << "Njegoš, DŽEP, Džep" << "Његош, ЏЕП, Џеп" << "Njegoš, DŽEP, Džep";
        QTest::newRow("one-character digraphs") << "ǅep ǈubav ǋegoš ǆ" << "Џеп Љубав Његош џ" << "Džep Ljubav Njegoš dž";
        QTest::newRow("injekcija") << "injekcija" << "инјекција" << "injekcija";
        QTest::newRow("Konjunktura") << "Konjunktura" << "Конјунктура" << "Konjunktura";
        QTest::newRow("konjugacija") << "konjugacija" << "конјугација" << "konjugacija";
        QTest::newRow("nadživeti") << "nadživeti" << "надживети" << "nadživeti";
        QTest::newRow("ODŽALITI") << "ODŽALITI" << "ОДЖАЛИТИ" << "ODŽALITI";
        QTest::newRow("podžanr") << "podžanr" << "поджанр" << "podžanr";
        QTest::newRow("podžupan") << "podžupan" << "поджупан" << "podžupan";
        QTest::newRow("only at a word's start") << "konj tanjir odžak, pre-injekcija"
                                                << "коњ тањир оџак, пре-инјекција" << "konj tanjir odžak, pre-injekcija";
        QTest::newRow("q w x y and accents stay") << "Quick wax y Café" << "Qуицк wаx y Цафé" << "Quick wax y Café";
        QTest::newRow("digits and signs stay") << "Br. 12/26-A (d.o.o.)" << "Бр. 12/26-А (д.о.о.)"
                                               << "Br. 12/26-A (d.o.o.)";
        QTest::newRow("Cyrillic stays") << "Ћирилица abc" << "Ћирилица абц" << "Ćirilica abc";
        QTest::newRow("empty") << "" << "" << "";
    }
    void toCyrillic()
    {
        QFETCH(QString, latin);
        QFETCH(QString, cyrillic);
        QCOMPARE(SerbianToCyrillic(latin), cyrillic);
        QTEST(SerbianToLatin(cyrillic), "back");
    }

    void fold_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("folded");
        for (const char *s : {"Čačak", "ČAČAK", "cacak", "CACAK", "Чачак", "чачак", "Ćaćak"})
            QTest::addRow("%s", s) << QString::fromUtf8(s) << "cacak";
        for (const char *s : {"Đorđe", "đorđe", "Djordje", "DJORDJE", "Ђорђе", "ђорђе"})
            QTest::addRow("%s", s) << QString::fromUtf8(s) << "djordje";
        QTest::newRow("š ž") << "Šumadija Žitopromet" << "sumadija zitopromet";
        QTest::newRow("dž in both scripts") << "Џеп džep" << "dzep dzep";
        QTest::newRow("one-character digraphs") << "ǅep ǈubav ǋegoš" << "dzep ljubav njegos";
        QTest::newRow("other accents") << "Café Müller" << "cafe muller";
        QTest::newRow("digits and signs") << "JKP 12/26-1 (d.o.o.)" << "jkp 12/26-1 (d.o.o.)";
        QTest::newRow("İ and a letter beyond 16 bits") << "İ 𐐀" << "i̇ 𐐨";
        QTest::newRow("empty") << "" << "";
    }
    void fold()
    {
        QFETCH(QString, typed);
        QFETCH(QString, folded);
        QCOMPARE(SerbianFold(typed), folded);
        QCOMPARE(SerbianFold(folded), folded);
    }
};

QTEST_MAIN(TestSerbianFold)
#include "tst_serbianfold.moc"
