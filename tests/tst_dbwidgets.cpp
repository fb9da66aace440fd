// Data-aware widgets over a live query on a real database: the grid, the
// bound edit, combo box and check box, and the value list editor.

#include "DBControls.h"
#include "TestRows.h"
#include "DBGrid.h"
#include "KException.h"
#include "PartnerTable.h"
#include "ValueListEditor.h"
#include "ZQuery.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

namespace {

const QStringList Names = {QStringLiteral("Alfa"), QStringLiteral("Beta"), QStringLiteral("Gama"),
                           QStringLiteral("Delta"), QStringLiteral("Epsilon")};
const QVariantList Cities = {QStringLiteral("Beograd"), QStringLiteral("Novi Sad"), QStringLiteral("Subotica"),
                             QVariant(), QStringLiteral("Niš")};

// Rows made in memory, for sizes a database fill would make slow.
class MemDataSet : public TDataSet
{
public:
    int Rows = 0;

protected:
    void InternalOpen() override
    {
        ResetStore();
        for (int i = 0; i < Rows; ++i) {
            const uint32_t r = Store().AddRow();
            Store().SetInt(r, 0, i);
            Order().push_back(r);
        }
    }
    QVariant InternalPost(bool, const std::vector<TField *> &) override { return {}; }
    void InternalDelete() override {}
};

QPoint gridPoint(const TDBGrid &grid, int row, int column)
{
    return grid.viewport()->mapTo(&grid, grid.visualRect(grid.model()->index(row, column)).center());
}

} // namespace

enum class Move { First, Last, Next, RecNo4, Prior };
Q_DECLARE_METATYPE(Move)

