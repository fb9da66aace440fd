// The detail form's page "Sken" and "Zameni…": the item's PDF shown when the
// page opens, a missing or damaged file said on the page, and a replaced scan
// kept beside the new one with the change in the item's history.

#include "Clock.h"
#include "LedgerFixture.h"
#include "ScanTestFiles.h"
#include "TestFiles.h"
#include "data/LedgerHistory.h"
#include "data/ScanFile.h"
#include "screens/ScanPage.h"

#include <QLabel>
#include <QPdfView>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <barrier>
#include <thread>

class TestScanPage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
    }
    void cleanupTestCase()
    {
        QFile::remove(TLedgerDM::ApplicationIniFileName());
        fx.Stop();
    }

    void page_data()
    {
        QTest::addColumn<QByteArray>("file"); // "pdf3": three pages; empty: no scan
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("message"); // start of what the page says
        QTest::newRow("three pages") << QByteArray("pdf3") << "Sken: postoji" << 3 << "";
        QTest::newRow("no scan") << QByteArray() << "Sken: nema" << 0 << "Stavka nema skenirani dokument.";
        QTest::newRow("damaged") << QByteArray("%PDF-1.4\n1 0 obj <<") << "Sken: postoji" << 0 << "Sken ";
        QTest::newRow("empty file") << QByteArray("-") << "Sken: postoji" << 0 << "Sken ";
    }

    void page()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, state);
        QFETCH(int, pages);
        QFETCH(QString, message);
        ScanFolder folder;
        const qint64 id = fx.AddItem();
        const QString scan = folder.File(QStringLiteral("l%1.pdf").arg(id));
        if (file == "pdf3")
            QVERIFY(WriteTestPdf(scan, 3));
        else if (!file.isEmpty())
            QVERIFY(WriteTestFile(scan, file == "-" ? QByteArray() : file));

        DetailFormOn on(id);
        QCOMPARE(on.form.ScanStateLabel->text(), state);
        QVERIFY(!on.form.ScanTS->Loaded()); // read only when opened
        on.form.ShowScanButton->click();
        QCOMPARE(on.form.PageControl->currentWidget(), on.form.ScanTS);
        QVERIFY(on.form.ScanTS->Loaded());
        QCOMPARE(on.form.ScanTS->PageCount(), pages);
        const QString said = on.form.ScanTS->Message();
        QVERIFY2(message.isEmpty() ? said.isEmpty() : said.startsWith(message), qPrintable(said));
        QVERIFY(on.dialogs->Messages.isEmpty());
        if (pages == 0)
            return;
        QCOMPARE(on.form.ScanTS->View->zoomMode(), QPdfView::ZoomMode::FitToWidth);
        // With KLEDGER_SCREENSHOT_DIR set: sken.png, the page on a scan.
        if (const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR"); !dir.isEmpty()) {
            QVERIFY(QTest::qWaitForWindowExposed(&on.form));
            QTest::qWait(500); // the view draws its pages on a thread of its own
            QVERIFY(on.form.grab().save(dir + QStringLiteral("/sken.png")));
        }
        on.form.ScanTS->NextAction->trigger();
        on.form.ScanTS->NextAction->trigger();
        QCOMPARE(on.form.ScanTS->CurrentPage(), 2);
        QVERIFY(!on.form.ScanTS->NextAction->isEnabled());
        on.form.ScanTS->ZoomInAction->trigger();
        QCOMPARE(on.form.ScanTS->View->zoomMode(), QPdfView::ZoomMode::Custom);
        QCOMPARE(on.form.ScanTS->View->zoomFactor(), 1.25);
        on.form.ScanTS->FitWidthAction->trigger();
        QCOMPARE(on.form.ScanTS->View->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    }

    void replace_data()
    {
        QTest::addColumn<bool>("hadScan");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("files"); // the folder afterwards; %1 the item's id
        QTest::addColumn<QString>("history");   // "old|new" of the entry, empty: none
        QTest::newRow("replaced") << true << int(mbYes)
                                  << QStringList{"l%1.pdf", "l%1_20261209-141503.pdf"}
                                  << "l%1_20261209-141503.pdf|novi sken.pdf";
        QTest::newRow("first scan") << false << int(mbYes) << QStringList{"l%1.pdf"} << "|novi sken.pdf";
        QTest::newRow("answered no") << true << int(mbNo) << QStringList{"l%1.pdf"} << "";
    }

    void replace()
    {
        QFETCH(bool, hadScan);
        QFETCH(int, answer);
        QFETCH(QStringList, files);
        QFETCH(QString, history);
        ScanFolder folder;
        QTemporaryDir picked;
        const QString chosen = picked.filePath(QStringLiteral("novi sken.pdf"));
        QVERIFY(WriteTestPdf(chosen, 2));
        const qint64 id = fx.AddItem();
        const QString scan = folder.File(QStringLiteral("l%1.pdf").arg(id));
        if (hadScan)
            QVERIFY(WriteTestPdf(scan, 1));
        const QByteArray old = ReadTestFile(scan);
        const int entries = LedgerItemHistory(fx.Db.Connection(), id).size();
        TClock::TFixed clock(QDateTime(QDate(2026, 12, 9), QTime(14, 15, 3)));

        DetailFormOn on(id);
        on.form.ShowScanButton->click();
        on.dialogs->FileAnswers.push_back(chosen);
        on.dialogs->MessageAnswers.push_back(answer);
        on.form.ScanTS->ReplaceAction->trigger();

        QCOMPARE(on.dialogs->Messages.size(), 1);
        QCOMPARE(on.dialogs->Messages.first().Type, TMsgDlgType::Confirmation);
        for (QString &f : files)
            f = f.arg(id);
        QCOMPARE(folder.Files(), files);
        const QList<THistoryEntry> after = LedgerItemHistory(fx.Db.Connection(), id);
        QCOMPARE(after.size(), entries + (history.isEmpty() ? 0 : 1));
        if (history.isEmpty()) {
            QCOMPARE(ReadTestFile(scan), old);
            return;
        }
        QCOMPARE(ReadTestFile(scan), ReadTestFile(chosen));
        if (hadScan)
            QCOMPARE(ReadTestFile(folder.File(files.at(1))), old);
        QCOMPARE(after.first().Values.size(), 1);
        const THistoryValue &v = after.first().Values.first();
        QCOMPARE(v.Column, QStringLiteral("scan"));
        QCOMPARE(v.OldValue.toString() + u'|' + v.NewValue.toString(), history.replace(QStringLiteral("%1"), QString::number(id)));
        // The page shows the new file at once.
        QCOMPARE(on.form.ScanTS->PageCount(), 2);
        QCOMPARE(on.form.ScanStateLabel->text(), QStringLiteral("Sken: postoji"));
    }

    // A file that is no PDF is refused before anything moves.
    void notPdf()
    {
        ScanFolder folder;
        const qint64 id = fx.AddItem();
        QVERIFY(WriteTestPdf(folder.File(QStringLiteral("l%1.pdf").arg(id)), 1));
        const QString chosen = folder.File(QStringLiteral("slika.pdf"));
        QVERIFY(WriteTestFile(chosen, "GIF89a"));
        QVERIFY_THROWS_EXCEPTION(KException, ReplaceItemScan(fx.Db.Connection(), folder.Path(), id, chosen,
                                                             LedgerDM->HistoryActor(), QDateTime::currentDateTime()));
        QCOMPARE(folder.Files(), (QStringList{QStringLiteral("l%1.pdf").arg(id), QStringLiteral("slika.pdf")}));
    }

    // Two desks, each on a thread and connection of its own, replace the
    // same scans at once in the same second: they take turns on each item,
    // and no file is lost or written over.
    void twoDesks()
    {
        ScanFolder folder;
        QTemporaryDir picked;
        const QString chosen[2] = {picked.filePath(QStringLiteral("a.pdf")), picked.filePath(QStringLiteral("b.pdf"))};
        QVERIFY(WriteTestPdf(chosen[0], 2));
        QVERIFY(WriteTestPdf(chosen[1], 3));
        QList<qint64> items;
        QHash<qint64, QByteArray> originals;
        for (int i = 0; i < 6; ++i) {
            items << fx.AddItem();
            QVERIFY(WriteTestPdf(folder.File(QStringLiteral("l%1.pdf").arg(items.last())), 1));
            originals[items.last()] = ReadTestFile(folder.File(QStringLiteral("l%1.pdf").arg(items.last())));
        }
        const THistoryActor actor = LedgerDM->HistoryActor();
        const QDateTime at(QDate(2026, 12, 9), QTime(14, 15, 3));
        std::barrier meet(2);
        QString errors[2];
        auto desk = [&](int k) {
            try {
                auto connection = fx.Db.OpenSecondConnection();
                for (const qint64 id : items) {
                    meet.arrive_and_wait();
                    ReplaceItemScan(*connection, folder.Path(), id, chosen[k], actor, at);
                }
            } catch (const std::exception &e) {
                errors[k] = QString::fromUtf8(e.what());
                meet.arrive_and_drop();
            }
        };
        std::thread a(desk, 0), b(desk, 1);
        a.join();
        b.join();

        QVERIFY2(errors[0].isEmpty() && errors[1].isEmpty(), qPrintable(errors[0] + errors[1]));
        for (const qint64 id : items) {
            QStringList files;
            for (const QString &f : folder.Files())
                if (f.startsWith(QStringLiteral("l%1.").arg(id)) || f.startsWith(QStringLiteral("l%1_").arg(id)))
                    files << f;
            std::sort(files.begin(), files.end());
            QCOMPARE(files, (QStringList{QStringLiteral("l%1.pdf").arg(id), QStringLiteral("l%1_20261209-141503-2.pdf").arg(id),
                                         QStringLiteral("l%1_20261209-141503.pdf").arg(id)}));
            // The first desk kept the original, the second the first desk's file.
            QCOMPARE(ReadTestFile(folder.File(files.at(2))), originals[id]);
            QVERIFY(ReadTestFile(folder.File(files.at(0))) != ReadTestFile(folder.File(files.at(1))));
            QCOMPARE(LedgerItemHistory(fx.Db.Connection(), id).size(), 2);
        }
    }

private:
    LedgerFixture fx;
};

QTEST_MAIN(TestScanPage)
#include "tst_scanpage.moc"
