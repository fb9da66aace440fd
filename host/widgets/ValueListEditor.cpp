#include "ValueListEditor.h"

#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolButton>

namespace {
const char *const InputName = "CellInput";
}

// ---- Model ------------------------------------------------------------------------

class TValueListEditor::Model final : public QAbstractTableModel
{
public:
    struct Row
    {
        QString Key;
        QString Value;
        TItemProp Props;
    };

    using QAbstractTableModel::QAbstractTableModel;

    // unique_ptr: ItemProps hands out references that adding rows keeps valid.
    std::vector<std::unique_ptr<Row>> Rows;
    QString Titles[2] = {UiText(u"Ključ"), UiText(u"Vrednost")};
    bool ReadOnly = false;

    int find(const QString &key) const
    {
        for (size_t i = 0; i < Rows.size(); ++i)
            if (Rows[i]->Key.compare(key, Qt::CaseInsensitive) == 0)
                return int(i);
        return -1;
    }

    int indexOf(const QString &key) const // throws for an unknown key
    {
        const int at = find(key);
        if (at < 0)
            throw KException(UiText(u"Nepoznat ključ '%1'.").arg(key));
        return at;
    }

    void add(const QString &key, const QString &caption)
    {
        if (const int at = find(key); at >= 0) {
            Rows[size_t(at)]->Props.Caption = caption;
            emit dataChanged(index(at, 0), index(at, 0));
            return;
        }
        const int at = int(Rows.size());
        beginInsertRows({}, at, at);
        auto r = std::make_unique<Row>();
        r->Key = key;
        r->Props.Caption = caption;
        Rows.push_back(std::move(r));
        endInsertRows();
    }

    void clear()
    {
        beginResetModel();
        Rows.clear();
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(Rows.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 2; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        const Row &r = *Rows[size_t(index.row())];
        if (index.column() == 0)
            return r.Props.Caption.isEmpty() ? r.Key : r.Props.Caption;
        return r.Value;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 2)
            return Titles[section];
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
        const TItemProp &p = Rows[size_t(index.row())]->Props;
        // A read-only row still opens its editor for the ellipsis button.
        if (index.column() == 1 && !ReadOnly && (!p.ReadOnly || p.EditStyle == TEditStyle::Ellipsis))
            f |= Qt::ItemIsEditable;
        return f;
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (!index.isValid() || index.column() != 1 || role != Qt::EditRole)
            return false;
        Row &r = *Rows[size_t(index.row())];
        const QString text = value.toString();
        if (r.Value != text) {
            r.Value = text;
            emit dataChanged(index, index);
        }
        return true;
    }
};

// ---- Delegate -------------------------------------------------------------------------

namespace {

QWidget *inputOf(QWidget *editor)
{
    return editor->findChild<QWidget *>(QLatin1String(InputName));
}

QString inputText(const QWidget *input)
{
    if (const auto *combo = qobject_cast<const QComboBox *>(input))
        return combo->currentText();
    if (const auto *edit = qobject_cast<const QLineEdit *>(input))
        return edit->text();
    return {};
}

} // namespace

