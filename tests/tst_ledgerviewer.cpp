// The ledger's list frame over a real database: its grid, actions, toolbar
// and menu, the quick date filters and the add / edit / delete handlers.

#include "CommonStrings.h"
#include "DBGrid.h"
#include "ScriptedDialogs.h"
#include "TestConsole.h"
#include "TestDb.h"
#include "ValueListEditor.h"
#include "data/LedgerDMUnit.h"
#include "integration/LedgerRegistration.h"
#include "integration/LedgerResourceString.h"
#include "screens/LedgerDetailUnit.h"
#include "screens/LedgerNavigatorUnit.h"
#include "screens/LedgerViewerUnit.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSqlQuery>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>
#include <QtTest>
#include <algorithm>
#include <memory>

class TestLedgerViewer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void actions_data();
    void actions();
    void images();
    void toolbarAndMenu();
    void gridColumns();
    void dateFilters_data();
    void dateFilters();
    void filterReplacesSearch();
    void shortcutRunsFilter();
    void addOpensClosedQuery();
    void editNeedsOpenQuery_data();
    void editNeedsOpenQuery();
    void emptyListIgnoresDeleteAndDoubleClick();
    void doubleClick_data();
    void doubleClick();
    void deleteRow_data();
    void deleteRow();

private:
    qint64 insertUser(const QString &first, const QString &last, const QString &login);
    qint64 insertItem(int direction, const QString &when, const QString &number, const QString &accepted = QStringLiteral("n"));
    qint64 count(const QString &sql);
    QStringList numbersShown() const;
    void setToday(const QDateTime &now);

    std::unique_ptr<TestDb> m_db;
    IRef<TestConsole> m_console;
    std::unique_ptr<TLedgerViewerForm> m_frame;
    qint64 m_ana = 0;
    qint64 m_marko = 0;
};

// ---- Fixture ----------------------------------------------------------------------

qint64 TestLedgerViewer::insertUser(const QString &first, const QString &last, const QString &login)
{
    m_db->Connection().ExecSQL(
        QStringLiteral("INSERT INTO user (firstname, lastname, login, passwordhash) VALUES (?, ?, ?, 'x')"),
        {first, last, login});
    return m_db->Connection().LastInsertID();
}

qint64 TestLedgerViewer::insertItem(int direction, const QString &when, const QString &number, const QString &accepted)
{
    m_db->Connection().ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, "
                                              "inuserid, userid, accepted) VALUES (?, ?, ?, 'Dopis', ?, ?, ?)"),
                               {direction, when, number, m_ana, m_ana, accepted});
    return m_db->Connection().LastInsertID();
}

qint64 TestLedgerViewer::count(const QString &sql)
{
    auto q = m_db->Connection().OpenQuery(sql);
    return q->next() ? q->value(0).toLongLong() : -1;
}

