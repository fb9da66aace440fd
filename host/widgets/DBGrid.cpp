#include "DBGrid.h"

#include "Dialogs.h"
#include "DisplayErrors.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <algorithm>
#include <iterator>
#include <tuple>

// ---- TDBGridModel ---------------------------------------------------------------

class TDBGridModel::Link final : public TDataLink
{
public:
    explicit Link(TDBGridModel &model) : m_model(model) {}
    ~Link() override
    {
        QObject::disconnect(SourceWatch);
        QObject::disconnect(DataSetWatch);
    }

    void DataSetChanged() override { m_model.dataSetChanged(); }
    void RecordChanged(TField *) override { m_model.recordChanged(); }
    void DataSetScrolled() override { emit m_model.currentRowChanged(m_model.CurrentRow()); }
    void RowInserted(int row) override { m_model.rowInserted(row); }
    void RowRemoved(int row) override { m_model.rowRemoved(row); }
    void UpdateData() override
    {
        if (m_model.OnUpdateData)
            m_model.OnUpdateData();
    }

    QMetaObject::Connection SourceWatch, DataSetWatch;

private:
    TDBGridModel &m_model;
};

TDBGridModel::TDBGridModel(QObject *parent)
    : QAbstractTableModel(parent), m_link(std::make_unique<Link>(*this))
{
}

TDBGridModel::~TDBGridModel() = default;

void TDBGridModel::SetDataSource(TDataSource *source)
{
    m_link->SetDataSource(source);
    dataSetChanged();
}

TDataSource *TDBGridModel::DataSource() const
{
    return m_link->DataSource();
}

TDataSet *TDBGridModel::DataSet() const
{
    return m_link->DataSet();
}

// Neither the data source nor the data set tells its links when it dies.
void TDBGridModel::watch()
{
    QObject::disconnect(m_link->SourceWatch);
    QObject::disconnect(m_link->DataSetWatch);
    if (TDataSource *source = DataSource())
        m_link->SourceWatch = connect(source, &QObject::destroyed, this, [this] { dataSetChanged(); });
    if (TDataSet *dataSet = DataSet())
        m_link->DataSetWatch = connect(dataSet, &QObject::destroyed, this, [this] { dataSetChanged(); });
}

bool TDBGridModel::active() const
{
    const TDataSet *ds = DataSet();
    return ds && ds->Active();
}

void TDBGridModel::buildAutoColumns()
{
    m_columns.clear();
    if (!active())
        return;
    const TDataSet *ds = DataSet();
    for (int i = 0; i < ds->FieldCount(); ++i) {
        TColumn c;
        c.FieldName = ds->Fields(i).FieldName();
        m_columns << c;
    }
}

void TDBGridModel::dataSetChanged()
{
    beginResetModel();
    watch();
    if (m_autoColumns)
        buildAutoColumns();
    m_fieldIndex.assign(size_t(m_columns.size()), -1);
    m_rows = active() ? DataSet()->RecordCount() : 0;
    endResetModel();
    emit currentRowChanged(CurrentRow());
}

