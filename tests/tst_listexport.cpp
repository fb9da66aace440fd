// The list's CSV file and printout over a real database: what the grid
// shows, in its order, and nothing left behind by a cancelled export.

#include "CsvReader.h"
#include "DBGrid.h"
#include "InterfaceScript.h"
#include "LedgerFixture.h"
#include "LockedTables.h"
#include "ServerWait.h"
#include "ZQuery.h"
#include "data/LedgerCsvExport.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "data/LedgerSearchCriteria.h"
#include "screens/LedgerViewerUnit.h"

#include <QAction>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

class TestListExport : public QObject
{
    Q_OBJECT
    LedgerFixture fx;
    QTemporaryDir dir;
    std::unique_ptr<TLedgerViewerForm> list;

    // The three items of the test, newest first, as a search leaves them.
    void showItems()
    {
        list->Items().ShowCondition(QStringLiteral("l.ledgernumber LIKE 'CSV%'"));
        list->Items().LedgerItemZQ->SetSortedFields(QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC"));
    }

    CsvContent exportList(ScopedScriptedDialogs &dialogs, const QString &name)
    {
        dialogs->SaveFileAnswers.push_back(dir.filePath(name));
        list->ExportCsvAction->trigger();
        return ReadCsvFile(dir.filePath(name + QStringLiteral(".csv")));
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        const auto at = [](const char *text) { return QDateTime::fromString(QLatin1String(text), Qt::ISODate); };
        fx.AddItem({{"ledgernumber", "CSV1/24"}, {"ledgerdatetime", at("2024-03-05T08:30:00")},
                    {"itemtype", "Dopis \"hitno\"; lično"}, {"itemnumber", "007"}});
        fx.AddItem({{"ledgernumber", "CSV2/24"}, {"ledgerdatetime", at("2024-03-06T09:45:00")},
                    {"itemtype", "Rešenje\r\ndrugi red"}, {"itemnumber", "Čačak; Đurđevdan"}});
        fx.AddItem({{"ledgernumber", "CSV3/24"}, {"ledgerdatetime", at("2024-03-04T10:00:00")}, {"direction", -1},
                    {"itemtype", "Žalba"}, {"itemnumber", "0012"}, {"itemdate", QDate(2024, 2, 29)}});
        list = std::make_unique<TLedgerViewerForm>(nullptr);
    }

    void cleanupTestCase()
    {
        list.reset();
        fx.Stop();
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("cells"); // Tip, Delovodni broj, Datum i vreme, Vrsta, Datum dok., Broj dok.
        QTest::newRow("quotes, separator, leading zeros")
            << 2 << QStringList{"Ulazni", "CSV1/24", "05.03.2024 08:30", "Dopis \"hitno\"; lično", "", "007"};
        QTest::newRow("line break, Serbian letters")
            << 1 << QStringList{"Ulazni", "CSV2/24", "06.03.2024 09:45", "Rešenje\r\ndrugi red", "", "Čačak; Đurđevdan"};
        QTest::newRow("outgoing, date of the document")
            << 3 << QStringList{"Izlazni", "CSV3/24", "04.03.2024 10:00", "Žalba", "29.02.2024", "0012"};
    }

    void roundTrip()
    {
        QFETCH(int, row);
        QFETCH(QStringList, cells);
        ScopedScriptedDialogs dialogs;
        showItems();
        const CsvContent csv = exportList(dialogs, QStringLiteral("lista"));
        QVERIFY(csv.Bom);
        QCOMPARE(csv.Rows.size(), 4);
        const QStringList &got = csv.Rows.at(row);
        QCOMPARE((QStringList{got.value(0), got.value(1), got.value(2), got.value(4), got.value(5), got.value(6)}), cells);
    }

    // Hidden columns stay out, moved ones go where they are on screen, and
    // the rows follow the list's own order.
    void shownColumnsInOrder()
    {
        ScopedScriptedDialogs dialogs;
        showItems();
        TDBGrid &grid = *list->DBG;
        grid.SetColumnVisible(0, false);
        grid.SetColumnVisible(7, false);
        grid.SetVisualOrder({6, 1});
        list->Items().LedgerItemZQ->SetSortedFields(QStringLiteral("ledgernumber DESC"));
        const CsvContent csv = exportList(dialogs, QStringLiteral("kolone"));
        grid.SetVisualOrder({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        grid.SetColumnVisible(0, true);
        grid.SetColumnVisible(7, true);
        QCOMPARE(csv.Rows.value(0), (QStringList{"Broj dokumenta", "Delovodni broj", "Datum i vreme", "Partner",
                                                 "Vrsta dokumenta", "Datum dokumenta", "Korisnik", "Namenjeno"}));
        QCOMPARE(csv.Rows.value(1).mid(0, 2), (QStringList{"0012", "CSV3/24"}));
        QCOMPARE(csv.Rows.value(2).mid(0, 2), (QStringList{"Čačak; Đurđevdan", "CSV2/24"}));
        QCOMPARE(csv.Rows.value(3).mid(0, 2), (QStringList{"007", "CSV1/24"}));
    }

    // A cancel keeps the earlier file whole and writes no new one.
    void cancelLeavesNoFile()
    {
        ScopedScriptedDialogs dialogs;
        showItems();
        const QString earlier = dir.filePath(QStringLiteral("staro.csv"));
        QFile file(earlier);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("dobar fajl");
        file.close();
        dialogs->CancelTaskAt = 0;
        dialogs->SaveFileAnswers = {earlier, dir.filePath(QStringLiteral("novo.csv"))};
        list->ExportCsvAction->trigger();
        dialogs->TaskSteps.clear();
        list->ExportCsvAction->trigger();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("dobar fajl"));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("novo.csv"))));
        QCOMPARE(dialogs->TaskEnds, 2);
        QVERIFY(dialogs->Messages.isEmpty());
    }

    // The export of the items for the command line reads off this thread; a
    // stop while it waits for the database keeps the earlier file whole.
    void exportStoppedWhileReading()
    {
        const QString earlier = dir.filePath(QStringLiteral("izvoz.csv"));
        QFile file(earlier);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("dobar fajl");
        file.close();
        QList<qint64> asked;
        {
            LockedTables locked(fx.Db, {QStringLiteral("ledgeritem")});
            ScopedCancellingDialogs dialogs(locked);
            QVERIFY_THROWS_EXCEPTION(EAbort, ExportLedgerCsv(fx.Db.Connection(), TLedgerSearchCriteria(), earlier,
                                                             [&](qint64 rows) {
                                                                 asked << rows;
                                                                 locked.Release();
                                                                 return false;
                                                             }));
            QCOMPARE(dialogs->Notices, QStringList{LoadCancelledText});
        }
        QCOMPARE(asked, QList<qint64>{0});
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("dobar fajl"));
        file.close();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("izvoz")),
                 QStringList{"izvoz.csv"});
        // The next export reads the three items.
        QCOMPARE(ExportLedgerCsv(fx.Db.Connection(), LedgerExportCriteria({{"ledgernumber", "CSV"}}), earlier, {}), 3);
    }

    // The command line's export in the interface's script: titles and the
    // program's words; the data as typed.
    void exportInScript_data()
    {
        QTest::addColumn<int>("script");
        QTest::addColumn<QStringList>("titles"); // the first three
        QTest::addColumn<QStringList>("newest"); // Tip, Delovodni broj, Vrsta; Storniran
        QTest::newRow("latinica") << int(TScript::Latin) << QStringList{"Tip", "Delovodni broj", "Datum i vreme"}
                                  << QStringList{"Ulazni", "CSV2/24", "Rešenje\r\ndrugi red", "Ne"};
        QTest::newRow("ćirilica") << int(TScript::Cyrillic) << QStringList{"Тип", "Деловодни број", "Датум и време"}
                                  << QStringList{"Улазни", "CSV2/24", "Rešenje\r\ndrugi red", "Не"};
    }

    void exportInScript()
    {
        QFETCH(int, script);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, newest);
        SetInterfaceScript(TScript(script));
        const auto latinAgain = qScopeGuard([] { SetInterfaceScript(TScript::Latin); });
        const QString name = dir.filePath(QStringLiteral("pismo.csv"));
        QCOMPARE(ExportLedgerCsv(fx.Db.Connection(), LedgerExportCriteria({{"ledgernumber", "CSV"}}), name, {}), 3);
        const CsvContent csv = ReadCsvFile(name);
        QCOMPARE(csv.Rows.at(0).mid(0, 3), titles);
        const QStringList &row = csv.Rows.at(1);
        QCOMPARE((QStringList{row.at(0), row.at(1), row.at(4), row.at(13)}), newest);
    }

    void printsThroughPreview()
    {
        ScopedScriptedDialogs dialogs;
        showItems();
        const QString pdf = dir.filePath(QStringLiteral("lista.pdf"));
        dialogs->PreviewHandlers.push_back([&](QPrinter &printer, const std::function<void(QPrinter &)> &paint) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            paint(printer);
        });
        list->PrintListAction->trigger();
        QCOMPARE(dialogs->Previews, QStringList{"Lista stavki delovodnika"});
        QVERIFY(QFileInfo(pdf).size() > 1000);
    }
};

QTEST_MAIN(TestListExport)
#include "tst_listexport.moc"