QStringList TestLedgerViewer::numbersShown() const
{
    QStringList numbers;
    const QAbstractItemModel *model = m_frame->DBG->model();
    for (int row = 0; row < model->rowCount(); ++row)
        numbers << model->index(row, 1).data().toString();
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void TestLedgerViewer::setToday(const QDateTime &now)
{
    TLedgerViewerForm::Now = [now] { return now; };
}

void TestLedgerViewer::initTestCase()
{
    Initialize();
    m_db = std::make_unique<TestDb>();
    REQUIRE_TESTDB(*m_db);
    LedgerDM->SetZConnection(&m_db->Connection());
    m_ana = insertUser(QStringLiteral("Ana"), QStringLiteral("Petrović"), QStringLiteral("ana"));
    m_marko = insertUser(QStringLiteral("Marko"), QStringLiteral("Šušnjar"), QStringLiteral("marko"));

    m_console = IRef<TestConsole>(new TestConsole);
    m_console->Security = IRef<TestSecurity>(new TestSecurity);
    m_console->Security->Connection = &m_db->Connection();
    m_console->Security->User = TUserDesc{qint32(m_ana), QStringLiteral("ana"), QStringLiteral("Ana"), QStringLiteral("Petrović")};
    GlobalConsole = IRef<IConsole>(m_console);

    // Days around month, week and year boundaries.
    const std::pair<const char *, const char *> items[] = {
        {"2023-12-31 23:59:59", "1/24"},  {"2024-01-01 00:00:00", "2/24"},  {"2024-01-31 12:00:00", "3/24"},
        {"2024-02-01 00:00:00", "4/24"},  {"2024-02-29 23:59:59", "5/24"},  {"2024-03-01 00:00:00", "6/24"},
        {"2024-03-03 23:59:59", "7/24"},  {"2024-03-04 00:00:00", "8/24"},  {"2024-03-05 00:00:00", "9/24"},
        {"2024-03-05 23:59:59", "10/24"}, {"2024-03-06 08:15:00", "11/24"}, {"2024-03-10 23:59:59", "12/24"},
        {"2024-03-11 00:00:00", "13/24"}, {"2024-12-30 09:00:00", "14/24"}, {"2025-01-05 10:00:00", "1/25"},
        {"2025-01-06 10:00:00", "2/25"},
    };
    for (const auto &[when, number] : items)
        insertItem(1, QLatin1String(when), QLatin1String(number));
    // An outgoing item on the same day, for the direction captions.
    insertItem(-1, QStringLiteral("2024-03-05 12:00:00"), QStringLiteral("1/24-I"));
}

void TestLedgerViewer::cleanupTestCase()
{
    m_frame.reset();
    if (LedgerDM)
        LedgerDM->SetZConnection(nullptr);
    Finalize();
    m_console.reset();
    m_db.reset();
}

void TestLedgerViewer::init()
{
    REQUIRE_TESTDB(*m_db);
    TZQuery *query = LedgerDM->LedgerItemZQ;
    query->Close();
    query->SetSQL(TLedgerDM::LedgerItemSQL);
    query->SetSortedFields(QString());
    setToday(QDateTime(QDate(2024, 3, 5), QTime(10, 0)));
    m_frame = std::make_unique<TLedgerViewerForm>(nullptr);
    m_frame->resize(1000, 400);
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
}

void TestLedgerViewer::cleanup()
{
    m_frame.reset();
    TZQuery *query = LedgerDM->LedgerItemZQ;
    if (query->State() == TDataSetState::Insert || query->State() == TDataSetState::Edit)
        query->Cancel();
    query->Close();
    TLedgerViewerForm::Now = [] { return QDateTime::currentDateTime(); };
}

// ---- Layout ------------------------------------------------------------------------

void TestLedgerViewer::actions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<int>("image");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("add") << "CustomAdd" << "Dodaj" << QKeySequence(Qt::CTRL | Qt::Key_Insert) << 0 << true;
    QTest::newRow("edit") << "CustomEdit" << "Uredi" << QKeySequence(Qt::CTRL | Qt::Key_Return) << 1 << true;
    QTest::newRow("delete") << "CustomDelete" << "Izbriši" << QKeySequence(Qt::CTRL | Qt::Key_Delete) << 2 << true;
    QTest::newRow("today") << "TodayAction" << "Danas" << QKeySequence(Qt::CTRL | Qt::Key_D) << 5 << true;
    QTest::newRow("week") << "ThisWeekAction" << "Ove nedelje" << QKeySequence(Qt::CTRL | Qt::Key_N) << 6 << true;
    QTest::newRow("month") << "ThisMonthAction" << "Ovog meseca" << QKeySequence(Qt::CTRL | Qt::Key_M) << 9 << true;
    // The handover record is not there yet.
    QTest::newRow("record") << "ProceedingAction" << "Zapisnik" << QKeySequence(Qt::CTRL | Qt::Key_Z) << 8 << false;
}