void TDBGridModel::recordChanged()
{
    const int row = CurrentRow();
    if (row >= 0 && row < m_rows && !m_columns.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}

void TDBGridModel::rowInserted(int row)
{
    row = std::clamp(row, 0, m_rows);
    beginInsertRows({}, row, row);
    ++m_rows;
    endInsertRows();
}

void TDBGridModel::rowRemoved(int row)
{
    if (row < 0 || row >= m_rows)
        return;
    beginRemoveRows({}, row, row);
    --m_rows;
    endRemoveRows();
}

void TDBGridModel::SetColumns(const QList<TColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    m_autoColumns = false;
    m_fieldIndex.assign(size_t(m_columns.size()), -1);
    endResetModel();
}

int TDBGridModel::AddColumn(const QString &fieldName, int width, const QString &title)
{
    if (m_autoColumns) {
        // The first own column replaces the automatic ones.
        beginResetModel();
        m_columns.clear();
        m_fieldIndex.clear();
        m_autoColumns = false;
        endResetModel();
    }
    const int at = int(m_columns.size());
    beginInsertColumns({}, at, at);
    TColumn c;
    c.FieldName = fieldName;
    c.Width = width;
    c.Title = title;
    m_columns << c;
    m_fieldIndex.push_back(-1);
    endInsertColumns();
    return at;
}

void TDBGridModel::SetColumn(int column, const TColumn &value)
{
    if (column < 0 || column >= m_columns.size())
        return;
    const bool fieldChanged = m_columns[column].FieldName != value.FieldName;
    m_columns[column] = value;
    if (fieldChanged)
        m_fieldIndex[size_t(column)] = -1;
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (m_rows > 0)
        emit dataChanged(index(0, column), index(m_rows - 1, column));
    emit columnsChanged();
}

void TDBGridModel::ClearColumns()
{
    beginResetModel();
    m_autoColumns = true;
    buildAutoColumns();
    m_fieldIndex.assign(size_t(m_columns.size()), -1);
    endResetModel();
}

// Auto-created fields die when the data set closes, so a cached position is
// trusted only after its name matches on the live field list.
TField *TDBGridModel::ColumnField(int column) const
{
    if (column < 0 || column >= m_columns.size() || !active())
        return nullptr;
    const TDataSet *ds = DataSet();
    const QString &name = m_columns[column].FieldName;
    int &cached = m_fieldIndex[size_t(column)];
    if (cached >= 0 && cached < ds->FieldCount()
        && ds->Fields(cached).FieldName().compare(name, Qt::CaseInsensitive) == 0)
        return &ds->Fields(cached);
    for (int i = 0; i < ds->FieldCount(); ++i) {
        if (ds->Fields(i).FieldName().compare(name, Qt::CaseInsensitive) == 0) {
            cached = i;
            return &ds->Fields(i);
        }
    }
    cached = -1;
    return nullptr;
}

QString TDBGridModel::ColumnTitle(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return {};
    const TColumn &c = m_columns[column];
    if (!c.Title.isEmpty())
        return c.Title;
    if (const TField *f = ColumnField(column))
        return f->DisplayLabel();
    return c.FieldName;
}

void TDBGridModel::SetReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    if (m_rows > 0 && !m_columns.isEmpty())
        emit dataChanged(index(0, 0), index(m_rows - 1, int(m_columns.size()) - 1));
}

int TDBGridModel::CurrentRow() const
{
    return active() ? DataSet()->RecNo() - 1 : -1;
}

void TDBGridModel::WriteCell(int column, const QString &text)
{
    TField *field = ColumnField(column);
    if (!field)
        throw EDatabaseError(UiText(u"Kolona %1 nije povezana sa poljem.").arg(column + 1));
    TDataSet &ds = field->DataSet();
    if (ds.State() == TDataSetState::Browse)
        ds.Edit();
    field->SetText(text);
}

int TDBGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TDBGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TDBGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const TField *field = ColumnField(index.column());
    if (!field)
        return {};
    const TDataSet &ds = field->DataSet();
    const int row = index.row();
    if (row >= ds.RecordCount())
        return {}; // rows removed while controls were disabled
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        // A text handler must not throw into a paint.
        try {
            if (role == Qt::EditRole && row == CurrentRow())
                return field->Text();
            return ds.DisplayTextAt(row, *field);
        } catch (const std::exception &e) {
            LogDisplayError(field, e);
            return {};
        }
    case Qt::TextAlignmentRole: {
        const Qt::Alignment a = m_columns[index.column()].Alignment;
        if (a)
            return QVariant::fromValue(a);
        return QVariant::fromValue(Qt::AlignVCenter | (TypeOps(field->DataType()).numeric ? Qt::AlignRight : Qt::AlignLeft));
    }
    default:
        // A row handler must not throw into a paint either.
        try {
            return OnRowData ? OnRowData(row, role) : QVariant();
        } catch (const std::exception &e) {
            LogDisplayError(field, e);
            return {};
        }
    }
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return ColumnTitle(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (!m_readOnly && !m_columns[index.column()].ReadOnly) {
        if (const TField *field = ColumnField(index.column()); field && !field->ReadOnly)
            f |= Qt::ItemIsEditable;
    }
    return f;
}

bool TDBGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() != CurrentRow())
        return false;
    return Guarded([&] { WriteCell(index.column(), value.toString()); });
}

// ---- TDBGrid --------------------------------------------------------------------

