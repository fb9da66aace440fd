// The ledger's list frame over a real database: grid, actions, toolbar and
// menu, the quick date filters and the add / edit / delete handlers.

#include "Clock.h"
#include "ConsoleWindow.h"
#include "DocumentTextFixture.h"
#include "LedgerFixture.h"
#include "TestFiles.h"
#include "TestConsole.h"
#include "ValueListEditor.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "data/LedgerSearchCriteria.h"
#include "integration/LedgerRegistration.h"
#include "data/LedgerResourceString.h"
#include "screens/LedgerDetailUnit.h"
#include "screens/LedgerNavigatorUnit.h"
#include "screens/LedgerViewerUnit.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>
#include <QHash>
#include <QtTest>
#include <memory>
#include <optional>

namespace {

// The list as the console sees it: a snap-in whose data set is the item query.
class ListSnapin : public TInterfacedObject, public ISnapin
{
public:
    bool QueryInterface(const QUuid &iid, void **out) override
    {
        if (iid == ISnapin::IID())
            return answer<ISnapin>(this, out);
        return TInterfacedObject::QueryInterface(iid, out);
    }
    explicit ListSnapin(TDataSet *rows) : m_rows(rows) {}
    TDataSet *GetDataSet() override { return m_rows; }
    QString GetDescription() override { return {}; }
    QImage GetImage() override { return {}; }
    QString GetName() override { return QStringLiteral("Delovodnik"); }
    qint32 GetSnapinType() override { return 0; }

private:
    TDataSet *m_rows;
};

} // namespace