void TestLedgerViewer::actions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(int, image);
    QFETCH(bool, enabled);

    QAction *action = m_frame->ActionByName(name);
    QVERIFY(action);
    QVERIFY(m_frame->ActionList().contains(action));
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->icon().cacheKey(), m_frame->ImageList.at(image).cacheKey());
    QCOMPARE(action->isEnabled(), enabled);
}

void TestLedgerViewer::images()
{
    QCOMPARE(m_frame->ImageList.size(), 10);
    QList<QImage> seen;
    for (const QIcon &icon : std::as_const(m_frame->ImageList)) {
        const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(16, 16));
        QVERIFY(!seen.contains(image));
        seen << image;
    }
}

void TestLedgerViewer::toolbarAndMenu()
{
    QStringList tools;
    for (QAction *action : m_frame->ActionTB->actions())
        tools << (qobject_cast<QWidgetAction *>(action) || action->isSeparator() ? QStringLiteral("|")
                                                                                 : action->objectName());
    QCOMPARE(tools.join(u' '), QStringLiteral("CustomAdd CustomEdit CustomDelete | TodayAction ThisWeekAction "
                                              "ThisMonthAction ProceedingAction"));

    QStringList menu;
    for (QAction *action : m_frame->PopupMenu->actions())
        menu << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    QCOMPARE(menu.join(u' '), QStringLiteral("CustomAdd CustomEdit CustomDelete - TodayAction ThisWeekAction "
                                             "ThisMonthAction ProceedingAction - ColumnsVisibility"));

    // Captions are readable on every button: none is cut to fewer pixels than it needs.
    for (const char *name : {"CustomAdd", "ThisWeekAction", "ProceedingAction"}) {
        auto *button = qobject_cast<QToolButton *>(m_frame->ActionTB->widgetForAction(m_frame->ActionByName(QLatin1String(name))));
        QVERIFY(button);
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
        QVERIFY2(button->width() >= button->sizeHint().width(), name);
    }
    auto *last = m_frame->ActionTB->widgetForAction(m_frame->ProceedingAction);
    QVERIFY(last->width() >= 61);
}