// The editor is a box holding the input (a line edit, or a combo box for a
// pick list) and the row's ellipsis button. Typed text reaches the model at
// once, so Value() never waits for the editor to close.
class TValueListEditor::Delegate final : public QStyledItemDelegate
{
public:
    Delegate(TValueListEditor &owner, Model &model) : QStyledItemDelegate(&owner), m_owner(owner), m_model(model) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        const TItemProp &props = m_model.Rows[size_t(index.row())]->Props;
        auto *box = new QWidget(parent);
        box->setAutoFillBackground(true);
        auto *layout = new QHBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);

        const QPersistentModelIndex at(index);
        Model *model = &m_model;
        QWidget *input;
        if (!props.PickList.isEmpty() && !props.ReadOnly) {
            auto *combo = new QComboBox(box);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setFrame(false);
            combo->addItems(props.PickList);
            connect(combo, &QComboBox::currentTextChanged, combo, [model, at](const QString &t) {
                if (at.isValid())
                    model->setData(at, t, Qt::EditRole);
            });
            input = combo;
        } else {
            auto *edit = new QLineEdit(box);
            edit->setFrame(false);
            edit->setReadOnly(props.ReadOnly);
            connect(edit, &QLineEdit::textEdited, edit, [model, at](const QString &t) {
                if (at.isValid())
                    model->setData(at, t, Qt::EditRole);
            });
            input = edit;
        }
        input->setObjectName(QLatin1String(InputName));
        layout->addWidget(input, 1);
        box->setFocusProxy(input);
        m_owner.watchEditor(input);

        if (props.EditStyle == TEditStyle::Ellipsis) {
            auto *button = new QToolButton(box);
            button->setObjectName(QStringLiteral("EllipsisButton"));
            button->setText(QStringLiteral("..."));
            button->setFocusPolicy(Qt::NoFocus);
            button->setFixedWidth(20);
            TValueListEditor *owner = &m_owner;
            connect(button, &QToolButton::clicked, owner, [owner] { owner->ellipsisClicked(); });
            layout->addWidget(button);
        }
        if (props.Clearable) {
            auto *button = new QToolButton(box);
            button->setObjectName(QStringLiteral("ClearButton"));
            button->setIcon(box->style()->standardIcon(QStyle::SP_LineEditClearButton));
            button->setToolTip(UiText(u"Obriši"));
            button->setAutoRaise(true);
            button->setFocusPolicy(Qt::NoFocus);
            button->setFixedWidth(20);
            TValueListEditor *owner = &m_owner;
            const QString key = m_model.Rows[size_t(index.row())]->Key;
            connect(button, &QToolButton::clicked, owner, [owner, key] { owner->clearClicked(key); });
            layout->addWidget(button);
        }
        return box;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        QWidget *input = inputOf(editor);
        const QString text = index.data(Qt::EditRole).toString();
        // Re-setting equal text would move the cursor while the user types.
        if (!input || inputText(input) == text)
            return;
        if (auto *combo = qobject_cast<QComboBox *>(input)) {
            combo->setCurrentIndex(combo->findText(text));
            combo->setEditText(text);
        } else if (auto *edit = qobject_cast<QLineEdit *>(input)) {
            edit->setText(text);
        }
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QWidget *input = inputOf(editor);
        if (input && !m_model.Rows[size_t(index.row())]->Props.ReadOnly)
            model->setData(index, inputText(input), Qt::EditRole);
    }

    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        editor->setGeometry(option.rect);
    }

private:
    TValueListEditor &m_owner;
    Model &m_model;
};

// ---- TValueListEditor ------------------------------------------------------------------

TValueListEditor::TValueListEditor(QWidget *parent) : QTableView(parent), m_model(new Model(this))
{
    setModel(m_model);
    setItemDelegate(new Delegate(*this, *m_model));
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);

    QHeaderView *rows = verticalHeader();
    const int rowHeight = fontMetrics().height() + 6;
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    rows->hide();
    QHeaderView *titles = horizontalHeader();
    titles->setSectionsClickable(false);
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->setStretchLastSection(true);
    titles->resizeSection(0, 150);
    SetReadOnly(false);
}

TValueListEditor::~TValueListEditor() = default;

void TValueListEditor::AddRow(const QString &key, const QString &caption)
{
    m_model->add(key, caption);
}

void TValueListEditor::Clear()
{
    m_model->clear();
}

QStringList TValueListEditor::Keys() const
{
    QStringList keys;
    for (const auto &r : m_model->Rows)
        keys << r->Key;
    return keys;
}

bool TValueListEditor::HasKey(const QString &key) const
{
    return m_model->find(key) >= 0;
}

TItemProp &TValueListEditor::ItemProps(const QString &key)
{
    return m_model->Rows[size_t(m_model->indexOf(key))]->Props;
}

QString TValueListEditor::Value(const QString &key) const
{
    const int at = m_model->find(key);
    return at < 0 ? QString() : m_model->Rows[size_t(at)]->Value;
}

void TValueListEditor::SetValue(const QString &key, const QString &text)
{
    m_model->setData(m_model->index(m_model->indexOf(key), 1), text, Qt::EditRole);
}

void TValueListEditor::ClearValue(const QString &key)
{
    SetValue(key, {});
    emit valueCleared(key);
}

QString TValueListEditor::CurrentKey() const
{
    const QModelIndex at = currentIndex();
    return at.isValid() ? m_model->Rows[size_t(at.row())]->Key : QString();
}

void TValueListEditor::SetCurrentRow(const QString &key)
{
    const int at = m_model->find(key);
    if (at < 0)
        return;
    selectionModel()->setCurrentIndex(m_model->index(at, 1), QItemSelectionModel::ClearAndSelect);
}

int TValueListEditor::KeyColumnWidth() const
{
    return horizontalHeader()->sectionSize(0);
}

void TValueListEditor::SetKeyColumnWidth(int width)
{
    horizontalHeader()->resizeSection(0, width);
}

int TValueListEditor::ValueColumnWidth() const
{
    return horizontalHeader()->sectionSize(1);
}

