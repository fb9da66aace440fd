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
        if (!file.isEmpty())
            QVERIFY(file == "pdf3" ? WriteTestPdf(folder.Scan(id), 3)
                                   : WriteTestFile(folder.Scan(id), file == "-" ? QByteArray() : file));

        DetailFormOn on(id);
        TScanPage &page = *on.form.ScanTS;
        QCOMPARE(on.form.ScanStateLabel->text(), state);
        QVERIFY(!page.Loaded()); // read only when opened
        on.form.ShowScanButton->click();
        QCOMPARE(on.form.PageControl->currentWidget(), &page);
        QCOMPARE(page.PageCount(), pages);
        QVERIFY2(message.isEmpty() ? page.Message().isEmpty() : page.Message().startsWith(message), qPrintable(page.Message()));
        QVERIFY(on.dialogs->Messages.isEmpty());
        if (pages == 0)
            return;
        QCOMPARE(page.View->zoomMode(), QPdfView::ZoomMode::FitToWidth);
        // With KLEDGER_SCREENSHOT_DIR set: sken.png, the page on a scan.
        if (const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR"); !dir.isEmpty()) {
            QVERIFY(QTest::qWaitForWindowExposed(&on.form));
            QTest::qWait(500); // the view draws its pages on a thread of its own
            QVERIFY(on.form.grab().save(dir + QStringLiteral("/sken.png")));
        }
        page.NextAction->trigger();
        page.NextAction->trigger();
        QCOMPARE(page.CurrentPage(), 2);
        QVERIFY(!page.NextAction->isEnabled());
        page.ZoomInAction->trigger();
        QCOMPARE(page.View->zoomMode(), QPdfView::ZoomMode::Custom);
        QCOMPARE(page.View->zoomFactor(), 1.25);
        page.FitWidthAction->trigger();
        QCOMPARE(page.View->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    }

    void replace_data()
    {
        QTest::addColumn<bool>("hadScan");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("files"); // the folder afterwards; %1 the item's id
        QTest::addColumn<QString>("history");   // "old|new" of the entry, empty: none
        QTest::newRow("replaced") << true << int(mbYes) << QStringList{"l%1.pdf", "l%1_20261209-141503.pdf"}
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
        QVERIFY(!hadScan || WriteTestPdf(folder.Scan(id), 1));
        const QByteArray old = ReadTestFile(folder.Scan(id));
        TClock::TFixed clock(QDateTime(QDate(2026, 12, 9), QTime(14, 15, 3)));

        DetailFormOn on(id);
        on.form.ShowScanButton->click();
        on.dialogs->FileAnswers.push_back(chosen);
        on.dialogs->MessageAnswers.push_back(answer);
        on.form.ScanTS->ReplaceAction->trigger();

        QCOMPARE(on.dialogs->Messages.size(), 1);
        QCOMPARE(on.dialogs->Messages.first().Type, TMsgDlgType::Confirmation);
        QCOMPARE(folder.Files(id), files.replaceInStrings(QStringLiteral("%1"), QString::number(id)));
        const QList<THistoryEntry> entries = LedgerItemHistory(fx.Db.Connection(), id);
        QCOMPARE(entries.size(), history.isEmpty() ? 0 : 1);
        QCOMPARE(ReadTestFile(folder.Scan(id)), history.isEmpty() ? old : ReadTestFile(chosen));
        if (history.isEmpty())
            return;
        if (hadScan)
            QCOMPARE(ReadTestFile(folder.File(files.at(1))), old);
        const THistoryValue &v = entries.first().Values.value(0);
        QCOMPARE(v.Column + u':' + v.OldValue.toString() + u'|' + v.NewValue.toString(),
                 QStringLiteral("scan:") + history.replace(QStringLiteral("%1"), QString::number(id)));
        // The page shows the new file at once.
        QCOMPARE(on.form.ScanTS->PageCount(), 2);
        QCOMPARE(on.form.ScanStateLabel->text(), QStringLiteral("Sken: postoji"));
    }

    // A file that is no PDF is refused before anything moves.
    void notPdf()
    {
        ScanFolder folder;
        const qint64 id = fx.AddItem();
        QVERIFY(WriteTestPdf(folder.Scan(id), 1));
        QVERIFY(WriteTestFile(folder.File(QStringLiteral("slika.pdf")), "GIF89a"));
        QVERIFY_THROWS_EXCEPTION(KException, ReplaceItemScan(fx.Db.Connection(), folder.Path(), id,
                                                             folder.File(QStringLiteral("slika.pdf")),
                                                             LedgerDM->HistoryActor(), QDateTime::currentDateTime()));
        QCOMPARE(folder.Files(), (QStringList{QStringLiteral("l%1.pdf").arg(id), QStringLiteral("slika.pdf")}));
    }

    // Two desks, each on a thread and connection of its own, replace the
    // same scans at once in the same second: they take turns on each item,
    // and no file is lost or written over.
    void twoDesks()
    {
        ScanFolder folder;
        const QString chosen[2] = {folder.File(QStringLiteral("a.pdf")), folder.File(QStringLiteral("b.pdf"))};
        QVERIFY(WriteTestPdf(chosen[0], 2) && WriteTestPdf(chosen[1], 3));
        QList<qint64> items;
        QHash<qint64, QByteArray> originals;
        for (int i = 0; i < 6; ++i) {
            items << fx.AddItem();
            QVERIFY(WriteTestPdf(folder.Scan(items.last()), 1));
            originals[items.last()] = ReadTestFile(folder.Scan(items.last()));
        }
        const THistoryActor actor = LedgerDM->HistoryActor();
        std::barrier meet(2);
        QString errors[2];
        auto desk = [&](int k) {
            try {
                auto connection = fx.Db.OpenSecondConnection();
                for (const qint64 id : items) {
                    meet.arrive_and_wait();
                    ReplaceItemScan(*connection, folder.Path(), id, chosen[k], actor,
                                    QDateTime(QDate(2026, 12, 9), QTime(14, 15, 3)));
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
            const QStringList files = folder.Files(id);
            QCOMPARE(files, QStringList({"l%1.pdf", "l%1_20261209-141503-2.pdf", "l%1_20261209-141503.pdf"})
                                .replaceInStrings(QStringLiteral("%1"), QString::number(id)));
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