void TestLedgerViewer::gridColumns()
{
    const QStringList fields{QStringLiteral("direction"),  QStringLiteral("ledgernumber"), QStringLiteral("ledgerdatetime"),
                             QStringLiteral("partnername"), QStringLiteral("itemtype"),     QStringLiteral("itemdate"),
                             QStringLiteral("itemnumber"),  QStringLiteral("inusername"),   QStringLiteral("username"),
                             QStringLiteral("outusername")};
    const QStringList titles{QStringLiteral("Tip"),        QStringLiteral("Delovodni broj"), QStringLiteral("Datum i vreme"),
                             QStringLiteral("Partner"),     QStringLiteral("Vrsta dokumenta"), QStringLiteral("Datum dokumenta"),
                             QStringLiteral("Broj dokumenta"), QStringLiteral("Upućeno od"), QStringLiteral("Korisnik"),
                             QStringLiteral("Namenjeno")};
    const QList<int> original{68, 72, 0, 72, 72, 72, 72, 100, 100, 72};

    TDBGrid *grid = m_frame->DBG;
    QCOMPARE(grid->DataSource(), LedgerDM->LedgerItemDS);
    QCOMPARE(grid->Columns().size(), fields.size());
    for (int i = 0; i < fields.size(); ++i) {
        QCOMPARE(grid->Columns()[i].FieldName, fields[i]);
        QCOMPARE(grid->model()->headerData(i, Qt::Horizontal).toString(), titles[i]);
    }
    // Widths keep the proportions they had at 8 pt.
    const double unit = grid->columnWidth(1) / 72.0;
    QVERIFY(unit >= 1.0);
    for (int i = 0; i < fields.size(); ++i) {
        if (original[i] > 0)
            QVERIFY2(qAbs(grid->columnWidth(i) - original[i] * unit) <= 1.0, qPrintable(fields[i]));
    }
    // Titles and a date-time fit their columns.
    for (int i = 0; i < fields.size(); ++i)
        QVERIFY2(grid->columnWidth(i) >= grid->fontMetrics().horizontalAdvance(titles[i]), qPrintable(titles[i]));
    QVERIFY(grid->columnWidth(2) > grid->fontMetrics().horizontalAdvance(QStringLiteral("05.03.2024 23:59:59")));

    // The direction shows its caption, aligned as text.
    m_frame->TodayAction->trigger();
    QStringList directions;
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        const QModelIndex cell = grid->model()->index(row, 0);
        directions << cell.data().toString();
        QCOMPARE(Qt::Alignment(cell.data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    }
    directions.sort();
    QCOMPARE(directions, QStringList({QStringLiteral("Izlazni"), QStringLiteral("Ulazni"), QStringLiteral("Ulazni")}));
}

// ---- Date filters --------------------------------------------------------------------

void TestLedgerViewer::dateFilters_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QStringList>("numbers");

    const auto at = [](int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(10, 30)); };
    const auto between = [](const char *from, const char *to) {
        return QStringLiteral("WHERE l.ledgerdatetime >= '%1 00:00:00' AND l.ledgerdatetime <= '%2 23:59:59'")
            .arg(QLatin1String(from), QLatin1String(to));
    };
    QTest::newRow("today") << "TodayAction" << at(2024, 3, 5)
                           << "WHERE l.ledgerdatetime >= '2024-03-05 00:00:00' AND l.ledgerdatetime <= '2024-03-05 23:59:59'"
                           << QStringList{"1/24-I", "10/24", "9/24"};
    QTest::newRow("today, nothing recorded") << "TodayAction" << at(2024, 3, 7) << between("2024-03-07", "2024-03-07")
                                             << QStringList{};
    QTest::newRow("week, on its Monday") << "ThisWeekAction" << at(2024, 3, 4) << between("2024-03-04", "2024-03-10")
                                         << QStringList{"1/24-I", "10/24", "11/24", "12/24", "8/24", "9/24"};
    QTest::newRow("week, on its Sunday") << "ThisWeekAction" << at(2024, 3, 10) << between("2024-03-04", "2024-03-10")
                                         << QStringList{"1/24-I", "10/24", "11/24", "12/24", "8/24", "9/24"};
    QTest::newRow("week across the new year") << "ThisWeekAction" << at(2024, 12, 31)
                                              << between("2024-12-30", "2025-01-05") << QStringList{"1/25", "14/24"};
    QTest::newRow("month, leap February") << "ThisMonthAction" << at(2024, 2, 15) << between("2024-02-01", "2024-02-29")
                                          << QStringList{"4/24", "5/24"};
    QTest::newRow("month, January on its last day") << "ThisMonthAction" << at(2024, 1, 31)
                                                    << between("2024-01-01", "2024-01-31") << QStringList{"2/24", "3/24"};
    QTest::newRow("month, December") << "ThisMonthAction" << at(2023, 12, 1) << between("2023-12-01", "2023-12-31")
                                     << QStringList{"1/24"};
}

void TestLedgerViewer::dateFilters()
{
    QFETCH(QString, action);
    QFETCH(QDateTime, now);
    QFETCH(QString, where);
    QFETCH(QStringList, numbers);

    ScopedScriptedDialogs dialogs;
    setToday(now);
    m_frame->ActionByName(action)->trigger();
    TZQuery *query = LedgerDM->LedgerItemZQ;
    QVERIFY(query->Active());
    QVERIFY2(query->SQL().endsWith(where), qPrintable(query->SQL()));
    QCOMPARE(query->SQL().count(QStringLiteral("WHERE")), 1);
    QCOMPARE(numbersShown(), numbers);
    QVERIFY(dialogs->Messages.isEmpty());
}

