#include "PickerDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int kRowRole = Qt::UserRole + 1;
}

TPickerDialog::TPickerDialog(const QString &title, const QStringList &headers, const QList<QStringList> &rows,
                             QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("pickerDialog"));
    setWindowTitle(title);
    resize(640, 420);

    m_model = new QStandardItemModel(0, int(headers.size()), this);
    m_model->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < rows.size(); ++r) {
        QList<QStandardItem *> items;
        for (int c = 0; c < headers.size(); ++c) {
            auto *item = new QStandardItem(c < rows[r].size() ? rows[r][c] : QString());
            item->setEditable(false);
            item->setData(r, kRowRole);
            items << item;
        }
        m_model->appendRow(items);
    }
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setFilterKeyColumn(-1);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("filterEdit"));
    m_filter->setPlaceholderText(QStringLiteral("Pretraga…"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);

    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setModel(m_proxy);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setAlternatingRowColors(true);
    m_list->resizeColumnsToContents();

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("U redu"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    m_cancel = buttons->addButton(QStringLiteral("Otkaži"), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (SelectedRow() >= 0)
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);

    connect(m_filter, &QLineEdit::textChanged, this, &TPickerDialog::SetFilter);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &TPickerDialog::updateOk);
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid()) {
            m_list->setCurrentIndex(index);
            accept();
        }
    });

    ensureCurrent();
    m_filter->setFocus();
}

void TPickerDialog::EnableNew(const QString &toolTip)
{
    if (m_new)
        return;
    auto *buttons = findChild<QDialogButtonBox *>();
    m_new = buttons->addButton(QStringLiteral("&Novi…"), QDialogButtonBox::ActionRole);
    m_new->setObjectName(QStringLiteral("newButton"));
    m_new->setToolTip(toolTip);
    m_new->setAutoDefault(false);
    connect(m_new, &QPushButton::clicked, this, [this] { done(NewRequested); });
    auto *insert = new QShortcut(QKeySequence(Qt::Key_Insert), this);
    connect(insert, &QShortcut::activated, this, [this] { done(NewRequested); });
}

QString TPickerDialog::FilterText() const
{
    return m_filter->text().trimmed();
}

int TPickerDialog::SelectedRow() const
{
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? current.data(kRowRole).toInt() : -1;
}

void TPickerDialog::SetFilter(const QString &text)
{
    if (m_filter->text() != text)
        m_filter->setText(text); // comes back here through textChanged
    m_proxy->setFilterFixedString(text);
    ensureCurrent();
}

void TPickerDialog::SetCurrentRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_proxy->mapFromSource(m_model->index(row, 0));
    if (index.isValid()) {
        m_list->setCurrentIndex(index);
        m_list->scrollTo(index);
    }
    ensureCurrent();
}

// Typing and pressing Enter should pick the first match without touching the mouse.
void TPickerDialog::ensureCurrent()
{
    if (!m_list->currentIndex().isValid() && m_proxy->rowCount() > 0)
        m_list->setCurrentIndex(m_proxy->index(0, 0));
    if (m_list->currentIndex().isValid())
        m_list->selectionModel()->select(m_list->currentIndex(),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    updateOk();
}

void TPickerDialog::updateOk()
{
    m_ok->setEnabled(m_list->currentIndex().isValid());
}

// Up/Down in the filter line move through the list.
bool TPickerDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_list, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
