#pragma once
// A grid over a data source. TDBGridModel answers the view from the data
// set's rows without moving its cursor and is told of changes through its
// data link; TDBGrid keeps the view's current row and the data set's current
// record in step, both ways. Only the cells on screen are ever read, so the
// grid stays quick over a million rows: column widths are set, never measured
// from the contents, and every row has the same height.
//
// Numbering: model rows are 0-based data set rows (model row r is RecNo r + 1)
// and columns index Columns() from 0. CellAt() speaks in grid terms instead:
// row 0 is the title row and data rows count from 1, so a data row's number
// is its RecNo.

#include "DataSource.h"
#include "KExport.h"

#include <QAbstractTableModel>
#include <QMenu>
#include <QStringList>
#include <QTableView>
#include <functional>
#include <memory>
#include <vector>

struct TColumn
{
    QString FieldName;
    QString Title;           // empty: the field's DisplayLabel
    int Width = 0;           // pixels; 0: TDBGrid::DefaultColumnWidth
    bool ReadOnly = false;
    QStringList PickList;    // not empty: the cell edits in a drop-down list
    Qt::Alignment Alignment; // empty: numbers right, everything else left
    bool Visible = true;
};

class KCOMMON_EXPORT TDBGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TDBGridModel(QObject *parent = nullptr);
    ~TDBGridModel() override;

    void SetDataSource(TDataSource *source);
    TDataSource *DataSource() const;
    TDataSet *DataSet() const; // null without a source or data set

    // Without columns of its own the model shows one per field of the open
    // data set, rebuilt whenever the data set changes.
    const QList<TColumn> &Columns() const { return m_columns; }
    void SetColumns(const QList<TColumn> &columns);
    int AddColumn(const QString &fieldName, int width = 0, const QString &title = {}); // returns its index
    void SetColumn(int index, const TColumn &column);
    void ClearColumns(); // back to one column per field
    TField *ColumnField(int column) const; // null when the field is missing
    QString ColumnTitle(int column) const;

    // A read-only model has no editable cell; default true.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);

    // The data set's current record as a model row; -1 when there is none.
    int CurrentRow() const;
    // Writes text into a column of the current record, starting Edit() when
    // browsing. Throws when refused.
    void WriteCell(int column, const QString &text);

    // A whole row's look beyond its text (font, colours, tooltip): asked with
    // the model row and the role; an empty value leaves the default.
    std::function<QVariant(int row, int role)> OnRowData;

    // Asked when the data set gathers pending input before a post; the view
    // hands over an open cell editor here. May throw, refusing the post.
    std::function<void()> OnUpdateData;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Edits the current record only; an error is shown, and false returned.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    // The data set's current record moved; row as CurrentRow().
    void currentRowChanged(int row);
    // Widths or visibility of the columns changed (not their number).
    void columnsChanged();

private:
    class Link;
    friend class Link;
    void dataSetChanged();
    void recordChanged();
    void rowInserted(int row);
    void rowRemoved(int row);
    void watch();
    void buildAutoColumns();
    bool active() const;

    std::unique_ptr<Link> m_link;
    QList<TColumn> m_columns;
    mutable std::vector<int> m_fieldIndex; // per column; checked by name before use
    bool m_autoColumns = true;
    bool m_readOnly = true;
    int m_rows = 0; // as last told: a disabled data set does not report changes
};

class KCOMMON_EXPORT TDBGrid : public QTableView
{
    Q_OBJECT
public:
    // A cell in grid terms (see the top of this file); -1 means none: below
    // the last row, right of the last column, or outside the cells.
    struct TGridCoord
    {
        int Row = -1;
        int Col = -1;
    };
    static constexpr int DefaultColumnWidth = 64;

    explicit TDBGrid(QWidget *parent = nullptr);
    ~TDBGrid() override;

    void SetDataSource(TDataSource *source);
    TDataSource *DataSource() const { return m_model->DataSource(); }
    TDataSet *DataSet() const { return m_model->DataSet(); }
    TDBGridModel *GridModel() const { return m_model; }

    const QList<TColumn> &Columns() const { return m_model->Columns(); }
    int AddColumn(const QString &fieldName, int width = 0, const QString &title = {});
    void SetColumns(const QList<TColumn> &columns);
    void SetColumn(int index, const TColumn &column);
    void SetColumnVisible(int index, bool visible);

    // Cells edit only when neither the grid nor the column is read-only.
    bool ReadOnly() const { return m_model->ReadOnly(); }
    void SetReadOnly(bool readOnly);

    // clientPos in this widget's coordinates.
    TGridCoord CellAt(const QPoint &clientPos) const;
    // Where the last press or double click was, in this widget's coordinates.
    QPoint LastMousePos() const { return m_lastMousePos; }

    // Handlers, run guarded. A double click anywhere, the title row included
    // (CellAt(LastMousePos()).Row == 0 tells), and a click on a column title.
    std::function<void()> OnDblClick;
    std::function<void(int column)> OnTitleClick;
    // Key handlers, run guarded, for a key typed into the grid or its cell
    // editor before either acts on it. OnKeyDown sees every key and discards
    // it by setting key to 0; OnKeyPress then sees the character the key
    // types, if any, and discards it by setting it to a null QChar. Enter,
    // Esc, Tab and Delete type no character: they belong to the dialog, the
    // editor and OnKeyDown.
    std::function<void(int &key, Qt::KeyboardModifiers shift)> OnKeyDown;
    std::function<void(QChar &key)> OnKeyPress;
    // Ctrl+Delete in an editable grid deletes the current row, after asking
    // when this is set (the default).
    bool ConfirmDelete = true;
    // A click on a column title sorts the rows already loaded by that column,
    // ascending, and descending on the next click; no new query. The title
    // shows the data set's first sort key as an arrow, whoever set it.
    void SetSortOnTitleClick(bool sort);
    bool SortOnTitleClick() const { return m_sortOnTitleClick; }
    // What a click on the column's title does when sorting is on.
    void SortByColumn(int column);

    // Columns can be dragged to another place; the order on screen, as
    // indexes into Columns().
    QList<int> VisualOrder() const;
    // Indexes missing from order follow in their present order; unknown ones are skipped.
    void SetVisualOrder(const QList<int> &order);
    // The titles' context menu: a check box per column; the last shown
    // column cannot be hidden.
    std::unique_ptr<QMenu> MakeColumnsMenu();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyColumns();
    void showSortIndicator();
    void followDataSet(int row);
    void handOverEditor();
    void doubleClicked(const QPoint &pos);
    bool filterKey(QKeyEvent *event); // true: the key is used up
    void deleteCurrentRow();

    TDBGridModel *m_model;
    bool m_following = false;
    bool m_applying = false;
    bool m_sortOnTitleClick = false;
    QPoint m_lastMousePos;
};