void TestLedgerViewer::filterReplacesSearch()
{
    ScopedScriptedDialogs dialogs;
    TLedgerNavigatorForm navigator(nullptr);
    navigator.SearchVLE->SetValue(QStringLiteral("ledgernumber"), QStringLiteral("1"));
    navigator.FindButton->click();
    TZQuery *query = LedgerDM->LedgerItemZQ;
    QVERIFY(query->SQL().contains(QStringLiteral("l.ledgernumber LIKE '1%'")));
    QCOMPARE(numbersShown().size(), 8);

    m_frame->ThisWeekAction->trigger();
    QVERIFY(!query->SQL().contains(QStringLiteral("ledgernumber LIKE")));
    QVERIFY(query->SQL().endsWith(
        QStringLiteral("WHERE l.ledgerdatetime >= '2024-03-04 00:00:00' AND l.ledgerdatetime <= '2024-03-10 23:59:59'")));
    QCOMPARE(numbersShown().size(), 6);
    QVERIFY(dialogs->Messages.isEmpty());
}

void TestLedgerViewer::shortcutRunsFilter()
{
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    m_frame->DBG->setFocus();
    QTest::keyClick(m_frame->DBG, Qt::Key_M, Qt::ControlModifier);
    QVERIFY(LedgerDM->LedgerItemZQ->Active());
    QVERIFY(LedgerDM->LedgerItemZQ->SQL().endsWith(QStringLiteral("<= '2024-03-31 23:59:59'")));
}

// ---- Handlers --------------------------------------------------------------------------

void TestLedgerViewer::addOpensClosedQuery()
{
    ScopedScriptedDialogs dialogs;
    TZQuery *query = LedgerDM->LedgerItemZQ;
    QVERIFY(!query->Active());
    const qint64 before = count(QStringLiteral("SELECT COUNT(*) FROM ledgeritem"));

    bool detailForm = false;
    TDataSetState state = TDataSetState::Inactive;
    QString number;
    qint64 inUser = 0;
    dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
        detailForm = qobject_cast<TLedgerDetailForm *>(&dialog) != nullptr;
        state = query->State();
        number = LedgerDM->LedgerItemZQledgernumber->AsString();
        inUser = LedgerDM->LedgerItemZQinuserid->AsLargeInt();
        return int(QDialog::Rejected);
    });
    m_frame->CustomAdd->trigger();

    QCOMPARE(dialogs->ModalCount, 1);
    QVERIFY(detailForm);
    QCOMPARE(state, TDataSetState::Insert);
    QVERIFY(!number.isEmpty());
    QCOMPARE(inUser, m_ana);
    QVERIFY(query->Active());
    QVERIFY(dialogs->Messages.isEmpty());
    if (query->State() == TDataSetState::Insert)
        query->Cancel();
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ledgeritem")), before);
}

void TestLedgerViewer::editNeedsOpenQuery_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<int>("forms");
    QTest::newRow("closed") << false << QString() << 0;
    QTest::newRow("open and empty") << true << "l.ledgeritemid = -1" << 1;
    QTest::newRow("open with rows") << true << "l.ledgernumber = '9/24'" << 1;
}

void TestLedgerViewer::editNeedsOpenQuery()
{
    QFETCH(bool, open);
    QFETCH(QString, condition);
    QFETCH(int, forms);

    ScopedScriptedDialogs dialogs;
    TZQuery *query = LedgerDM->LedgerItemZQ;
    if (open) {
        query->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(condition));
        query->Open();
    }
    bool detailForm = false;
    QObject *parent = nullptr;
    dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
        detailForm = qobject_cast<TLedgerDetailForm *>(&dialog) != nullptr;
        parent = dialog.parent();
        return int(QDialog::Rejected);
    });
    m_frame->CustomEdit->trigger();
    QCOMPARE(dialogs->ModalCount, forms);
    if (forms) {
        QVERIFY(detailForm);
        QCOMPARE(parent, m_frame.get());
    }
    QVERIFY(dialogs->Messages.isEmpty());
}

