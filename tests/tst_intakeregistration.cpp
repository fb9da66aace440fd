// Registering a document brought to the desk: the new incoming item with its
// scan, its e-mail beside it and its text in one write that leaves nothing
// when it fails; the item a stamp's QR code names.

#include "IntakeDocuments.h"
#include "LedgerFixture.h"
#include "ScanTestFiles.h"
#include "TestFiles.h"
#include "data/IntakeRegistration.h"
#include "data/ItemDocumentText.h"
#include "data/LedgerHistory.h"
#include "data/Stamp.h"

#include <QtTest>

class TestIntakeRegistration : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        partner = fx.Insert(QStringLiteral("partner"), {{QStringLiteral("name"), QStringLiteral("Opština Čačak")},
                                                        {QStringLiteral("pib"), QStringLiteral("101234567")},
                                                        {QStringLiteral("email"), QStringLiteral("pisarnica@cacak.rs")}});
    }
    void cleanupTestCase()
    {
        QFile::remove(TLedgerDM::ApplicationIniFileName());
        fx.Stop();
    }

    void registers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("files"); // %1: the item's id
        QTest::addColumn<QString>("source");    // the scan's history line
        QTest::newRow("pdf") << int(TIntakeKind::Pdf) << QStringList{"l%1.pdf"} << "scan|dopis.pdf";
        QTest::newRow("mail") << int(TIntakeKind::Mail) << QStringList{"l%1.eml", "l%1.pdf"} << "scan|poruka.eml";
    }
    void registers()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, files);
        QFETCH(QString, source);
        ScanFolder folder;
        const QString eml = folder.File(QStringLiteral("poruka.eml"));
        QVERIFY(WriteTestFile(eml, "From: pisarnica@cacak.rs\r\nSubject: Dopis\r\n\r\nTekst"));
        const TIntakeDocument document =
            IntakeTestDocument(TIntakeKind(kind), QStringLiteral("Broj: 404-12/2026-03 čćžšđ"), "%PDF-1.4 sken", {},
                               kind == int(TIntakeKind::Mail) ? eml : QString());
        const QString dir = folder.File(QStringLiteral("skenovi"));

        const qint64 id = RegisterIntakeItem(*LedgerDM, document, IntakeTestProposals(partner),
                                             {QStringLiteral("Dopis"), QStringLiteral("Rešenje")}, dir);
        QVERIFY(id > 0);
        QStringList stored = QDir(dir).entryList(QDir::Files, QDir::Name);
        QCOMPARE(stored, files.replaceInStrings(QStringLiteral("%1"), QString::number(id)));
        QCOMPARE(ReadTestFile(QDir(dir).filePath(stored.last())), QByteArray("%PDF-1.4 sken"));
        // Filled at or above the threshold; subject and type only proposed.
        QCOMPARE(QStringList({fx.Cell(id, "direction"), fx.Cell(id, "partnerid"), fx.Cell(id, "itemnumber"),
                              fx.Cell(id, "itemdate"), fx.Cell(id, "subject"), fx.Cell(id, "itemtype")}),
                 QStringList({"1", QString::number(partner), "404-12/2026-03", "2026-12-03", "", "Dopis"}));
        QCOMPARE(ItemDocumentText(fx.Db.Connection(), id), QStringLiteral("Broj: 404-12/2026-03 čćžšđ"));
        const QList<THistoryEntry> history = LedgerItemHistory(fx.Db.Connection(), id);
        QCOMPARE(history.size(), 2);
        // Newest first: the scan after the insert.
        QCOMPARE(history.first().Values.value(0).Column + u'|' + history.first().Values.value(0).NewValue.toString(), source);
    }

    // Refused by the database after the files were written, or the folder
    // not writable: neither item nor file is left.
    void leavesNothing_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<int>("seen"); // files there when the write was refused; -1: not reached
        QTest::addColumn<QStringList>("left");
        QTest::newRow("write refused") << "" << 1 << QStringList();
        QTest::newRow("folder not writable") << "fajl/skenovi" << -1 << QStringList("fajl");
    }
    void leavesNothing()
    {
        QFETCH(QString, dir);
        QFETCH(int, seen);
        QFETCH(QStringList, left);
        ScanFolder folder;
        QVERIFY(left.isEmpty() || WriteTestFile(folder.File(QStringLiteral("fajl")), "x"));
        const int items = fx.ItemCount();
        const TIntakeDocument document = IntakeTestDocument(TIntakeKind::Pdf, QStringLiteral("neuspeh"), "%PDF-1.4 x");
        auto set = LedgerDM->NewLedgerItems();
        set->ShowCondition(QStringLiteral("l.ledgeritemid = -1"));
        TIntakeKeeping keeping(*set, document, folder.File(dir));
        const auto keep = set->LedgerItemZQ->OnJournal;
        int written = -1;
        set->LedgerItemZQ->OnJournal = [&](TZConnection &c, TZQuery::TWriteKind kind, const QVariant &key,
                                           const std::vector<TField *> &changed) {
            keep(c, kind, key, changed);
            written = QDir(folder.Path()).entryList(QDir::Files).size();
            throw EDatabaseError(QStringLiteral("odbijeno"));
        };
        set->LedgerItemZQ->Append();
        set->LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
        QVERIFY_THROWS_EXCEPTION(KException, set->LedgerItemZQ->Post());
        QCOMPARE(written, seen);
        QCOMPARE(fx.ItemCount(), items);
        QCOMPARE(folder.Files(), left);
        QCOMPARE(keeping.StoredItemID(), 0);
    }

    void stamped_data()
    {
        QTest::addColumn<QString>("code"); // %1 the book, %2 the item
        QTest::addColumn<bool>("found");
        QTest::newRow("this book") << "DELOVODNIK:%1:%2:T1/26" << true;
        QTest::newRow("another book") << "DELOVODNIK:00000000:%2:T1/26" << false;
        QTest::newRow("another code") << "https://example.rs/%2" << false;
        QTest::newRow("no such item") << "DELOVODNIK:%1:99999999:T1/26" << false;
    }
    void stamped()
    {
        QFETCH(QString, code);
        QFETCH(bool, found);
        const qint64 id = fx.AddItem();
        const QString book = LedgerBookID(fx.Db.Connection());
        code.replace(QStringLiteral("%1"), book).replace(QStringLiteral("%2"), QString::number(id));
        const auto item = FindStampedItem(fx.Db.Connection(), {QStringLiteral("drugi kod"), code});
        QCOMPARE(item.has_value(), found);
        if (found)
            QCOMPARE(item->LedgerNumber, fx.Cell(id, "ledgernumber"));
    }

private:
    LedgerFixture fx;
    qint64 partner = 0;
};

QTEST_MAIN(TestIntakeRegistration)
#include "tst_intakeregistration.moc"