void TValueListEditor::SetValueColumnWidth(int width)
{
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->resizeSection(1, width);
}

void TValueListEditor::SetTitles(const QString &keyTitle, const QString &valueTitle)
{
    m_model->Titles[0] = keyTitle;
    m_model->Titles[1] = valueTitle;
    horizontalHeader()->setVisible(!keyTitle.isEmpty() || !valueTitle.isEmpty());
    emit m_model->headerDataChanged(Qt::Horizontal, 0, 1);
}

void TValueListEditor::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_model->ReadOnly = readOnly;
    // The current row's value cell always shows its editor.
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::CurrentChanged | QAbstractItemView::AnyKeyPressed
                                   | QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                                   | QAbstractItemView::EditKeyPressed);
    if (readOnly && state() == QAbstractItemView::EditingState) {
        if (QWidget *editor = indexWidget(currentIndex()))
            closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    viewport()->update();
}

// The key column is never current: the value cell of the row is.
QModelIndex TValueListEditor::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex to = QTableView::moveCursor(action, modifiers);
    return to.isValid() && to.column() == 0 ? to.sibling(to.row(), 1) : to;
}

void TValueListEditor::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid() && current.column() == 0)
        selectionModel()->setCurrentIndex(current.sibling(current.row(), 1), QItemSelectionModel::ClearAndSelect);
}

void TValueListEditor::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid() && at.column() == 0) {
        setFocus(Qt::MouseFocusReason);
        selectionModel()->setCurrentIndex(at.sibling(at.row(), 1), QItemSelectionModel::ClearAndSelect);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TValueListEditor::watchEditor(QWidget *input)
{
    input->installEventFilter(this);
}

void TValueListEditor::ellipsisClicked()
{
    Guarded([this] { emit editButtonClicked(); });
}

void TValueListEditor::clearClicked(const QString &key)
{
    Guarded([&] { ClearValue(key); });
}

bool TValueListEditor::filterKey(QKeyEvent *event, std::unique_ptr<QKeyEvent> &replacement)
{
    if (OnKeyDown) {
        int key = event->key();
        if (!Guarded([&] { OnKeyDown(key, event->modifiers()); }) || key == 0)
            return false;
    }
    QChar ch;
    if (event->key() == Qt::Key_Backspace)
        ch = QChar(u'\b');
    else if (event->key() != Qt::Key_Delete && !event->text().isEmpty() && event->text().at(0).isPrint())
        ch = event->text().at(0);
    if (ch.isNull() || !OnKeyPress)
        return true;
    const QChar typed = ch;
    if (!Guarded([&] { OnKeyPress(ch); }) || ch.isNull())
        return false;
    if (ch != typed) {
        const bool backspace = ch == QChar(u'\b');
        replacement = std::make_unique<QKeyEvent>(QEvent::KeyPress, backspace ? int(Qt::Key_Backspace) : int(ch.toUpper().unicode()),
                                                  event->modifiers(), backspace ? QString() : QString(ch),
                                                  event->isAutoRepeat(), event->count());
    }
    return true;
}

// Keys the view receives itself. A key an editor let through arrives here too
// (already seen by the hooks), and so does the key that opens an editor,
// which the view then passes on to it.
void TValueListEditor::keyPressEvent(QKeyEvent *event)
{
    if (event == m_seen || event == m_forwarded) {
        if (event == m_seen)
            m_seen = nullptr;
        QTableView::keyPressEvent(event);
        return;
    }
    std::unique_ptr<QKeyEvent> replacement;
    if (!filterKey(event, replacement)) {
        event->accept();
        return;
    }
    QKeyEvent *pass = replacement ? replacement.get() : event;
    QScopedValueRollback<const QKeyEvent *> forwarding(m_forwarded, pass);
    QTableView::keyPressEvent(pass);
    event->setAccepted(pass->isAccepted());
}

// Keys typed into a cell editor's input.
bool TValueListEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched->objectName() != QLatin1String(InputName)
        || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return QTableView::eventFilter(watched, event);
    if (event->type() == QEvent::KeyRelease) {
        m_seen = nullptr;
        return false;
    }
    auto *key = static_cast<QKeyEvent *>(event);
    if (key == m_forwarded || key == m_seen)
        return false;
    std::unique_ptr<QKeyEvent> replacement;
    if (!filterKey(key, replacement))
        return true;
    if (replacement) {
        m_seen = replacement.get();
        QCoreApplication::sendEvent(watched, replacement.get());
        m_seen = nullptr;
        return true;
    }
    m_seen = key; // may travel on to the view
    return false;
}