void TestLedgerViewer::emptyListIgnoresDeleteAndDoubleClick()
{
    ScopedScriptedDialogs dialogs;
    TZQuery *query = LedgerDM->LedgerItemZQ;
    query->Open(); // l.ledgeritemid = -1: open, no rows
    QVERIFY(query->IsEmpty());
    const qint64 before = count(QStringLiteral("SELECT COUNT(*) FROM ledgeritem"));

    m_frame->CustomDelete->trigger();
    QWidget *viewport = m_frame->DBG->viewport();
    const QPoint inside(viewport->width() / 2, viewport->height() / 2);
    QCursor::setPos(viewport->mapToGlobal(inside));
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, inside);

    QCOMPARE(dialogs->ModalCount, 0);
    QVERIFY(dialogs->Messages.isEmpty());
    QVERIFY(query->Active());
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ledgeritem")), before);
}

void TestLedgerViewer::doubleClick_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("forms");
    QTest::newRow("title row") << "title" << 0;
    QTest::newRow("a data row") << "row" << 1;
    QTest::newRow("below the last row") << "below" << 1;
}

void TestLedgerViewer::doubleClick()
{
    QFETCH(QString, where);
    QFETCH(int, forms);

    ScopedScriptedDialogs dialogs;
    m_frame->TodayAction->trigger(); // three rows
    TDBGrid *grid = m_frame->DBG;
    QCOMPARE(grid->model()->rowCount(), 3);

    QWidget *target = grid->viewport();
    QPoint pos;
    if (where == QLatin1String("title")) {
        QHeaderView *titles = grid->horizontalHeader();
        target = titles->viewport();
        pos = QPoint(titles->sectionViewportPosition(1) + 5, titles->height() / 2);
    } else if (where == QLatin1String("row")) {
        pos = grid->visualRect(grid->model()->index(1, 1)).center();
    } else {
        pos = QPoint(20, grid->rowViewportPosition(2) + grid->rowHeight(2) * 3);
        QVERIFY(pos.y() < target->height());
    }
    QCursor::setPos(target->mapToGlobal(pos));
    QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, pos);

    QCOMPARE(dialogs->ModalCount, forms);
    QVERIFY(dialogs->Messages.isEmpty());
}

void TestLedgerViewer::deleteRow_data()
{
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<QString>("error");

    QTest::newRow("confirmed") << "n" << int(mbYes) << true << QString();
    QTest::newRow("declined") << "n" << int(mbNo) << false << QString();
    QTest::newRow("accepted item") << "y" << int(mbYes) << false << _LEDGER_DEL_ERR;
}

void TestLedgerViewer::deleteRow()
{
    QFETCH(QString, accepted);
    QFETCH(int, answer);
    QFETCH(bool, deleted);
    QFETCH(QString, error);

    ScopedScriptedDialogs dialogs;
    dialogs->MessageAnswers.push_back(answer);
    const qint64 id = insertItem(0, QStringLiteral("2030-06-01 09:00:00"), QStringLiteral("99/30"), accepted);
    setToday(QDateTime(QDate(2030, 6, 1), QTime(12, 0)));
    m_frame->TodayAction->trigger();
    QCOMPARE(numbersShown(), QStringList{QStringLiteral("99/30")});

    m_frame->CustomDelete->trigger();

    const QString exists = QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE ledgeritemid = %1").arg(id);
    QCOMPARE(count(exists), deleted ? 0 : 1);
    QCOMPARE(LedgerDM->LedgerItemZQ->RecordCount(), deleted ? 0 : 1);
    if (error.isEmpty()) {
        QVERIFY(std::all_of(dialogs->Messages.begin(), dialogs->Messages.end(),
                            [](const auto &m) { return m.Type == TMsgDlgType::Confirmation; }));
    } else {
        QCOMPARE(dialogs->Messages.size(), 1);
        QCOMPARE(dialogs->Messages.last().Text, error);
        QCOMPARE(dialogs->Messages.last().Type, TMsgDlgType::Error);
    }
    m_db->Connection().ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {id});
}

QTEST_MAIN(TestLedgerViewer)
#include "tst_ledgerviewer.moc"
