// The stamp's QR code found on a scan: its text parsed, and the code drawn
// into a page's picture or a PDF read back in page order.

#include "IntakeTestDocs.h"
#include "TestFiles.h"
#include "data/IntakeDocument.h"
#include "data/IntakeQr.h"

#include <QTemporaryDir>
#include <QtTest>

class TestIntakeQr : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("book");
        QTest::addColumn<qint64>("item");
        QTest::addColumn<QString>("number");
        QTest::newRow("stamp") << "DELOVODNIK:7F3A90C2:123:15/26" << true << "7F3A90C2" << qint64(123) << "15/26";
        QTest::newRow("enclosure") << "DELOVODNIK:00AB12CD:9:15-2/26" << true << "00AB12CD" << qint64(9) << "15-2/26";
        QTest::newRow("lower-case book") << "DELOVODNIK:7f3a90c2:1:1/26" << true << "7F3A90C2" << qint64(1) << "1/26";
        QTest::newRow("empty") << "" << false << "" << qint64(0) << "";
        QTest::newRow("web address") << "https://www.cacak.rs" << false << "" << qint64(0) << "";
        QTest::newRow("other prefix") << "delovodnik:7F3A90C2:123:15/26" << false << "" << qint64(0) << "";
        QTest::newRow("no number") << "DELOVODNIK:7F3A90C2:123:" << false << "" << qint64(0) << "";
        QTest::newRow("seven digits") << "DELOVODNIK:7F3A90C:123:15/26" << false << "" << qint64(0) << "";
        QTest::newRow("not hex") << "DELOVODNIK:7F3A90CG:123:15/26" << false << "" << qint64(0) << "";
        QTest::newRow("item 0") << "DELOVODNIK:7F3A90C2:0:15/26" << false << "" << qint64(0) << "";
        QTest::newRow("item negative") << "DELOVODNIK:7F3A90C2:-5:15/26" << false << "" << qint64(0) << "";
        QTest::newRow("item too long") << "DELOVODNIK:7F3A90C2:1234567890123456789:1/26" << false << "" << qint64(0)
                                       << "";
        QTest::newRow("colon in number") << "DELOVODNIK:7F3A90C2:123:15:26" << false << "" << qint64(0) << "";
        QTest::newRow("space before number") << "DELOVODNIK:7F3A90C2:123: 15/26" << false << "" << qint64(0) << "";
        QTest::newRow("line end after") << "DELOVODNIK:7F3A90C2:123:15/26\n" << false << "" << qint64(0) << "";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const std::optional<TStampReference> ref = ParseStampPayload(text);
        QCOMPARE(ref.has_value(), valid);
        if (!valid)
            return;
        QTEST(ref->BookID, "book");
        QTEST(ref->ItemID, "item");
        QTEST(ref->LedgerNumber, "number");
    }

    // Read top to bottom, whatever else is on the page.
    void twoOnOnePicture()
    {
        QImage page = DrawTestPage({QStringLiteral("Prilog uz dopis")}, QStringLiteral("DELOVODNIK:7F3A90C2:123:15/26"));
        QPainter painter(&page);
        PaintQr(painter, QRectF(TestDpi * 5, TestDpi * 8, TestDpi, TestDpi), EncodeQr(QStringLiteral("Drugi kod")));
        painter.end();
        QCOMPARE(ReadQrCodes(page), QStringList({"DELOVODNIK:7F3A90C2:123:15/26", "Drugi kod"}));
        QCOMPARE(ReadQrCodes(DrawTestPage(LatinPage)), QStringList());
    }

    void readBack_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("scanned page") << TestPng(DrawTestPage(LatinPage, "DELOVODNIK:7F3A90C2:123:15/26"))
                                      << QStringList{"DELOVODNIK:7F3A90C2:123:15/26"};
        QTest::newRow("PDF with text, on the second page")
            << TestTextPdf({LatinPage, CyrillicPage}, {QString(), "DELOVODNIK:7F3A90C2:124:16/26"})
            << QStringList{"DELOVODNIK:7F3A90C2:124:16/26"};
        QTest::newRow("PDF with text, in page order")
            << TestTextPdf({LatinPage, CyrillicPage}, {"DELOVODNIK:7F3A90C2:2:2/26", "DELOVODNIK:7F3A90C2:1:1/26"})
            << QStringList{"DELOVODNIK:7F3A90C2:2:2/26", "DELOVODNIK:7F3A90C2:1:1/26"};
    }
    void readBack()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sken"));
        QVERIFY(WriteTestFile(path, bytes));
        TIntakeControl control;
        QTEST(ReadIntakeFile(path, control).QrCodes, "codes");
    }
};

QTEST_MAIN(TestIntakeQr)
#include "tst_intakeqr.moc"
