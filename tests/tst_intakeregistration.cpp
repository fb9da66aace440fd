// Registering a document brought to the desk: the new incoming item with its
// scan, its e-mail beside it and its text in one write that leaves nothing
// when it fails; the item a stamp's QR code names and the scan attached to it.

#include "Clock.h"
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

    void readForProposals()
    {
        const QList<TIntakePartner> partners = IntakePartners(fx.Db.Connection());
        const auto cacak = std::find_if(partners.begin(), partners.end(),
                                        [&](const TIntakePartner &p) { return p.PartnerID == partner; });
        QVERIFY(cacak != partners.end());
        QCOMPARE(cacak->Pib + u'|' + cacak->Email, QStringLiteral("101234567|pisarnica@cacak.rs"));
        QVERIFY(IntakeItemTypes(fx.Db.Connection()).contains(QStringLiteral("Dopis")));
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

    // The write refused after the files were written: neither item, nor
    // text, nor file is left.
    void failedWriteLeavesNothing()
    {
        ScanFolder folder;
        const int items = fx.ItemCount();
        const TIntakeDocument document = IntakeTestDocument(TIntakeKind::Pdf, QStringLiteral("neuspeh"), "%PDF-1.4 x");
        auto set = LedgerDM->NewLedgerItems();
        set->ShowCondition(QStringLiteral("l.ledgeritemid = -1"));
        TIntakeKeeping keeping(*set, document, folder.Path());
        const auto keep = set->LedgerItemZQ->OnJournal;
        set->LedgerItemZQ->OnJournal = [&](TZConnection &c, TZQuery::TWriteKind kind, const QVariant &key,
                                           const std::vector<TField *> &changed) {
            keep(c, kind, key, changed);
            QCOMPARE(QDir(folder.Path()).entryList(QDir::Files).size(), 1);
            throw EDatabaseError(QStringLiteral("odbijeno"));
        };
        set->LedgerItemZQ->Append();
        set->LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, set->LedgerItemZQ->Post());
        QCOMPARE(fx.ItemCount(), items);
        QCOMPARE(folder.Files(), QStringList());
        QCOMPARE(keeping.StoredItemID(), 0);
    }

    void folderNotWritable()
    {
        QTemporaryDir temporary;
        const QString notDir = temporary.filePath(QStringLiteral("fajl"));
        QVERIFY(WriteTestFile(notDir, "x"));
        const int items = fx.ItemCount();
        QVERIFY_THROWS_EXCEPTION(
            KException, RegisterIntakeItem(*LedgerDM, IntakeTestDocument(TIntakeKind::Pdf, QStringLiteral("t"), "%PDF"),
                                           {}, {QStringLiteral("Dopis")}, notDir + QStringLiteral("/skenovi")));
        QCOMPARE(fx.ItemCount(), items);
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

    void attaches()
    {
        ScanFolder folder;
        const qint64 id = fx.AddItem();
        QVERIFY(WriteTestFile(folder.Scan(id), "%PDF-1.4 stari"));
        const TIntakeDocument document = IntakeTestDocument(TIntakeKind::Pdf, QStringLiteral("potpisan primerak"),
                                                            "%PDF-1.4 novi", {}, QStringLiteral("/tmp/primerak.pdf"));
        TClock::TFixed clock(QDateTime(QDate(2026, 12, 9), QTime(14, 15, 3)));
        AttachIntakeScan(fx.Db.Connection(), folder.Path(), id, document, LedgerDM->HistoryActor(), TClock::Now());
        QCOMPARE(folder.Files(id), QStringList({QStringLiteral("l%1.pdf").arg(id),
                                                QStringLiteral("l%1_20261209-141503.pdf").arg(id)}));
        QCOMPARE(ReadTestFile(folder.Scan(id)), QByteArray("%PDF-1.4 novi"));
        QCOMPARE(ItemDocumentText(fx.Db.Connection(), id), QStringLiteral("potpisan primerak"));
    }

private:
    LedgerFixture fx;
    qint64 partner = 0;
};

QTEST_MAIN(TestIntakeRegistration)
#include "tst_intakeregistration.moc"
