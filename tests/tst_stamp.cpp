// The receipt stamp: its QR code's text, what it reads from the book, and the
// printed label or A4 corner read back with pdftotext, pdfinfo and zbarimg.

#include "DBIniFile.h"
#include "IniFile.h"
#include "KException.h"
#include "LedgerFixture.h"
#include "ScanTestFiles.h"
#include "data/QrCode.h"
#include "data/Stamp.h"
#include "screens/LedgerViewerUnit.h"
#include "screens/StampDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>

class TestStamp : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        TDBIniFile settings(&fx.Db.Connection());
        settings.WriteString(QStringLiteral("Organization"), QStringLiteral("Name"), QStringLiteral("Opština Žabalj"));
        settings.WriteString(QStringLiteral("Organization"), QStringLiteral("Unit"), QStringLiteral("Pisarnica"));
    }
    void cleanupTestCase()
    {
        QFile::remove(TLedgerDM::ApplicationIniFileName());
        fx.Stop();
    }

    void payload()
    {
        TStamp stamp;
        stamp.BookID = QStringLiteral("7F3A90C2");
        stamp.ItemID = 123;
        stamp.LedgerNumber = QStringLiteral("15/26");
        QCOMPARE(StampPayload(stamp), QStringLiteral("DELOVODNIK:7F3A90C2:123:15/26"));
        stamp.LedgerNumber = QStringLiteral("15-2/26"); // an enclosure
        QCOMPARE(StampPayload(stamp), QStringLiteral("DELOVODNIK:7F3A90C2:123:15-2/26"));
    }

    // Byte mode, level M: up to 26 bytes fit version 2, 42 version 3, 62 version 4.
    void qrSize_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        QTest::newRow("16 bytes") << "DELOVODNIK:1:2:3" << 25;
        QTest::newRow("29 bytes") << "DELOVODNIK:7F3A90C2:123:15/26" << 29;
        QTest::newRow("50 bytes") << "DELOVODNIK:7F3A90C2:1234567890:1234567-12/2026-XYZW" << 33;
    }
    void qrSize()
    {
        QFETCH(QString, text);
        QFETCH(int, size);
        const TQrCode code = EncodeQr(text);
        QCOMPARE(code.Size, size);
        // The finder pattern's corner and its light ring.
        QVERIFY(code.IsDark(0, 0));
        QVERIFY(!code.IsDark(1, 1));
    }

    // Every desk gets the book's one id, whichever made it.
    void bookIdTwoDesks()
    {
        const auto second = fx.Db.OpenSecondConnection();
        const QString first = LedgerBookID(*second);
        QVERIFY2(QRegularExpression(QStringLiteral("^[0-9A-F]{8}$")).match(first).hasMatch(), qPrintable(first));
        QCOMPARE(LedgerBookID(fx.Db.Connection()), first);
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM settings WHERE section = 'Book'")).toInt(), 1);
    }

    void readStamp_data()
    {
        QTest::addColumn<QString>("unit"); // the item's; empty: the book's is printed
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("item's unit") << "Odsek za urbanizam"
                                     << QStringList{"Opština Žabalj", "Odsek za urbanizam", "Delovodni broj: 41/26",
                                                    "Primljeno: 09.12.2026 14:15", "Broj priloga: 2"};
        QTest::newRow("book's unit") << ""
                                     << QStringList{"Opština Žabalj", "Pisarnica", "Delovodni broj: 41/26",
                                                    "Primljeno: 09.12.2026 14:15", "Broj priloga: 2"};
    }
    void readStamp()
    {
        QFETCH(QString, unit);
        QFETCH(QStringList, lines);
        const qint64 id = itemWithEnclosures(unit.isEmpty() ? QVariant() : QVariant(unit));
        const TStamp stamp = ReadStamp(fx.Db.Connection(), id);
        QCOMPARE(StampLines(stamp), lines);
        QCOMPARE(stamp.ItemID, id);
        QCOMPARE(stamp.BookID, LedgerBookID(fx.Db.Connection()));
        QVERIFY_THROWS_EXCEPTION(KException, ReadStamp(fx.Db.Connection(), id + 1000000));
    }

    void print_data()
    {
        QTest::addColumn<QString>("corner"); // empty: on a label
        QTest::addColumn<QString>("labelWidth");
        QTest::addColumn<QString>("pageSize"); // as pdfinfo gives it, in whole points
        QTest::newRow("label") << "" << "62" << "176 x 82 pts";
        QTest::newRow("wider label from the ini") << "" << "70" << "198 x 82 pts";
        QTest::newRow("unreadable width keeps 62") << "" << "široko" << "176 x 82 pts";
        QTest::newRow("A4 top right") << "gore desno" << "62" << "595 x 842 pts (A4)";
        QTest::newRow("A4 bottom left") << "dole levo" << "62" << "595 x 842 pts (A4)";
    }
    void print()
    {
        QFETCH(QString, corner);
        QFETCH(QString, labelWidth);
        QFETCH(QString, pageSize);
        {
            TIniFile ini(TLedgerDM::ApplicationIniFileName());
            ini.SetValue(QStringLiteral("Stamp"), QStringLiteral("LabelWidth"), labelWidth);
            ini.Save();
        }
        const qint64 id = itemWithEnclosures(QStringLiteral("Pisarnica"));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("stambilj.pdf"));
        DetailFormOn on(id);
        // With KLEDGER_SCREENSHOT_DIR set: stambilj-dialog.png and the printed stambilj.pdf.
        const QString shots = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR");
        on.dialogs->ModalHandlers.push_back([&corner, &shots](QDialog &d) {
            auto &dialog = dynamic_cast<TStampDialog &>(d);
            if (!corner.isEmpty()) {
                dialog.PageRadio->setChecked(true);
                dialog.CornerCombo->setCurrentText(corner);
            }
            if (!shots.isEmpty() && LedgerFixture::Show(dialog, dialog.sizeHint()))
                dialog.grab().save(shots + QStringLiteral("/stambilj-dialog.png"));
            return int(QDialog::Accepted);
        });
        on.dialogs->PreviewHandlers.push_back([&pdf](QPrinter &printer, const std::function<void(QPrinter &)> &paint) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            paint(printer);
        });
        on.form.PrintStampButton->click();

        QVERIFY2(on.dialogs->Messages.isEmpty(), qPrintable(on.dialogs->Messages.value(0).Text));
        QCOMPARE(on.dialogs->ModalCount, 1);
        const QString text = ToolOutput(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        for (const char *expected : {"Opština Žabalj", "Pisarnica", "Delovodni broj: 41/26", "Primljeno: 09.12.2026 14:15",
                                     "Broj priloga: 2"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(text));
        const QString info = ToolOutput(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QStringLiteral("Page size:       ") + pageSize), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("Pages:           1")), qPrintable(info));
        if (!shots.isEmpty())
            QFile::copy(pdf, shots + QStringLiteral("/stambilj.pdf"));
        QCOMPARE(PdfQrCodes(pdf),
                 QStringLiteral("DELOVODNIK:%1:%2:41/26").arg(LedgerBookID(fx.Db.Connection())).arg(id));
    }

    // The list's action asks for the current item's stamp; "Otkaži" prints nothing.
    void fromList()
    {
        const qint64 id = fx.AddItem({{QStringLiteral("ledgerdatetime"), QDateTime::currentDateTime()}});
        ScopedScriptedDialogs dialogs;
        TLedgerViewerForm viewer(nullptr);
        viewer.TodayActionExecute();
        QVERIFY(viewer.Items().LedgerItemZQ->Locate(QVariant::fromValue(id)));
        QString asked;
        dialogs->ModalHandlers.push_back([&asked](QDialog &d) {
            asked = d.findChild<QLabel *>()->text();
            return int(QDialog::Rejected);
        });
        viewer.PrintStampAction->trigger();
        QCOMPARE(asked, QStringLiteral("Prijemni štambilj za stavku T%1/00:").arg(fx.Serial()));
        QVERIFY(dialogs->Previews.isEmpty() && dialogs->Messages.isEmpty());
    }

private:
    // Item 41/26 of 09.12.2026 14:15 with two enclosures and a cancelled one;
    // the earlier one of that number is renamed out of the way.
    qint64 itemWithEnclosures(const QVariant &unit)
    {
        fx.Db.Connection().ExecSQL(QStringLiteral("UPDATE ledgeritem SET ledgernumber = ? WHERE ledgernumber = ?"),
                                   {QStringLiteral("41/26-%1").arg(fx.Serial()), QStringLiteral("41/26")});
        const qint64 id = fx.AddItem({{QStringLiteral("ledgernumber"), QStringLiteral("41/26")},
                                      {QStringLiteral("ledgerdatetime"), QDateTime(QDate(2026, 12, 9), QTime(14, 15, 3))},
                                      {QStringLiteral("orgunit"), unit}});
        for (const char *cancelled : {"n", "n", "y"})
            fx.AddItem({{QStringLiteral("parentid"), id}, {QStringLiteral("cancelled"), QString::fromLatin1(cancelled)}});
        return id;
    }

    LedgerFixture fx;
};

QTEST_MAIN(TestStamp)
#include "tst_stamp.moc"