namespace {

QString editorText(const QWidget *editor)
{
    if (const auto *combo = qobject_cast<const QComboBox *>(editor))
        return combo->currentText();
    if (const auto *edit = qobject_cast<const QLineEdit *>(editor))
        return edit->text();
    return {};
}

// Plain text cells; a column with a pick list edits in a combo box that
// still takes other text.
class GridDelegate final : public QStyledItemDelegate
{
public:
    GridDelegate(TDBGridModel &model, QObject *parent) : QStyledItemDelegate(parent), m_model(model) {}

    // The grid sees the keys typed into its editors first.
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        const TColumn &column = m_model.Columns().at(index.column());
        if (!column.PickList.isEmpty()) {
            auto *combo = new QComboBox(parent);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setFrame(false);
            combo->addItems(column.PickList);
            combo->installEventFilter(this->parent());
            combo->lineEdit()->installEventFilter(this->parent());
            return combo;
        }
        auto *edit = new QLineEdit(parent);
        edit->setFrame(false);
        edit->installEventFilter(this->parent());
        return edit;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        const QString text = index.data(Qt::EditRole).toString();
        if (editorText(editor) == text)
            return;
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            combo->setCurrentIndex(combo->findText(text));
            combo->setEditText(text);
        } else if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
            edit->setText(text);
        }
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (index.data(Qt::EditRole).toString() != editorText(editor))
            model->setData(index, editorText(editor), Qt::EditRole);
    }

private:
    TDBGridModel &m_model;
};

} // namespace

TDBGrid::TDBGrid(QWidget *parent) : QTableView(parent), m_model(new TDBGridModel(this))
{
    setModel(m_model);
    setItemDelegate(new GridDelegate(*m_model, this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);

    // Same height for every row, fixed widths: nothing measures the rows.
    QHeaderView *rows = verticalHeader();
    const int rowHeight = fontMetrics().height() + 4;
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    rows->hide();
    QHeaderView *titles = horizontalHeader();
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setDefaultSectionSize(DefaultColumnWidth);
    titles->setStretchLastSection(false);
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    disconnect(titles, &QHeaderView::sectionHandleDoubleClicked, this, nullptr);
    disconnect(rows, &QHeaderView::sectionHandleDoubleClicked, this, nullptr);
    titles->viewport()->installEventFilter(this);

    connect(titles, &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (m_applying || column >= Columns().size())
            return;
        TColumn c = Columns().at(column);
        c.Width = size;
        m_model->SetColumn(column, c);
    });
    connect(titles, &QHeaderView::sectionClicked, this, [this](int column) {
        if (m_sortOnTitleClick)
            Guarded([&] { SortByColumn(column); });
        if (OnTitleClick)
            Guarded([&] { OnTitleClick(column); });
    });
    titles->setSectionsMovable(true);
    titles->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(titles, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        Guarded([&] {
            std::unique_ptr<QMenu> menu = MakeColumnsMenu();
            menu->exec(horizontalHeader()->mapToGlobal(pos));
        });
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumns();
        showSortIndicator();
        followDataSet(m_model->CurrentRow());
    });
    // Columns added to an empty model: the current record had no cell yet.
    connect(m_model, &QAbstractItemModel::columnsInserted, this, [this] {
        applyColumns();
        if (!currentIndex().isValid())
            followDataSet(m_model->CurrentRow());
    });
    connect(m_model, &TDBGridModel::columnsChanged, this, [this] { applyColumns(); });
    connect(m_model, &TDBGridModel::currentRowChanged, this, [this](int row) { followDataSet(row); });
    m_model->OnUpdateData = [this] { handOverEditor(); };

    SetReadOnly(true);
}

TDBGrid::~TDBGrid()
{
    m_model->OnUpdateData = nullptr;
}

void TDBGrid::SetDataSource(TDataSource *source)
{
    m_model->SetDataSource(source);
}

int TDBGrid::AddColumn(const QString &fieldName, int width, const QString &title)
{
    return m_model->AddColumn(fieldName, width, title);
}

void TDBGrid::SetColumns(const QList<TColumn> &columns)
{
    m_model->SetColumns(columns);
}

void TDBGrid::SetColumn(int index, const TColumn &column)
{
    m_model->SetColumn(index, column);
}

void TDBGrid::SetColumnVisible(int index, bool visible)
{
    if (index < 0 || index >= Columns().size())
        return;
    TColumn c = Columns().at(index);
    c.Visible = visible;
    m_model->SetColumn(index, c);
}

