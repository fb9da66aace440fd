// Importing a partner list: what is added, merged, skipped and refused, all
// or nothing, with its history; the command line and the dialog.
#include "PartnerImport.h"
#include "Screenshot.h"
#include "PartnerImportCommand.h"
#include "PartnerImportDialog.h"
#include "ScriptedDialogs.h"
#include "TestDb.h"
#include "TestFiles.h"

#include <QLabel>
#include <QSqlQuery>
#include <QTableWidget>
#include <QtTest>

namespace {

int count(TZConnection &c, const QString &sql)
{
    auto q = c.OpenQuery(sql);
    return q->next() ? q->value(0).toInt() : -1;
}

QString value(TZConnection &c, const QString &sql)
{
    auto q = c.OpenQuery(sql);
    return q->next() ? q->value(0).toString() : QStringLiteral("(none)");
}

const TRegisterActor Actor{0, QStringLiteral("Test"), QStringLiteral("desk")};

} // namespace

class TestPartnerImport : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDb> m_db;

    TZConnection &db() { return m_db->Connection(); }

    void importText(const QByteArray &text, TDuplicateAction action, TPartnerImportResult &result)
    {
        const TPartnerCsv csv = ReadPartnerCsv(text);
        result = ImportPartners(db(), csv, csv.Columns, action, Actor);
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDb>();
        REQUIRE_TESTDB(*m_db);
        // One partner the office has already, without an address.
        db().ExecSQL(QStringLiteral("INSERT INTO partner (name, city, pib) VALUES ('Opština Čačak', 'Čačak', '101234569')"));
    }
    void cleanup() { m_db.reset(); }

    void imports_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("merge");
        QTest::addColumn<QList<int>>("counts"); // added, merged, skipped, refused
        QTest::addColumn<int>("partners");
        QTest::addColumn<QString>("address"); // the existing partner's afterwards
        QTest::newRow("new rows")
            << QByteArray("Naziv;Mesto;PIB\nAlfa;Niš;104052135\nBeta;Novi Sad;\n") << false << QList<int>{2, 0, 0, 0}
            << 3 << "(null)";
        QTest::newRow("same folded name skipped")
            << QByteArray("Naziv;Adresa\nOPSTINA CACAK;Skupštinska 3\n") << false << QList<int>{0, 0, 1, 0} << 1
            << "(null)";
        QTest::newRow("same PIB merged fills what is empty")
            << QByteArray("Naziv;Adresa;PIB;Mesto\nGrad Čačak;Skupštinska 3;101234569;Kraljevo\n") << true
            << QList<int>{0, 1, 0, 0} << 1 << "Skupštinska 3";
        QTest::newRow("a row twice in the file")
            << QByteArray("Naziv;PIB\nGama;107654324\ngama;\n") << false << QList<int>{1, 0, 1, 0} << 2 << "(null)";
        QTest::newRow("refused rows do not stop the rest")
            << QByteArray("Naziv;PIB;E-mail\n;111111117\nDelta;123;\nEpsilon;;nije-adresa\nZeta;;z@firma.rs\n")
            << false << QList<int>{1, 0, 0, 3} << 2 << "(null)";
    }
    void imports()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, merge);
        QFETCH(QList<int>, counts);
        QFETCH(int, partners);
        TPartnerImportResult r;
        importText(file, merge ? TDuplicateAction::Merge : TDuplicateAction::Skip, r);
        QCOMPARE((QList<int>{r.Added, r.Merged, r.Skipped, r.Refused}), counts);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM partner")), partners);
        const QString address = value(db(), QStringLiteral("SELECT address FROM partner WHERE pib = '101234569'"));
        QTEST(address.isEmpty() ? QStringLiteral("(null)") : address, "address");
        // The city the partner had is kept.
        QCOMPARE(value(db(), QStringLiteral("SELECT city FROM partner WHERE pib = '101234569'")), QStringLiteral("Čačak"));
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM registerhistory WHERE tablename = 'partner'")),
                 counts[0] + (address.isEmpty() ? 0 : 1));
    }

    void historyOfAnAddedPartner()
    {
        TPartnerImportResult r;
        importText("Naziv;Mesto\nAlfa;Niš\n", TDuplicateAction::Skip, r);
        QCOMPARE(value(db(), QStringLiteral("SELECT changekind FROM registerhistory")), QStringLiteral("i"));
        QCOMPARE(value(db(), QStringLiteral("SELECT username FROM registerhistory")), QStringLiteral("Test"));
        QCOMPARE(value(db(), QStringLiteral("SELECT newvalue FROM registerhistoryvalue WHERE columnname = 'city'")),
                 QStringLiteral("Niš"));
    }

    void nothingStoredWhenTheDatabaseRefuses()
    {
        // The history cannot be written: the partners written before it go too.
        m_db->OpenAdminConnection()->ExecSQL(QStringLiteral("DROP TABLE registerhistoryvalue"));
        TPartnerImportResult r;
        QVERIFY_THROWS_EXCEPTION(KException, importText("Naziv;Mesto\nAlfa;Niš\nBeta;Bor\n", TDuplicateAction::Skip, r));
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM partner")), 1);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM registerhistory")), 0);
    }

    void commandLine_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: no such file
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("partners");
        QTest::newRow("imported") << QByteArray("Naziv\nAlfa\nBeta\n") << 0 << 3;
        QTest::newRow("a quote left open") << QByteArray("Naziv\nAlfa\n\"Beta\n") << 1 << 1;
        QTest::newRow("no name column") << QByteArray("Mesto\nNiš\n") << 1 << 1;
        QTest::newRow("no such file") << QByteArray() << 1 << 1;
    }
    void commandLine()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, exitCode);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("partneri.csv"));
        if (!file.isEmpty())
            QVERIFY(WriteTestFile(path, file));
        QCOMPARE(ImportPartnersCommand(db(), path, false, Actor), exitCode);
        QTEST(count(db(), QStringLiteral("SELECT COUNT(*) FROM partner")), "partners");
    }

    void dialogMapsColumnsAndImports()
    {
        ScopedScriptedDialogs dialogs;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("partneri.csv"));
        // "Firma" is no name the dialog knows: the clerk maps it by hand.
        QVERIFY(WriteTestFile(path, "Firma;Grad\nAlfa;Niš\nOpština Čačak;Čačak\n"));
        TPartnerImportDialog dialog(db(), Actor);
        QVERIFY(dialog.LoadFile(path));
        QCOMPARE(dialog.Info()->text(), QStringLiteral("Izaberite kolonu sa nazivom partnera (polje „Naziv“)."));
        dialog.SetColumn(0, TPartnerColumn::Name);
        SaveScreenshot(dialog, QStringLiteral("uvoz-partnera.png"));
        QCOMPARE(dialog.Preview()->item(1, 0)->text(), QStringLiteral("novi"));
        QCOMPARE(dialog.Preview()->item(2, 0)->text(), QStringLiteral("duplikat (isti naziv): postojeći partner"));
        QVERIFY(dialog.Import());
        QCOMPARE(dialogs->Messages.last().Text,
                 QStringLiteral("Uvoz partnera je završen. Dodato 1, spojeno 0, preskočeno 1, odbijeno 0."));
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM partner")), 2);
    }
};

QTEST_MAIN(TestPartnerImport)
#include "tst_partnerimport.moc"