class TestLedgerViewer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.StartModule();
        m_ana = fx.Insert("user", {{"firstname", "Ana"}, {"lastname", "Petrović"}, {"login", "ana"}, {"passwordhash", "x"}});
        m_console = IRef<TestConsole>(new TestConsole);
        m_console->Security = IRef<TestSecurity>(new TestSecurity);
        m_console->Security->User = {qint32(m_ana), QStringLiteral("ana"), QStringLiteral("Ana"), QStringLiteral("Petrović")};
        GlobalConsole = IRef<IConsole>(m_console);

        // Days around week, month and year boundaries.
        const char *items[][2] = {
            {"2023-12-31 23:59:59", "1/24"},  {"2024-01-01 00:00:00", "2/24"},  {"2024-01-31 12:00:00", "3/24"},
            {"2024-02-01 00:00:00", "4/24"},  {"2024-02-29 23:59:59", "5/24"},  {"2024-03-01 00:00:00", "6/24"},
            {"2024-03-03 23:59:59", "7/24"},  {"2024-03-04 00:00:00", "8/24"},  {"2024-03-05 00:00:00", "9/24"},
            {"2024-03-05 23:59:59", "10/24"}, {"2024-03-06 08:15:00", "11/24"}, {"2024-03-10 23:59:59", "12/24"},
            {"2024-03-11 00:00:00", "13/24"}, {"2024-12-30 09:00:00", "14/24"}, {"2025-01-05 10:00:00", "1/25"},
            {"2025-01-06 10:00:00", "2/25"},
        };
        for (const auto &item : items)
            addItem(1, QLatin1String(item[0]), QLatin1String(item[1]));
        addItem(-1, QStringLiteral("2024-03-05 12:00:00"), QStringLiteral("1/24-I"));
    }

    void cleanupTestCase()
    {
        fx.Stop();
        m_console.reset();
    }

    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        m_clock.emplace(QDateTime(QDate(2024, 3, 5), QTime(10, 0)));
        m_frame = std::make_unique<TLedgerViewerForm>(nullptr);
        QVERIFY(LedgerFixture::Show(*m_frame, {1000, 400}));
    }

    void cleanup()
    {
        m_frame.reset();
        m_clock.reset();
    }

    // ---- Layout --------------------------------------------------------------------------

    void actions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<int>("image");

        QTest::newRow("add") << "CustomAdd" << "Dodaj" << QKeySequence(Qt::CTRL | Qt::Key_Insert) << 0;
        QTest::newRow("edit") << "CustomEdit" << "Uredi" << QKeySequence(Qt::CTRL | Qt::Key_Return) << 1;
        QTest::newRow("delete") << "CustomDelete" << "Izbriši" << QKeySequence(Qt::CTRL | Qt::Key_Delete) << 2;
        QTest::newRow("today") << "TodayAction" << "Danas" << QKeySequence(Qt::CTRL | Qt::Key_D) << 5;
        QTest::newRow("week") << "ThisWeekAction" << "Ove nedelje" << QKeySequence(Qt::CTRL | Qt::Key_N) << 6;
        QTest::newRow("month") << "ThisMonthAction" << "Ovog meseca" << QKeySequence(Qt::CTRL | Qt::Key_M) << 9;
        QTest::newRow("record") << "ProceedingAction" << "Zapisnik" << QKeySequence(Qt::CTRL | Qt::Key_Z) << 8;
        QTest::newRow("print") << "PrintListAction" << "Štampa liste" << QKeySequence(Qt::CTRL | Qt::Key_P) << 3;
        QTest::newRow("csv") << "ExportCsvAction" << "Izvoz u CSV…" << QKeySequence(Qt::CTRL | Qt::Key_E) << 4;
    }

    void actions()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        QFETCH(int, image);

        QCOMPARE(m_frame->ImageList.size(), 10);
        QAction *action = m_frame->ActionByName(name);
        QVERIFY(action && m_frame->ActionList().contains(action));
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut(), shortcut);
        QCOMPARE(action->icon().cacheKey(), m_frame->ImageList.at(image).cacheKey());
        QVERIFY(!action->icon().pixmap(16).isNull()); // the picture is found
        QVERIFY(action->isEnabled());
    }

    void toolbarAndMenu()
    {
        QStringList tools, menu;
        for (QAction *action : m_frame->ActionTB->actions())
            tools << (qobject_cast<QWidgetAction *>(action) ? QStringLiteral("|") : action->objectName());
        QCOMPARE(tools.join(u' '),
                 QStringLiteral("CustomAdd CustomEdit CustomDelete | TodayAction ThisWeekAction ThisMonthAction ProceedingAction"
                                " | PrintListAction ExportCsvAction CancelItemAction IntakeAction"));
        for (QAction *action : m_frame->PopupMenu->actions())
            menu << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
        QCOMPARE(menu.join(u' '), QStringLiteral("CustomAdd IntakeAction CustomEdit CustomDelete CancelItemAction - TodayAction ThisWeekAction "
                                                 "ThisMonthAction ProceedingAction HandoverBookAction - PrintListAction ExportCsvAction PrintStampAction "
                                                 "RegisterBookAction ContinuityAction DeletedItemsAction - YearClosingAction "
                                                 "ReopenYearAction - ColumnsVisibility"));
        // No caption is cut.
        for (QAction *action : m_frame->ActionList()) {
            if (auto *button = qobject_cast<QToolButton *>(m_frame->ActionTB->widgetForAction(action))) {
                // Print and export show their icons only, their captions in the tooltips.
                const bool iconOnly = action == m_frame->PrintListAction || action == m_frame->ExportCsvAction
                                      || action == m_frame->CancelItemAction
                                      || action->objectName() == QLatin1String("IntakeAction");
                QCOMPARE(button->toolButtonStyle(), iconOnly ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
                if (action == m_frame->ExportCsvAction)
                    QCOMPARE(button->toolTip(), QStringLiteral("Izvoz u CSV… (Ctrl+E)"));
                QVERIFY(button->width() >= button->sizeHint().width());
            }
        }
        QVERIFY(m_frame->ActionTB->widgetForAction(m_frame->ProceedingAction)->width() >= 61);
    }

    void gridColumns()
    {
        const std::tuple<const char *, const char *, int> columns[] = {
            {"direction", "Tip", 68},
            {"ledgernumber", "Delovodni broj", 72},
            {"ledgerdatetime", "Datum i vreme", 0},
            {"partnername", "Partner", 72},
            {"itemtype", "Vrsta dokumenta", 72},
            {"itemdate", "Datum dokumenta", 72},
            {"itemnumber", "Broj dokumenta", 72},
            {"inusername", "Upućeno od", 100},
            {"username", "Korisnik", 100},
            {"outusername", "Namenjeno", 72},
            {"subject", "Predmet", 240},
            {"classification", "Klas. oznaka", 80},
            {"orgunit", "Org. jedinica", 120},
            {"cancelled", "Stornirano", 80},
            {"cancelreason", "Razlog storniranja", 160},
        };
        TDBGrid *grid = m_frame->DBG;
        QCOMPARE(grid->DataSource(), m_frame->Items().LedgerItemDS);
        QCOMPARE(grid->Columns().size(), 15);
        const double unit = grid->columnWidth(1) / 72.0;
        // The register's columns are offered in the titles' menu, hidden at first.
        for (int i = 0; i < 15; ++i)
            QCOMPARE(grid->Columns()[i].Visible, i < 10);
        for (int i = 10; i < 15; ++i)
            grid->SetColumnVisible(i, true);
        for (int i = 0; i < 15; ++i) {
            const auto &[field, title, width] = columns[i];
            QCOMPARE(grid->Columns()[i].FieldName, QLatin1String(field));
            QCOMPARE(grid->model()->headerData(i, Qt::Horizontal).toString(), QString::fromUtf8(title));
            QVERIFY2(grid->columnWidth(i) > grid->fontMetrics().horizontalAdvance(QString::fromUtf8(title)), title);
            // Widths keep the proportions they had at 8 pt.
            if (width)
                QVERIFY2(qAbs(grid->columnWidth(i) - width * unit) <= 1.0, field);
        }
        QVERIFY(grid->columnWidth(2) > grid->fontMetrics().horizontalAdvance(QStringLiteral("05.03.2024 23:59:59")));
        for (int i = 10; i < 15; ++i)
            grid->SetColumnVisible(i, false);

        // The direction shows its caption, aligned as text.
        m_frame->TodayAction->trigger();
        QStringList directions;
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            const QModelIndex cell = grid->model()->index(row, 0);
            directions << cell.data().toString();
            QCOMPARE(cell.data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask, int(Qt::AlignLeft));
        }
        directions.sort();
        QCOMPARE(directions, QStringList({QStringLiteral("Izlazni"), QStringLiteral("Ulazni"), QStringLiteral("Ulazni")}));
    }

    // ---- Date filters ----------------------------------------------------------------------

    void dateFilters_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("numbers");

        const QStringList week{"1/24-I", "10/24", "11/24", "12/24", "8/24", "9/24"};
        QTest::newRow("today") << "TodayAction" << QDate(2024, 3, 5) << "2024-03-05" << "2024-03-05"
                               << QStringList{"1/24-I", "10/24", "9/24"};
        QTest::newRow("today, nothing") << "TodayAction" << QDate(2024, 3, 7) << "2024-03-07" << "2024-03-07" << QStringList{};
        QTest::newRow("week, Monday") << "ThisWeekAction" << QDate(2024, 3, 4) << "2024-03-04" << "2024-03-10" << week;
        QTest::newRow("week, Sunday") << "ThisWeekAction" << QDate(2024, 3, 10) << "2024-03-04" << "2024-03-10" << week;
        QTest::newRow("week over new year") << "ThisWeekAction" << QDate(2024, 12, 31) << "2024-12-30" << "2025-01-05"
                                            << QStringList{"1/25", "14/24"};
        QTest::newRow("month, leap February") << "ThisMonthAction" << QDate(2024, 2, 15) << "2024-02-01" << "2024-02-29"
                                              << QStringList{"4/24", "5/24"};
        QTest::newRow("month, January 31") << "ThisMonthAction" << QDate(2024, 1, 31) << "2024-01-01" << "2024-01-31"
                                           << QStringList{"2/24", "3/24"};
        QTest::newRow("month, December") << "ThisMonthAction" << QDate(2023, 12, 1) << "2023-12-01" << "2023-12-31"
                                         << QStringList{"1/24"};
    }

    void dateFilters()
    {
        QFETCH(QString, action);
        QFETCH(QDate, today);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QStringList, numbers);

        ScopedScriptedDialogs dialogs;
        TClock::TFixed clock(QDateTime(today, QTime(23, 30)));
        m_frame->ActionByName(action)->trigger();
        const QString sql = m_frame->Items().LedgerItemZQ->SQL();
        QVERIFY2(sql.endsWith(QStringLiteral("WHERE l.ledgerdatetime >= ? AND l.ledgerdatetime <= ?")), qPrintable(sql));
        QCOMPARE(sql.count(QStringLiteral("WHERE")), 1);
        QCOMPARE(m_frame->Items().LedgerItemZQ->Params(),
                 (QVariantList{QStringLiteral("%1 00:00:00").arg(from), QStringLiteral("%1 23:59:59").arg(to)}));
        QVERIFY(m_frame->Items().LedgerItemZQ->Active());
        QCOMPARE(numbersShown(), numbers);
        QVERIFY(dialogs->Messages.isEmpty());
        // Newest first, whatever ran before.
        const QAbstractItemModel *model = m_frame->DBG->model();
        for (int row = 1; row < model->rowCount(); ++row)
            QVERIFY(QDateTime::fromString(model->index(row - 1, 2).data().toString(), QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                    >= QDateTime::fromString(model->index(row, 2).data().toString(), QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    }

    void filterReplacesSearch()
    {
        TLedgerNavigatorForm navigator(nullptr);
        navigator.SetSearchTarget([this] { return &m_frame->Items(); });
        navigator.SearchVLE->SetValue(QStringLiteral("ledgernumber"), QStringLiteral("1"));
        navigator.FindButton->click();
        QCOMPARE(numbersShown().size(), 8);

        // By its shortcut, as the user would.
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        QTest::keyClick(m_frame->DBG, Qt::Key_N, Qt::ControlModifier);
        const QString sql = m_frame->Items().LedgerItemZQ->SQL();
        QVERIFY(!sql.contains(QStringLiteral("ledgernumber LIKE")));
        QCOMPARE(m_frame->Items().LedgerItemZQ->Params().value(1).toString(), QStringLiteral("2024-03-10 23:59:59"));
        QCOMPARE(numbersShown().size(), 6);
    }

    void startList_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QStringList>("shown"); // empty: the list stays closed
        const QStringList today{"10/24", "1/24-I", "9/24"}; // newest first
        QTest::newRow("no setting") << "" << today;
        QTest::newRow("on") << "[Ledger]\nOpenOnToday=1\n" << today;
        QTest::newRow("off") << "[ledger]\nopenontoday = 0\n" << QStringList();
    }

    void startList()
    {
        QFETCH(QString, ini);
        QFETCH(QStringList, shown);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kconsole.ini"));
        QVERIFY(WriteTestFile(path, ini.toUtf8()));

        m_frame->ShowStartList(TLedgerDM::OpenOnToday(path));
        QCOMPARE(m_frame->Items().LedgerItemZQ->Active(), !shown.isEmpty());
        QStringList numbers;
        for (int row = 0; row < m_frame->DBG->model()->rowCount(); ++row)
            numbers << m_frame->DBG->model()->index(row, 1).data().toString();
        QCOMPARE(numbers, shown);
    }

    // ---- The passage of a text search ------------------------------------------------------

    void textPassageTooltip()
    {
        const qint64 id = doctext::addItem(fx, {{"ledgernumber", "TT1/24"}},
                                           QStringLiteral("Poštovani, dostavljamo vam rešenje o upisu u registar."));
        TLedgerSearchCriteria criteria;
        criteria.Texts.insert(TLedgerSearchCriteria::Text, QStringLiteral("РЕШЕЊ"));
        QVariantList params;
        TLedgerItems::TTextRanking ranking;
        const QString condition = criteria.Condition(&fx.Db.Connection(), params, &ranking.Order, &ranking.Params);
        ranking.Typed = QStringLiteral("РЕШЕЊ");
        m_frame->Items().LedgerItemZQ->SetSortedFields(QString());
        m_frame->Items().ShowCondition(condition, params, ranking);
        const QAbstractItemModel *model = m_frame->DBG->model();
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 1).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("Poštovani, dostavljamo vam rešenje o upisu u registar."));
        // Without the text row the rows have no passage.
        m_frame->Items().ShowCondition(QStringLiteral("l.ledgeritemid = ?"), {id});
        QVERIFY(model->index(0, 1).data(Qt::ToolTipRole).isNull());
        m_frame->Items().LedgerItemZQ->Close();
        fx.Db.Connection().ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {id});
    }

    // ---- Sorting by a title --------------------------------------------------------------

    void titleSort_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QStringList>("first"); // the first numbers, in order
        QTest::addColumn<QString>("last");
        // Numbers as a clerk reads them, not letter by letter; dates by value, not by their text.
        QTest::newRow("number") << 1 << 1 << QStringList{"1/24", "1/24-I", "1/25", "2/24", "2/25", "3/24"} << "14/24";
        QTest::newRow("number, again") << 1 << 2 << QStringList{"14/24", "13/24", "12/24", "11/24", "10/24"} << "1/24";
        QTest::newRow("date") << 2 << 1 << QStringList{"1/24", "2/24", "3/24", "4/24"} << "2/25";
        QTest::newRow("date, again") << 2 << 2 << QStringList{"2/25", "1/25", "14/24", "13/24"} << "1/24";
        QTest::newRow("date, third time") << 2 << 3 << QStringList{"1/24", "2/24"} << "2/25";
    }

    void titleSort()
    {
        QFETCH(int, column);
        QFETCH(int, clicks);
        QFETCH(QStringList, first);
        QFETCH(QString, last);

        TZQuery *query = m_frame->Items().LedgerItemZQ;
        query->SetSortedFields(QString());
        query->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.direction >= -1")));
        query->Open();
        while (!query->Eof() && query->FieldByName(QStringLiteral("ledgernumber")).AsString() != QLatin1String("10/24"))
            query->Next();
        // Stored after the list was read: a sort that queried again would show it.
        const qint64 later = addItem(1, QStringLiteral("2024-03-05 11:00:00"), QStringLiteral("0/24"));
        const auto tidy = qScopeGuard(
            [&] { fx.Db.Connection().ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {later}); });
        QHeaderView *titles = m_frame->DBG->horizontalHeader();
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                              QPoint(titles->sectionViewportPosition(column) + titles->sectionSize(column) / 2,
                                     titles->height() / 2));

        QStringList numbers;
        const QAbstractItemModel *model = m_frame->DBG->model();
        for (int row = 0; row < model->rowCount(); ++row)
            numbers << model->index(row, 1).data().toString();
        QCOMPARE(numbers.mid(0, first.size()), first);
        QCOMPARE(numbers.last(), last);
        QCOMPARE(numbers.size(), 17);
        QVERIFY(titles->isSortIndicatorShown());
        QCOMPARE(titles->sortIndicatorSection(), column);
        QCOMPARE(titles->sortIndicatorOrder(), clicks % 2 ? Qt::AscendingOrder : Qt::DescendingOrder);
        // The item the clerk was on stays current.
        QCOMPARE(query->FieldByName(QStringLiteral("ledgernumber")).AsString(), QStringLiteral("10/24"));
        QCOMPARE(m_frame->DBG->currentIndex().row(), query->RecNo() - 1);

        // A new filter lists newest first again, and the arrow says so.
        m_frame->TodayAction->trigger();
        QCOMPARE(titles->sortIndicatorSection(), 2);
        QCOMPARE(titles->sortIndicatorOrder(), Qt::DescendingOrder);
    }

    // ---- In the console ------------------------------------------------------------------

    void consoleStatusBar()
    {
        ScopedScriptedDialogs dialogs;
        TConsoleWindow window(QStringLiteral("Ana Petrović"), QStringLiteral("SQLite: /tmp/k.db"));
        window.SetSnapins({IRef<ISnapin>(new ListSnapin(m_frame->Items().LedgerItemZQ))});
        QVERIFY(window.SelectSnapin(QString()));
        m_console->Services << IRef<IInterface>(window.StatusService());
        const auto tidy = qScopeGuard([&] { m_console->Services.clear(); });
        const QLabel *count = window.findChild<QLabel *>(QStringLiteral("countLabel"));
        QVERIFY(count && count->text().isEmpty());

        const struct
        {
            QDate Day;
            const char *Action;
            const char *Count;
        } lists[] = {
            {{2024, 3, 5}, "TodayAction", "3 stavke"},  {{2024, 3, 6}, "TodayAction", "1 stavka"},
            {{2024, 3, 7}, "TodayAction", "0 stavki"},  {{2024, 3, 5}, "ThisMonthAction", "9 stavki"},
        };
        for (const auto &list : lists) {
            TClock::TFixed clock(QDateTime(list.Day, QTime(12, 0)));
            m_frame->ActionByName(QLatin1String(list.Action))->trigger();
            QCOMPARE(count->text(), QLatin1String(list.Count));
        }

        const qint64 id = addItem(0, QStringLiteral("2030-06-01 09:00:00"), QStringLiteral("99/30"));
        const auto tidyItem = qScopeGuard(
            [&] { fx.Db.Connection().ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {id}); });
        TClock::TFixed clock(QDateTime(QDate(2030, 6, 1), QTime(12, 0)));
        m_frame->TodayAction->trigger();
        TZQuery *query = m_frame->Items().LedgerItemZQ;
        query->Append(); // not an item until saved
        QCOMPARE(count->text(), QStringLiteral("1 stavka"));
        query->Cancel();
        query->Edit();
        query->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Dopis"));
        query->Post();
        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("Sačuvano: 99/30"));
        dialogs->MessageAnswers.push_back(mbYes);
        m_frame->CustomDelete->trigger();
        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("Obrisano: 99/30"));
        QCOMPARE(count->text(), QStringLiteral("0 stavki"));
        window.ReleaseSnapins();
    }

    // ---- Handlers ----------------------------------------------------------------------------

    // The form gets a new row of its own; the list is left as it was until
    // the item is stored.
    void addGivesTheFormANewRow()
    {
        ScopedScriptedDialogs dialogs;
        TZQuery *query = m_frame->Items().LedgerItemZQ;
        const qint64 before = fx.ItemCount();
        bool detailForm = false;
        TDataSetState state = TDataSetState::Inactive;
        qint64 inUser = 0;
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto *form = qobject_cast<TLedgerDetailForm *>(&dialog);
            detailForm = form;
            if (form) {
                state = form->Items().LedgerItemZQ->State();
                inUser = form->Items().LedgerItemZQinuserid->AsLargeInt();
            }
            return int(QDialog::Rejected);
        });
        QVERIFY(!query->Active());
        m_frame->CustomAdd->trigger();

        QCOMPARE(dialogs->ModalCount, 1);
        QVERIFY(detailForm);
        QCOMPARE(state, TDataSetState::Insert); // the form gets the new row
        QCOMPARE(inUser, m_ana);               // with the data module's defaults
        QVERIFY(!query->Active());
        QVERIFY(dialogs->Messages.isEmpty());
        QCOMPARE(fx.ItemCount(), before);
    }

    void editNeedsOpenQuery_data()
    {
        QTest::addColumn<QString>("condition"); // empty: closed
        QTest::addColumn<int>("forms");
        QTest::newRow("closed") << QString() << 0;
        QTest::newRow("open and empty") << "l.ledgeritemid = -1" << 0;
        QTest::newRow("open with rows") << "l.ledgernumber = '9/24'" << 1;
    }

    void editNeedsOpenQuery()
    {
        QFETCH(QString, condition);
        QFETCH(int, forms);

        ScopedScriptedDialogs dialogs;
        if (!condition.isEmpty()) {
            m_frame->Items().ShowCondition(condition);
        }
        QObject *parent = nullptr;
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            parent = qobject_cast<TLedgerDetailForm *>(&dialog) ? dialog.parent() : nullptr;
            return int(QDialog::Rejected);
        });
        m_frame->CustomEdit->trigger();
        QCOMPARE(dialogs->ModalCount, forms);
        QCOMPARE(parent, forms ? m_frame.get() : nullptr);
        QVERIFY(dialogs->Messages.isEmpty());
    }

    void emptyListIgnoresDeleteAndDoubleClick()
    {
        ScopedScriptedDialogs dialogs;
        m_frame->Items().LedgerItemZQ->Open(); // l.ledgeritemid = -1: open, no rows
        m_frame->CustomDelete->trigger();
        QWidget *viewport = m_frame->DBG->viewport();
        const QPoint inside = viewport->rect().center();
        QCursor::setPos(viewport->mapToGlobal(inside));
        QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, inside);

        QCOMPARE(dialogs->ModalCount, 0);
        QVERIFY(dialogs->Messages.isEmpty());
        QVERIFY(m_frame->Items().LedgerItemZQ->Active());
    }

    void doubleClick_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("forms");
        QTest::newRow("title row") << "title" << 0;
        QTest::newRow("a data row") << "row" << 1;
        QTest::newRow("below the last row") << "below" << 1;
    }

    void doubleClick()
    {
        QFETCH(QString, where);
        QFETCH(int, forms);

        ScopedScriptedDialogs dialogs;
        m_frame->TodayAction->trigger();
        TDBGrid *grid = m_frame->DBG;
        QCOMPARE(grid->model()->rowCount(), 3);
        QWidget *target = grid->viewport();
        QPoint pos = grid->visualRect(grid->model()->index(1, 1)).center();
        if (where == QLatin1String("title")) {
            target = grid->horizontalHeader()->viewport();
            pos = QPoint(grid->horizontalHeader()->sectionViewportPosition(1) + 5, target->height() / 2);
        } else if (where == QLatin1String("below")) {
            pos = QPoint(20, grid->rowViewportPosition(2) + grid->rowHeight(2) * 3);
        }
        QVERIFY(target->rect().contains(pos));
        QCursor::setPos(target->mapToGlobal(pos));
        QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, pos);
        QCOMPARE(dialogs->ModalCount, forms);
        QVERIFY(dialogs->Messages.isEmpty());
    }

    void deleteRow_data()
    {
        QTest::addColumn<QString>("accepted");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("elsewhere"); // what another desk does after the list was read
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("shown"); // afterwards
        const QString changed = QStringLiteral("Stavka nije izbrisana: u međuvremenu je promenjena na drugom mestu. "
                                               "Lista je osvežena.");
        const QStringList item{QStringLiteral("99/30")};
        QTest::newRow("confirmed") << "n" << int(mbYes) << "" << true << QString() << QStringList();
        QTest::newRow("declined") << "n" << int(mbNo) << "" << false << QString() << item;
        QTest::newRow("accepted item") << "y" << int(mbYes) << "" << false << _LEDGER_DEL_ERR << item;
        QTest::newRow("accepted meanwhile") << "n" << int(mbYes) << "accept" << false << changed << item;
        QTest::newRow("taken over meanwhile") << "n" << int(mbYes) << "author" << false << changed << item;
        QTest::newRow("enclosure added meanwhile") << "n" << int(mbYes) << "enclose" << false << _LEDGER_PASSON_ERR << item;
        QTest::newRow("deleted meanwhile") << "n" << int(mbYes) << "delete" << false
                                           << "Stavka nije izbrisana: u međuvremenu je izbrisana na drugom mestu."
                                           << QStringList();
    }

    void deleteRow()
    {
        QFETCH(QString, accepted);
        QFETCH(int, answer);
        QFETCH(QString, elsewhere);
        QFETCH(bool, deleted);
        QFETCH(QString, error);
        QFETCH(QStringList, shown);

        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers.push_back(answer);
        const qint64 id = addItem(0, QStringLiteral("2030-06-01 09:00:00"), QStringLiteral("99/30"), accepted);
        const auto tidy = qScopeGuard([&] {
            fx.Db.Connection().ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ? OR parentid = ?"), {id, id});
        });
        TClock::TFixed clock(QDateTime(QDate(2030, 6, 1), QTime(12, 0)));
        m_frame->TodayAction->trigger();
        {
            auto desk = fx.Db.OpenSecondConnection();
            const QHash<QString, QString> changes{
                {QStringLiteral("accept"), QStringLiteral("UPDATE ledgeritem SET accepted = 'y' WHERE ledgeritemid = ?")},
                {QStringLiteral("author"), QStringLiteral("UPDATE ledgeritem SET userid = userid + 1000 WHERE ledgeritemid = ?")},
                {QStringLiteral("delete"), QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?")},
                {QStringLiteral("enclose"), QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, "
                                                           "itemtype, userid, parentid) VALUES (0, '2030-05-01 09:00:00', "
                                                           "'99/30-1', 'Dopis', 1, ?)")}};
            if (!elsewhere.isEmpty())
                desk->ExecSQL(changes.value(elsewhere), {id});
        }
        const qint64 before = fx.ItemCount();
        m_frame->CustomDelete->trigger();

        QCOMPARE(fx.ItemCount(), before - deleted);
        QCOMPARE(numbersShown(), shown);
        // The common question, and the data module's refusal shown as an error.
        // A stale row is found after the question, the other refusals before it.
        QCOMPARE(dialogs->Messages.size(), error.startsWith(QLatin1String("Stavka nije izbrisana")) ? 2 : 1);
        QCOMPARE(dialogs->Messages.last().Type, error.isEmpty() ? TMsgDlgType::Confirmation : TMsgDlgType::Error);
        if (!error.isEmpty())
            QCOMPARE(dialogs->Messages.last().Text, error);
    }

private:
    qint64 addItem(int direction, const QString &when, const QString &number, const QString &accepted = "n")
    {
        return fx.AddItem({{"direction", direction}, {"ledgerdatetime", when}, {"ledgernumber", number},
                           {"inuserid", m_ana}, {"accepted", accepted}});
    }

    QStringList numbersShown() const
    {
        QStringList numbers;
        const QAbstractItemModel *model = m_frame->DBG->model();
        for (int row = 0; row < model->rowCount(); ++row)
            numbers << model->index(row, 1).data().toString();
        numbers.sort();
        return numbers;
    }

    LedgerFixture fx;
    IRef<TestConsole> m_console;
    std::optional<TClock::TFixed> m_clock; // the day the filters see, per test
    std::unique_ptr<TLedgerViewerForm> m_frame;
    qint64 m_ana = 0;
};

QTEST_MAIN(TestLedgerViewer)
#include "tst_ledgerviewer.moc"