namespace {

// The first key of a data set's sort: field name and whether it descends.
std::pair<QString, bool> firstSortKey(const TDataSet &dataSet)
{
    const QString first = dataSet.SortedFields().section(u',', 0, 0).simplified();
    const QString field = first.section(u' ', 0, 0);
    return {field, first.section(u' ', 1, 1).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0};
}

} // namespace

void TDBGrid::SetSortOnTitleClick(bool sort)
{
    m_sortOnTitleClick = sort;
    showSortIndicator();
}

void TDBGrid::SortByColumn(int column)
{
    TDataSet *ds = DataSet();
    const TField *field = column >= 0 && column < Columns().size() ? m_model->ColumnField(column) : nullptr;
    if (!ds || !ds->Active() || !field)
        return;
    const auto [sortedBy, descending] = firstSortKey(*ds);
    const bool again = sortedBy.compare(field->FieldName(), Qt::CaseInsensitive) == 0 && !descending;
    // The data set keeps its current record through the sort.
    ds->SetSortedFields(field->FieldName() + (again ? QStringLiteral(" DESC") : QString()));
}

void TDBGrid::showSortIndicator()
{
    QHeaderView *titles = horizontalHeader();
    TDataSet *ds = DataSet();
    int column = -1;
    bool descending = false;
    if (m_sortOnTitleClick && ds && ds->Active()) {
        QString field;
        std::tie(field, descending) = firstSortKey(*ds);
        for (int i = 0; i < Columns().size() && column < 0 && !field.isEmpty(); ++i)
            if (Columns().at(i).FieldName.compare(field, Qt::CaseInsensitive) == 0)
                column = i;
    }
    // Shown only while it is true: the header would flip it on a click by itself.
    titles->setSortIndicatorShown(column >= 0);
    titles->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

QList<int> TDBGrid::VisualOrder() const
{
    QList<int> order;
    const QHeaderView *titles = horizontalHeader();
    for (int visual = 0; visual < titles->count(); ++visual)
        order << titles->logicalIndex(visual);
    return order;
}

void TDBGrid::SetVisualOrder(const QList<int> &order)
{
    QHeaderView *titles = horizontalHeader();
    int visual = 0;
    for (int logical : order) {
        if (logical < 0 || logical >= titles->count() || titles->visualIndex(logical) < visual)
            continue; // unknown, or placed already
        titles->moveSection(titles->visualIndex(logical), visual++);
    }
}

std::unique_ptr<QMenu> TDBGrid::MakeColumnsMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    const QList<TColumn> &columns = Columns();
    const auto shown = std::count_if(columns.begin(), columns.end(), [](const TColumn &c) { return c.Visible; });
    for (int i : VisualOrder()) {
        if (i >= columns.size())
            continue;
        QAction *action = menu->addAction(m_model->ColumnTitle(i));
        action->setObjectName(columns.at(i).FieldName);
        action->setCheckable(true);
        action->setChecked(columns.at(i).Visible);
        action->setEnabled(!columns.at(i).Visible || shown > 1);
        connect(action, &QAction::toggled, this, [this, i](bool on) { SetColumnVisible(i, on); });
    }
    return menu;
}

void TDBGrid::SetReadOnly(bool readOnly)
{
    m_model->SetReadOnly(readOnly);
    // A double click belongs to OnDblClick, not to the editor.
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                                   | QAbstractItemView::AnyKeyPressed);
}

void TDBGrid::applyColumns()
{
    QScopedValueRollback guard(m_applying, true);
    const QList<TColumn> &columns = Columns();
    for (int i = 0; i < columns.size(); ++i) {
        const TColumn &c = columns[i];
        horizontalHeader()->resizeSection(i, c.Width > 0 ? c.Width : DefaultColumnWidth);
        setColumnHidden(i, !c.Visible);
    }
}

void TDBGrid::followDataSet(int row)
{
    QScopedValueRollback guard(m_following, true);
    QItemSelectionModel *selection = selectionModel();
    if (row < 0 || row >= m_model->rowCount()) {
        selection->clear();
        return;
    }
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex target = m_model->index(row, column);
    selection->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // A hidden grid has no real size yet; Qt scrolls to the current index on show.
    if (isVisible())
        scrollTo(target);
}


void TDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_following || !current.isValid())
        return;
    TDataSet *ds = DataSet();
    if (!ds || !ds->Active() || current.row() == m_model->CurrentRow())
        return;
    const int recNo = current.row() + 1;
    // A refused move (a post that failed) puts the view back on the record.
    if (!Guarded([&] { ds->SetRecNo(recNo); }))
        followDataSet(m_model->CurrentRow());
}

// An open cell editor holds typed text the post must see; the field's
// refusal propagates and refuses the post.
void TDBGrid::handOverEditor()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    const QModelIndex at = currentIndex();
    const QWidget *editor = indexWidget(at);
    if (!editor || at.row() != m_model->CurrentRow())
        return;
    const QString text = editorText(editor);
    if (text != at.data(Qt::EditRole).toString())
        m_model->WriteCell(at.column(), text);
}

void TDBGrid::mousePressEvent(QMouseEvent *event)
{
    m_lastMousePos = viewport()->mapTo(this, event->position().toPoint());
    QTableView::mousePressEvent(event);
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    doubleClicked(viewport()->mapTo(this, event->position().toPoint()));
}

void TDBGrid::doubleClicked(const QPoint &pos)
{
    m_lastMousePos = pos;
    if (OnDblClick)
        Guarded(OnDblClick);
}

bool TDBGrid::filterKey(QKeyEvent *event)
{
    int key = event->key();
    const Qt::KeyboardModifiers shift = event->modifiers();
    if (OnKeyDown) {
        Guarded([&] { OnKeyDown(key, shift); });
        if (key == 0)
            return true;
    }
    if (key == Qt::Key_Delete && (shift & ~Qt::KeypadModifier) == Qt::ControlModifier && !ReadOnly()) {
        Guarded([this] { deleteCurrentRow(); });
        return true;
    }
    static const int silent[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backtab,
                                 Qt::Key_Delete};
    if (OnKeyPress && !event->text().isEmpty() && std::find(std::begin(silent), std::end(silent), key) == std::end(silent)) {
        QChar ch = event->text().at(0);
        Guarded([&] { OnKeyPress(ch); });
        if (ch.isNull())
            return true;
    }
    return false;
}

void TDBGrid::deleteCurrentRow()
{
    TDataSet *ds = DataSet();
    if (!ds || !ds->Active() || ds->IsEmpty() || !ds->CanModify())
        return;
    if (ConfirmDelete
        && MessageDlg(UiText(u"Da li želite da izbrišete tekući red?"), TMsgDlgType::Confirmation, mbYes | mbNo) != mbYes)
        return;
    ds->Delete();
}

void TDBGrid::keyPressEvent(QKeyEvent *event)
{
    if (filterKey(event))
        return;
    TDataSet *ds = DataSet();
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && ds
        && (ds->State() == TDataSetState::Edit || ds->State() == TDataSetState::Insert)) {
        Guarded([ds] { ds->Cancel(); });
        return;
    }
    QTableView::keyPressEvent(event);
}

bool TDBGrid::eventFilter(QObject *watched, QEvent *event)
{
    // A cell editor's key.
    if (event->type() == QEvent::KeyPress && watched != this && watched->isWidgetType()
        && isAncestorOf(static_cast<QWidget *>(watched)) && filterKey(static_cast<QKeyEvent *>(event)))
        return true;
    if (watched == horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const QPoint pos = horizontalHeader()->viewport()->mapTo(this, mouse->position().toPoint());
            if (event->type() == QEvent::MouseButtonDblClick)
                doubleClicked(pos);
            else
                m_lastMousePos = pos;
        }
    }
    return QTableView::eventFilter(watched, event);
}

TDBGrid::TGridCoord TDBGrid::CellAt(const QPoint &clientPos) const
{
    const QHeaderView *titles = horizontalHeader();
    if (!titles->isHidden() && titles->geometry().contains(clientPos)) {
        const QPoint at = titles->viewport()->mapFrom(this, clientPos);
        return {0, titles->logicalIndexAt(at.x())};
    }
    const QPoint at = viewport()->mapFrom(this, clientPos);
    if (!viewport()->rect().contains(at))
        return {};
    const int row = rowAt(at.y());
    return {row < 0 ? -1 : row + 1, columnAt(at.x())};
}
