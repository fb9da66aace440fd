// Reading an office's partner list saved from a spreadsheet.
#include "KException.h"
#include "PartnerCsv.h"

#include <QtTest>

class TestPartnerCsv : public QObject
{
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QStringList>("firstRow");
        QTest::addColumn<int>("rows");
        // Windows-1250: š = 0x9A, Č = 0xC8, č = 0xE8.
        QTest::newRow("Excel, Windows-1250, ;")
            << QByteArray("Naziv;Mesto;PIB\r\nOp\x9Atina \xC8" "a\xE8" "ak;\xC8" "a\xE8" "ak;101234567\r\n")
            << "Windows-1250" << ";" << QStringList{"Opština Čačak", "Čačak", "101234567"} << 1;
        QTest::newRow("UTF-8 with its mark, ,")
            << QByteArray("\xEF\xBB\xBFnaziv,adresa\nĐurđevak d.o.o.,Njegoševa 1\n\n")
            << "UTF-8" << "," << QStringList{"Đurđevak d.o.o.", "Njegoševa 1"} << 1;
        QTest::newRow("quoted separator, quote and line break")
            << QByteArray("Naziv;Adresa\n\"Mladost; \"\"Novi\"\" Sad\";\"Bulevar 2\nulaz B\"\nDrugi;x\n")
            << "UTF-8" << ";" << QStringList{"Mladost; \"Novi\" Sad", "Bulevar 2\nulaz B"} << 2;
        QTest::newRow("no line end at the end, short row")
            << QByteArray("Naziv;Mesto;PIB\nAlfa") << "UTF-8" << ";" << QStringList{"Alfa"} << 1;
    }
    void reads()
    {
        QFETCH(QByteArray, bytes);
        const TPartnerCsv csv = ReadPartnerCsv(bytes);
        QFETCH(int, rows);
        QTEST(csv.Encoding, "encoding");
        QTEST(QString(csv.Separator), "separator");
        QCOMPARE(csv.Rows.size(), rows);
        QTEST(csv.Rows.first().Cells, "firstRow");
    }

    void lineNumbers()
    {
        const TPartnerCsv csv = ReadPartnerCsv("Naziv;Adresa\n\"A\";\"1\n2\"\n\nB;3\n");
        QCOMPARE(csv.Rows.size(), 2);
        QCOMPARE(csv.Rows[0].Line, 2);
        QCOMPARE(csv.Rows[1].Line, 5);
    }

    void headers_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("column");
        QTest::newRow("Naziv") << "Naziv" << int(TPartnerColumn::Name);
        QTest::newRow("MATIČNI BROJ") << "MATIČNI BROJ" << int(TPartnerColumn::Mb);
        QTest::newRow("maticni_broj") << "maticni_broj" << int(TPartnerColumn::Mb);
        QTest::newRow("E-mail") << " E-mail " << int(TPartnerColumn::Email);
        QTest::newRow("Grad") << "Grad" << int(TPartnerColumn::City);
        QTest::newRow("Cyrillic ПИБ") << "ПИБ" << int(TPartnerColumn::Pib);
        QTest::newRow("unknown") << "Napomena" << int(TPartnerColumn::Ignored);
    }
    void headers()
    {
        QFETCH(QString, header);
        QFETCH(int, column);
        QCOMPARE(int(GuessPartnerColumn(header)), column);
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("quote left open")
            << QByteArray("Naziv;Mesto\nA;B\n\"C;D\nE;F\n")
            << "Navodnik otvoren u redu 3 nije zatvoren do kraja datoteke.";
        QTest::newRow("too many cells") << QByteArray("Naziv;Mesto\nA;B\nC;D;E\n") << "Red 3 ima 3 kolona, a zaglavlje 2.";
        QTest::newRow("empty") << QByteArray("\n\n")
                               << "Datoteka je prazna: prvi red treba da navede kolone (npr. Naziv;Adresa;Mesto;PIB).";
    }
    void refuses()
    {
        QFETCH(QByteArray, bytes);
        try {
            ReadPartnerCsv(bytes);
            QFAIL("read");
        } catch (const KException &e) {
            QTEST(e.message(), "message");
        }
    }
};

QTEST_GUILESS_MAIN(TestPartnerCsv)
#include "tst_partnercsv.moc"