class TestDbWidgets : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { REQUIRE_TESTDB(fx.Db); }

    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start();
        for (int i = 0; i < Names.size(); ++i)
            fx.AddPartner(Names[i], QStringLiteral("Ulica %1").arg(i + 1), Cities[i]);
        openPartners();
    }

    void cleanup() { fx.Stop(); }

    // ---- Grid ---------------------------------------------------------------------------

    void gridShowsColumns()
    {
        TDBGrid grid;
        grid.SetDataSource(fx.Source.get());
        // Without columns of its own, one per field.
        QCOMPARE(grid.model()->columnCount(), 4);
        QCOMPARE(grid.model()->rowCount(), 5);

        fx.Query->FieldByName(QStringLiteral("name")).SetDisplayLabel(QStringLiteral("Naziv"));
        grid.AddColumn(QStringLiteral("name"), 120);
        grid.AddColumn(QStringLiteral("city"), 0, QStringLiteral("Mesto"));
        grid.AddColumn(QStringLiteral("nosuchfield"));
        QCOMPARE(grid.model()->columnCount(), 3);
        QCOMPARE(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Naziv"));
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Mesto"));
        QCOMPARE(grid.columnWidth(0), 120);
        QCOMPARE(grid.columnWidth(1), TDBGrid::DefaultColumnWidth);
        QCOMPARE(grid.model()->index(2, 0).data().toString(), QStringLiteral("Gama"));
        QCOMPARE(grid.model()->index(3, 1).data().toString(), QString());
        QCOMPARE(grid.model()->index(1, 2).data().toString(), QString());

        // Widths and visibility survive the data set being reopened.
        grid.SetColumnVisible(1, false);
        fx.Query->Close();
        QCOMPARE(grid.model()->rowCount(), 0);
        fx.Query->Open();
        QCOMPARE(grid.model()->rowCount(), 5);
        QVERIFY(grid.isColumnHidden(1));
        QCOMPARE(grid.columnWidth(0), 120);

        // A user's resize is kept in the column.
        grid.horizontalHeader()->resizeSection(0, 150);
        QCOMPARE(grid.Columns().at(0).Width, 150);
    }

    void gridFollowsDataSet_data()
    {
        QTest::addColumn<Move>("move");
        QTest::addColumn<int>("row");
        QTest::newRow("last") << Move::Last << 4;
        QTest::newRow("next") << Move::Next << 1;
        QTest::newRow("recno") << Move::RecNo4 << 3;
        QTest::newRow("prior at first") << Move::Prior << 0;
        QTest::newRow("first after last") << Move::First << 0;
    }

    void gridFollowsDataSet()
    {
        QFETCH(Move, move);
        QFETCH(int, row);
        TDBGrid grid;
        grid.SetDataSource(fx.Source.get());
        QCOMPARE(grid.currentIndex().row(), 0);
        switch (move) {
        case Move::First: fx.Query->Last(); fx.Query->First(); break;
        case Move::Last: fx.Query->Last(); break;
        case Move::Next: fx.Query->Next(); break;
        case Move::RecNo4: fx.Query->SetRecNo(4); break;
        case Move::Prior: fx.Query->Prior(); break;
        }
        QCOMPARE(grid.currentIndex().row(), row);
        QVERIFY(grid.selectionModel()->isRowSelected(row, {}));
        QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);
    }

    void gridMovesDataSet_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("recNo");
        QTest::newRow("click row 3") << "click" << 3;
        QTest::newRow("key down") << "down" << 2;
        QTest::newRow("key end") << "end" << 5;
    }

    void gridMovesDataSet()
    {
        QFETCH(QString, how);
        QFETCH(int, recNo);
        TDBGrid grid;
        grid.resize(400, 300);
        grid.SetDataSource(fx.Source.get());
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        if (how == QLatin1String("click"))
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(2, 1)).center());
        else if (how == QLatin1String("down"))
            QTest::keyClick(&grid, Qt::Key_Down);
        else
            QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(fx.Query->RecNo(), recNo);
        QCOMPARE(grid.currentIndex().row(), recNo - 1);
        QVERIFY(fx.dialogs().Messages.isEmpty());
    }

    void gridTracksInsertAndDelete()
    {
        TDBGrid grid;
        grid.SetDataSource(fx.Source.get());
        fx.Query->SetRecNo(2);
        fx.Query->Insert();
        QCOMPARE(grid.model()->rowCount(), 6);
        QCOMPARE(grid.currentIndex().row(), 1);
        fx.Query->FieldByName(QStringLiteral("name")).SetAsString(QStringLiteral("Novi"));
        QCOMPARE(grid.model()->index(1, 1).data().toString(), QStringLiteral("Novi"));
        QCOMPARE(grid.model()->index(2, 1).data().toString(), QStringLiteral("Beta"));
        fx.Query->Cancel();
        QCOMPARE(grid.model()->rowCount(), 5);
        QCOMPARE(grid.model()->index(1, 1).data().toString(), QStringLiteral("Beta"));

        fx.Query->Last();
        fx.Query->Delete();
        QCOMPARE(grid.model()->rowCount(), 4);
        QCOMPARE(grid.currentIndex().row(), 3);
        QCOMPARE(grid.model()->index(3, 1).data().toString(), QStringLiteral("Delta"));

        // A value change of the current row reaches the view.
        QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
        fx.Query->Edit();
        fx.Query->FieldByName(QStringLiteral("city")).SetAsString(QStringLiteral("Zrenjanin"));
        QVERIFY(!changed.isEmpty());
        QCOMPARE(changed.last().at(0).toModelIndex().row(), 3);
        QCOMPARE(grid.model()->index(3, 3).data().toString(), QStringLiteral("Zrenjanin"));
    }

    void gridKeepsRecordWhenColumnsChange()
    {
        QWidget frame;
        frame.resize(400, 300);
        auto *layout = new QVBoxLayout(&frame);
        auto *grid = new TDBGrid;
        layout->addWidget(grid);
        fx.Query->SetRecNo(3);
        grid->SetDataSource(fx.Source.get());
        grid->AddColumn(QStringLiteral("name"));
        grid->AddColumn(QStringLiteral("city"));
        QCOMPARE(grid->currentIndex().row(), 2);
        grid->SetColumns({grid->Columns().at(1)});
        QCOMPARE(grid->currentIndex().row(), 2);
        // Taking the focus must not move the data set.
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        grid->setFocus();
        QCOMPARE(fx.Query->RecNo(), 3);
    }

    void gridRefusedMoveStaysOnRecord()
    {
        TDBGrid grid;
        grid.SetDataSource(fx.Source.get());
        fx.Query->BeforePost = [](TDataSet &) { throw EDatabaseError(QStringLiteral("odbijeno")); };
        fx.Query->Edit();
        fx.Query->FieldByName(QStringLiteral("name")).SetAsString(QStringLiteral("izmenjeno")); // an untouched row is just cancelled
        grid.setCurrentIndex(grid.model()->index(3, 0));
        QCOMPARE(fx.Query->RecNo(), 1);
        QCOMPARE(fx.Query->State(), TDataSetState::Edit);
        QCOMPARE(grid.currentIndex().row(), 0);
        QCOMPARE(fx.dialogs().Messages.size(), 1);
        QCOMPARE(fx.dialogs().Messages.at(0).Text, QStringLiteral("odbijeno"));
    }

    void gridDisabledControls()
    {
        TDBGrid grid;
        grid.resize(400, 300);
        grid.SetDataSource(fx.Source.get());
        fx.Query->DisableControls();
        fx.Query->Last();
        fx.Query->Delete(); // the grid still believes in five rows
        QCOMPARE(grid.currentIndex().row(), 0);
        QCOMPARE(grid.model()->rowCount(), 5);
        grid.grab(); // painting a row that is gone must not fail
        fx.Query->EnableControls();
        QCOMPARE(grid.model()->rowCount(), 4);
        QCOMPARE(grid.currentIndex().row(), 3);
    }

    void gridEditsCells()
    {
        TDBGrid grid;
        grid.SetDataSource(fx.Source.get());
        grid.AddColumn(QStringLiteral("name"));
        const int city = grid.AddColumn(QStringLiteral("city"));
        TColumn locked = grid.Columns().at(0);
        locked.ReadOnly = true;
        grid.SetColumn(0, locked);

        const QModelIndex cityCell = grid.model()->index(0, city);
        QVERIFY(!(grid.model()->flags(cityCell) & Qt::ItemIsEditable)); // read-only grid by default
        grid.SetReadOnly(false);
        QVERIFY(grid.model()->flags(cityCell) & Qt::ItemIsEditable);
        QVERIFY(!(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsEditable));

        QVERIFY(!grid.model()->setData(grid.model()->index(2, city), QStringLiteral("Kragujevac"))); // not current
        QVERIFY(grid.model()->setData(cityCell, QStringLiteral("Kragujevac")));
        QCOMPARE(fx.Query->State(), TDataSetState::Edit);
        fx.Query->Post();
        QCOMPARE(dbText(QStringLiteral("city"), idAt(1)), QStringLiteral("Kragujevac"));

        // A refused write is shown and leaves the cell.
        TField &name = fx.Query->FieldByName(QStringLiteral("city"));
        name.OnSetText = [](TField &, const QString &) { throw EDatabaseError(QStringLiteral("ne može")); };
        QVERIFY(!grid.model()->setData(cityCell, QStringLiteral("X")));
        QCOMPARE(fx.dialogs().Messages.size(), 1);
        name.OnSetText = nullptr;
    }

    void gridEditorHandedOverOnPost()
    {
        TDBGrid grid;
        grid.resize(400, 300);
        grid.SetDataSource(fx.Source.get());
        grid.AddColumn(QStringLiteral("name"));
        const int city = grid.AddColumn(QStringLiteral("city"));
        TColumn c = grid.Columns().at(city);
        c.PickList = QStringList{QStringLiteral("Beograd"), QStringLiteral("Kraljevo")};
        grid.SetColumn(city, c);
        grid.SetReadOnly(false);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));

        fx.Query->SetRecNo(2);
        const QModelIndex cell = grid.model()->index(1, city);
        grid.setCurrentIndex(cell);
        grid.edit(cell);
        auto *combo = qobject_cast<QComboBox *>(grid.indexWidget(cell));
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->currentText(), QStringLiteral("Novi Sad")); // the cell may hold other text
        combo->setCurrentIndex(1);

        // The open editor's text reaches the field when the data set posts.
        fx.Query->Edit();
        fx.Query->Post();
        QCOMPARE(dbText(QStringLiteral("city"), idAt(2)), QStringLiteral("Kraljevo"));
    }

    void gridCellAt_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("title") << "title" << 0 << 1;
        QTest::newRow("first row") << "first" << 1 << 0;
        QTest::newRow("third row") << "third" << 3 << 1;
        QTest::newRow("below rows") << "below" << -1 << 0;
        QTest::newRow("right of columns") << "right" << 2 << -1;
    }

    void gridCellAt()
    {
        QFETCH(QString, where);
        QFETCH(int, row);
        QFETCH(int, col);
        TDBGrid grid;
        grid.resize(400, 300);
        grid.SetDataSource(fx.Source.get());
        grid.AddColumn(QStringLiteral("name"), 80);
        grid.AddColumn(QStringLiteral("city"), 80);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));

        QPoint p;
        if (where == QLatin1String("title")) {
            const QHeaderView *h = grid.horizontalHeader();
            p = h->mapTo(&grid, QPoint(h->sectionViewportPosition(1) + 10, h->height() / 2));
        } else if (where == QLatin1String("first")) {
            p = gridPoint(grid, 0, 0);
        } else if (where == QLatin1String("third")) {
            p = gridPoint(grid, 2, 1);
        } else if (where == QLatin1String("below")) {
            p = gridPoint(grid, 4, 0) + QPoint(0, grid.rowHeight(4) * 2);
        } else {
            p = gridPoint(grid, 1, 1) + QPoint(100, 0);
        }
        const TDBGrid::TGridCoord cell = grid.CellAt(p);
        QCOMPARE(cell.Row, row);
        QCOMPARE(cell.Col, col);
    }

    void gridDoubleClick()
    {
        TDBGrid grid;
        grid.resize(400, 300);
        grid.SetDataSource(fx.Source.get());
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QList<int> rows;
        grid.OnDblClick = [&] {
            rows << grid.CellAt(grid.LastMousePos()).Row;
            if (rows.size() == 3)
                throw EDatabaseError(QStringLiteral("dupli klik"));
        };
        QTest::mouseDClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(1, 0)).center());
        QCOMPARE(rows, (QList<int>{0, 2}));
        QCOMPARE(fx.Query->RecNo(), 2);
        // An exception from the handler is shown, not passed to Qt.
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(1, 0)).center());
        QCOMPARE(fx.dialogs().Messages.size(), 1);
    }

    void gridMillionRows_data()
    {
        QTest::addColumn<int>("recNo");
        QTest::addColumn<int>("topRow"); // -1: anywhere, as long as the current row shows
        QTest::newRow("near the top") << 3 << 0;
        QTest::newRow("in the middle") << 500001 << -1;
    }

    // Only the cells on screen are read, and the current row shows from the start.
    void gridMillionRows()
    {
        QFETCH(int, recNo);
        QFETCH(int, topRow);
        MemDataSet data;
        TField &n = data.AddField(QStringLiteral("n"), TFieldType::Integer);
        int asked = 0;
        n.OnGetText = [&](TField &f, QString &text, bool) {
            ++asked;
            text = QString::number(f.AsInteger());
        };
        data.Rows = 1000000;
        data.Open();
        data.SetRecNo(recNo);
        TDataSource source;
        source.SetDataSet(&data);
        // Inside a frame, as the screens hold it.
        QWidget frame;
        frame.resize(300, 200);
        auto *layout = new QVBoxLayout(&frame);
        layout->addWidget(new QLineEdit); // takes the focus
        auto *owned = new TDBGrid(&frame); // a child is small until shown
        layout->addWidget(owned);
        TDBGrid &grid = *owned;
        grid.SetDataSource(&source);
        grid.AddColumn(QStringLiteral("n"), 80);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        grid.grab();
        QCOMPARE(grid.model()->rowCount(), 1000000);
        QCOMPARE(grid.currentIndex().row(), recNo - 1);
        QVERIFY(grid.viewport()->rect().contains(grid.visualRect(grid.currentIndex())));
        if (topRow >= 0)
            QCOMPARE(grid.rowAt(0), topRow);
        QVERIFY2(asked < 500, qPrintable(QString::number(asked)));
        asked = 0;
        data.Last();
        QCOMPARE(grid.currentIndex().row(), 999999);
        grid.grab();
        QVERIFY2(asked < 500, qPrintable(QString::number(asked)));
        QCOMPARE(grid.model()->index(999999, 0).data().toString(), QStringLiteral("999999"));
    }

    // ---- Bound controls ---------------------------------------------------------------------

    void editFollowsAndPosts()
    {
        TDBEdit edit;
        edit.SetDataSource(fx.Source.get());
        edit.SetDataField(QStringLiteral("name"));
        QCOMPARE(edit.text(), QStringLiteral("Alfa"));
        fx.Query->Next();
        QCOMPARE(edit.text(), QStringLiteral("Beta"));

        edit.end(false);
        QTest::keyClicks(&edit, QStringLiteral("X"));
        QCOMPARE(fx.Query->State(), TDataSetState::Edit);
        QCOMPARE(edit.text(), QStringLiteral("BetaX"));
        fx.Query->Post();
        QCOMPARE(dbText(QStringLiteral("name"), idAt(2)), QStringLiteral("BetaX"));
        QCOMPARE(fx.Query->FieldByName(QStringLiteral("name")).AsString(), QStringLiteral("BetaX"));

        // Return hands the text over without a post.
        QTest::keyClicks(&edit, QStringLiteral("Y"));
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(fx.Query->FieldByName(QStringLiteral("name")).AsString(), QStringLiteral("BetaXY"));
        QCOMPARE(dbText(QStringLiteral("name"), idAt(2)), QStringLiteral("BetaX"));
        // Moving to another row posts it.
        fx.Query->Next();
        QCOMPARE(dbText(QStringLiteral("name"), idAt(2)), QStringLiteral("BetaXY"));
        QCOMPARE(edit.text(), QStringLiteral("Gama"));
    }

    void editConversionErrorRefusesPost()
    {
        TDBEdit edit;
        edit.SetDataSource(fx.Source.get());
        edit.SetDataField(QStringLiteral("partnerid"));
        const qint64 id = idAt(1);
        QCOMPARE(edit.text(), QString::number(id));
        edit.end(false);
        QTest::keyClicks(&edit, QStringLiteral("x"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, fx.Query->Post());
        QCOMPARE(fx.Query->State(), TDataSetState::Edit);
        QCOMPARE(edit.text(), QString::number(id) + QStringLiteral("x"));
        QCOMPARE(fx.Query->FieldByName(QStringLiteral("partnerid")).AsLargeInt(), id);
        // Another control's change of the row keeps the pending text too.
        fx.Query->FieldByName(QStringLiteral("city")).SetAsString(QStringLiteral("Sombor"));
        QCOMPARE(edit.text(), QString::number(id) + QStringLiteral("x"));
        // Finishing the edit shows the error instead of throwing.
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(fx.dialogs().Messages.size(), 1);
        fx.Query->Cancel();
    }

    void editCancelReverts()
    {
        TDBEdit edit;
        TDBEdit city;
        edit.SetDataSource(fx.Source.get());
        edit.SetDataField(QStringLiteral("name"));
        city.SetDataSource(fx.Source.get());
        city.SetDataField(QStringLiteral("city"));
        QTest::keyClicks(&edit, QStringLiteral("zzz"));
        QTest::keyClicks(&city, QStringLiteral("qq"));
        fx.Query->Cancel();
        QCOMPARE(fx.Query->State(), TDataSetState::Browse);
        QCOMPARE(edit.text(), QStringLiteral("Alfa"));
        QCOMPARE(city.text(), QStringLiteral("Beograd"));
        QCOMPARE(dbText(QStringLiteral("name"), idAt(1)), QStringLiteral("Alfa"));

        // A refused Edit() reverts what was typed.
        fx.Query->BeforeEdit = [](TDataSet &) { throw EDatabaseError(QStringLiteral("zaključano")); };
        QTest::keyClicks(&edit, QStringLiteral("w"));
        QCOMPARE(edit.text(), QStringLiteral("Alfa"));
        QCOMPARE(fx.Query->State(), TDataSetState::Browse);
        QCOMPARE(fx.dialogs().Messages.size(), 1);
    }

    void editKeepsPendingTextOnSameRow()
    {
        TDBEdit edit;
        edit.SetDataSource(fx.Source.get());
        edit.SetDataField(QStringLiteral("name"));
        edit.SetReadOnly(true);
        QTest::keyClicks(&edit, QStringLiteral("r"));
        QCOMPARE(fx.Query->State(), TDataSetState::Browse);
        edit.SetReadOnly(false);

        edit.end(false);
        QTest::keyClicks(&edit, QStringLiteral("1"));
        fx.Query->DisableControls();
        fx.Query->EnableControls(); // nothing happened: no reset
        fx.Query->DisableControls();
        fx.Query->FieldByName(QStringLiteral("city")).SetAsString(QStringLiteral("Vršac"));
        fx.Query->EnableControls(); // a whole reset, same row
        QCOMPARE(edit.text(), QStringLiteral("Alfa1"));
        fx.Query->Post();
        QCOMPARE(dbText(QStringLiteral("name"), idAt(1)), QStringLiteral("Alfa1"));

        // An empty data set: typing inserts the first row.
        fx.Db.Connection().ExecSQL(QStringLiteral("DELETE FROM partner"));
        fx.Query->Close();
        fx.Query->Open();
        QCOMPARE(edit.text(), QString());
        QTest::keyClicks(&edit, QStringLiteral("Prvi"));
        QCOMPARE(fx.Query->State(), TDataSetState::Insert);
        QCOMPARE(edit.text(), QStringLiteral("Prvi"));
        fx.Query->Post();
        QCOMPARE(dbText(QStringLiteral("name"), fx.Query->FieldByName(QStringLiteral("partnerid")).AsLargeInt()), QStringLiteral("Prvi"));
    }

    void comboShowsField_data()
    {
        QTest::addColumn<int>("recNo");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<QString>("text");
        QTest::newRow("listed") << 2 << 1 << false << "Novi Sad";
        QTest::newRow("not listed") << 3 << -1 << false << "";
        QTest::newRow("null") << 4 << -1 << false << "";
        QTest::newRow("editable, not listed") << 3 << -1 << true << "Subotica";
        QTest::newRow("editable, listed") << 1 << 0 << true << "Beograd";
    }

    void comboShowsField()
    {
        QFETCH(int, recNo);
        QFETCH(int, index);
        QFETCH(bool, editable);
        QFETCH(QString, text);
        TDBComboBox combo;
        combo.SetItems({QStringLiteral("Beograd"), QStringLiteral("Novi Sad"), QStringLiteral("Niš")});
        combo.SetStyle(editable ? TDBComboBox::TStyle::DropDown : TDBComboBox::TStyle::DropDownList);
        combo.SetDataSource(fx.Source.get());
        combo.SetDataField(QStringLiteral("city"));
        fx.Query->SetRecNo(recNo);
        QCOMPARE(combo.currentIndex(), index);
        QCOMPARE(combo.currentText(), text);
    }

    void comboUserChoice()
    {
        TDBComboBox combo;
        combo.SetItems({QStringLiteral("Beograd"), QStringLiteral("Novi Sad"), QStringLiteral("Niš")});
        combo.SetDataSource(fx.Source.get());
        combo.SetDataField(QStringLiteral("city"));
        QString seen;
        connect(&combo, &TDBComboBox::userChanged, this, [&](int index) {
            seen = fx.Query->FieldByName(QStringLiteral("city")).AsString() + QString::number(index);
        });
        QTest::keyClick(&combo, Qt::Key_Down);
        QCOMPARE(fx.Query->State(), TDataSetState::Edit);
        QCOMPARE(seen, QStringLiteral("Novi Sad1")); // written before the signal
        fx.Query->Post();
        QCOMPARE(dbText(QStringLiteral("city"), idAt(1)), QStringLiteral("Novi Sad"));

        // Read-only: the key changes nothing.
        combo.SetReadOnly(true);
        QTest::keyClick(&combo, Qt::Key_Down);
        QCOMPARE(combo.currentIndex(), 1);
        QCOMPARE(fx.Query->State(), TDataSetState::Browse);

        // Programmatic changes of the field are no user choice.
        combo.SetReadOnly(false);
        seen.clear();
        fx.Query->Edit();
        fx.Query->FieldByName(QStringLiteral("city")).SetAsString(QStringLiteral("Niš"));
        QCOMPARE(combo.currentIndex(), 2);
        QVERIFY(seen.isEmpty());
        fx.Query->Cancel();
    }

    void checkBoxValues()
    {
        TZConnection &c = fx.Db.Connection();
        c.ExecSQL(QStringLiteral("DELETE FROM ledgeritem"));
        for (const char *flag : {"y", "n"})
            c.ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid, accepted) "
                                     "VALUES (1, '2024-03-01 10:00:00', ?, 'Dopis', 1, ?)"),
                      {QString::fromLatin1(flag) + QStringLiteral("-1"), QString::fromLatin1(flag)});
        TZQuery items;
        items.SetConnection(&c);
        items.SetSQL(QStringLiteral("SELECT ledgeritemid, accepted FROM ledgeritem ORDER BY ledgeritemid"));
        items.RequestLive = true;
        items.Open();
        TDataSource source;
        source.SetDataSet(&items);

        TDBCheckBox flag, asBoolean;
        flag.SetCheckValues(QStringLiteral("y"), QStringLiteral("n"));
        for (TDBCheckBox *box : {&flag, &asBoolean}) {
            box->SetDataSource(&source);
            box->SetDataField(QStringLiteral("accepted"));
        }
        QVERIFY(flag.isChecked());
        QVERIFY(asBoolean.isChecked());
        items.Next();
        QVERIFY(!flag.isChecked());
        QVERIFY(!asBoolean.isChecked());

        flag.click();
        QCOMPARE(items.State(), TDataSetState::Edit);
        QCOMPARE(items.FieldByName(QStringLiteral("accepted")).AsString(), QStringLiteral("y"));
        QVERIFY(asBoolean.isChecked());
        items.Post();
        auto q = c.OpenQuery(QStringLiteral("SELECT accepted FROM ledgeritem WHERE ledgeritemid = ?"),
                             {items.FieldByName(QStringLiteral("ledgeritemid")).AsLargeInt()});
        QVERIFY(q->next());
        QCOMPARE(q->value(0).toString(), QStringLiteral("y"));

        flag.SetReadOnly(true);
        flag.click();
        QVERIFY(flag.isChecked());
        QCOMPARE(items.State(), TDataSetState::Browse);
    }

    void controlsSurviveDestruction_data()
    {
        flagRows("sourceFirst", {{"data source first", true}, {"data set first", false}});
    }

    void controlsSurviveDestruction()
    {
        QFETCH(bool, sourceFirst);
        TDBEdit edit;
        TDBComboBox combo;
        TDBCheckBox check;
        TDBGrid grid;
        edit.SetDataSource(fx.Source.get());
        edit.SetDataField(QStringLiteral("name"));
        combo.SetItems({QStringLiteral("Beograd")});
        combo.SetDataSource(fx.Source.get());
        combo.SetDataField(QStringLiteral("city"));
        check.SetDataSource(fx.Source.get());
        check.SetDataField(QStringLiteral("partnerid"));
        grid.SetDataSource(fx.Source.get());
        QCOMPARE(combo.currentIndex(), 0);
        QVERIFY(check.isChecked());

        if (sourceFirst) {
            fx.Source.reset();
        } else {
            fx.Query.reset();
            QCOMPARE(edit.DataSource(), fx.Source.get());
        }
        QCOMPARE(edit.text(), QString());
        QVERIFY(edit.isReadOnly());
        QCOMPARE(combo.currentIndex(), -1);
        QVERIFY(!check.isChecked());
        QCOMPARE(grid.model()->rowCount(), 0);
        QVERIFY(!edit.Field());
        grid.grab();
        check.click();
        QVERIFY(!check.isChecked());
        QVERIFY(fx.dialogs().Messages.isEmpty());
    }

    // Reopening with other SQL makes new fields while the controls are not told.
    void fieldsRebuiltWhileDisabled()
    {
        TDBEdit edit;
        edit.SetDataSource(fx.Source.get());
        edit.SetDataField(QStringLiteral("city"));
        TDBGrid grid;
        grid.resize(400, 300);
        grid.SetDataSource(fx.Source.get());
        const int city = grid.AddColumn(QStringLiteral("city"));
        QCOMPARE(edit.text(), QStringLiteral("Beograd"));

        fx.Query->DisableControls();
        fx.Query->SetSQL(QStringLiteral("SELECT city, name, address, partnerid FROM partner ORDER BY partnerid"));
        fx.Query->Open();
        QVERIFY(edit.Field());
        QCOMPARE(edit.Field()->FieldName(), QStringLiteral("city"));
        QCOMPARE(grid.model()->index(1, city).data().toString(), QStringLiteral("Novi Sad"));
        grid.grab();
        fx.Query->Next();
        fx.Query->EnableControls();
        QCOMPARE(edit.text(), QStringLiteral("Novi Sad"));
        QCOMPARE(grid.currentIndex().row(), 1);
    }

    // ---- Value list editor --------------------------------------------------------------------

    void valueListKeyPress_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("backspace");
        QTest::addColumn<bool>("editorClosed");
        QTest::addColumn<QString>("value");
        QTest::newRow("digits dropped") << "" << "a1b2" << false << false << "AB";
        QTest::newRow("replaced") << "x" << "abc" << false << false << "xABC";
        QTest::newRow("backspace dropped") << "12" << "" << true << false << "12";
        QTest::newRow("first key opens the editor") << "" << "ab1c" << false << true << "ABC";
        QTest::newRow("first key dropped") << "" << "1ab" << false << true << "AB";
    }

    void valueListKeyPress()
    {
        QFETCH(QString, start);
        QFETCH(QString, typed);
        QFETCH(bool, backspace);
        QFETCH(bool, editorClosed);
        QFETCH(QString, value);
        TValueListEditor vle;
        vle.AddRow(QStringLiteral("broj"), QStringLiteral("Broj"));
        vle.AddRow(QStringLiteral("naziv"));
        vle.SetValue(QStringLiteral("broj"), start);
        QList<QChar> seen;
        vle.OnKeyPress = [&](QChar &ch) {
            seen << ch;
            if (ch.isDigit() || ch == u'\b')
                ch = QChar();
            else
                ch = ch.toUpper();
        };
        QCOMPARE(vle.model()->index(0, 0).data().toString(), QStringLiteral("Broj"));
        QCOMPARE(vle.model()->index(1, 0).data().toString(), QStringLiteral("naziv"));
        vle.show();
        QVERIFY(QTest::qWaitForWindowExposed(&vle));

        vle.setCurrentIndex(vle.model()->index(0, 0));
        QCOMPARE(vle.CurrentKey(), QStringLiteral("broj"));
        QCOMPARE(vle.currentIndex().column(), 1); // the value cell, never the key
        QString rest = typed;
        if (editorClosed) {
            // Without an open editor the view gets the first key and hands it on.
            vle.SetReadOnly(true);
            vle.SetReadOnly(false);
            QVERIFY(!vle.indexWidget(vle.currentIndex()));
            // A dropped key opens nothing.
            while (!rest.isEmpty() && !vle.indexWidget(vle.currentIndex())) {
                QTest::keyClick(&vle, rest.at(0).toLatin1());
                rest.remove(0, 1);
            }
        }
        QWidget *editor = vle.indexWidget(vle.currentIndex());
        QVERIFY(editor);
        auto *input = editor->findChild<QLineEdit *>();
        QVERIFY(input);
        input->end(false);
        QTest::keyClicks(input, rest);
        if (backspace)
            QTest::keyClick(input, Qt::Key_Backspace);
        QCOMPARE(vle.Value(QStringLiteral("broj")), value);
        QCOMPARE(seen.size(), typed.size() + (backspace ? 1 : 0)); // each key once

        // Delete types nothing: it skips the hook and acts.
        seen.clear();
        input->home(false);
        QTest::keyClick(input, Qt::Key_Delete);
        QVERIFY(seen.isEmpty());
        QCOMPARE(vle.Value(QStringLiteral("broj")), value.mid(1));
    }

    void valueListKeyDownSwallows()
    {
        TValueListEditor vle;
        vle.AddRow(QStringLiteral("a"));
        vle.AddRow(QStringLiteral("b"));
        QList<int> keys;
        vle.OnKeyDown = [&](int &key, Qt::KeyboardModifiers) {
            keys << key;
            if (key == Qt::Key_X || key == Qt::Key_Return)
                key = 0;
        };
        vle.show();
        QVERIFY(QTest::qWaitForWindowExposed(&vle));
        vle.SetCurrentRow(QStringLiteral("a"));
        auto *input = vle.indexWidget(vle.currentIndex())->findChild<QLineEdit *>();
        QVERIFY(input);
        QTest::keyClicks(input, QStringLiteral("yxy"));
        QTest::keyClick(input, Qt::Key_Return);
        QCOMPARE(vle.Value(QStringLiteral("a")), QStringLiteral("yy"));
        // Down passes the editor, which leaves it to the view: seen once, and it moves.
        QTest::keyClick(input, Qt::Key_Down);
        QCOMPARE(keys, (QList<int>{Qt::Key_Y, Qt::Key_X, Qt::Key_Y, Qt::Key_Return, Qt::Key_Down}));
        QCOMPARE(vle.CurrentKey(), QStringLiteral("b"));
        QCOMPARE(vle.Value(QStringLiteral("a")), QStringLiteral("yy"));
        vle.SetCurrentRow(QStringLiteral("a"));

        // The view itself, before any editor is open.
        keys.clear();
        vle.SetReadOnly(true);
        vle.setFocus();
        QTest::keyClick(&vle, Qt::Key_Down);
        QCOMPARE(keys, QList<int>{Qt::Key_Down});
        QCOMPARE(vle.CurrentKey(), QStringLiteral("b"));
        QTest::keyClick(&vle, Qt::Key_Left);
        QCOMPARE(vle.currentIndex().column(), 1); // the key column is never current
    }

    void valueListPickListAndEllipsis()
    {
        TValueListEditor vle;
        vle.AddRow(QStringLiteral("smer"), QStringLiteral("Smer"));
        vle.AddRow(QStringLiteral("partner"), QStringLiteral("Partner"));
        vle.ItemProps(QStringLiteral("smer")).PickList = {QStringLiteral("Ulazni"), QStringLiteral("Izlazni")};
        TItemProp &partner = vle.ItemProps(QStringLiteral("PARTNER"));
        partner.EditStyle = TEditStyle::Ellipsis;
        partner.ReadOnly = true;
        QVERIFY_THROWS_EXCEPTION(KException, vle.ItemProps(QStringLiteral("nema")));
        vle.SetValue(QStringLiteral("smer"), QStringLiteral("Interni")); // not in the list
        vle.show();
        QVERIFY(QTest::qWaitForWindowExposed(&vle));

        vle.SetCurrentRow(QStringLiteral("smer"));
        auto *combo = vle.indexWidget(vle.currentIndex())->findChild<QComboBox *>();
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->currentText(), QStringLiteral("Interni"));
        combo->setCurrentIndex(1);
        QCOMPARE(vle.Value(QStringLiteral("smer")), QStringLiteral("Izlazni"));

        QStringList clicked;
        connect(&vle, &TValueListEditor::editButtonClicked, this, [&] { clicked << vle.CurrentKey(); });
        vle.SetCurrentRow(QStringLiteral("partner"));
        QWidget *editor = vle.indexWidget(vle.currentIndex());
        QVERIFY(editor);
        QVERIFY(editor->findChild<QLineEdit *>()->isReadOnly());
        auto *button = editor->findChild<QToolButton *>(QStringLiteral("EllipsisButton"));
        QVERIFY(button);
        button->click();
        QCOMPARE(clicked, QStringList{QStringLiteral("partner")});
        vle.SetValue(QStringLiteral("partner"), QStringLiteral("Alfa"));
        QCOMPARE(editor->findChild<QLineEdit *>()->text(), QStringLiteral("Alfa"));
        // The pick list row kept its own text.
        QCOMPARE(vle.Value(QStringLiteral("smer")), QStringLiteral("Izlazni"));
    }

private:
    void openPartners() { fx.Open(QStringLiteral("partnerid, name, address, city")); }

    QString dbText(const QString &column, qint64 id)
    {
        auto q = fx.Db.Connection().OpenQuery(QStringLiteral("SELECT %1 FROM partner WHERE partnerid = ?").arg(column), {id});
        return q->next() ? q->value(0).toString() : QStringLiteral("<no row>");
    }

    qint64 idAt(int recNo)
    {
        return fx.Query->ValueAt(recNo - 1, fx.Query->FieldByName(QStringLiteral("partnerid"))).toLongLong();
    }

    PartnerTable fx;
};

QTEST_MAIN(TestDbWidgets)
#include "tst_dbwidgets.moc"
