#include "RegisterTable.h"

#include "InterfaceScript.h"
#include "SerbianFold.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int IdRole = Qt::UserRole + 1;
constexpr int FoldedRole = Qt::UserRole + 2;

// Compares the folded cells with the folded filter text.
class TFoldedFilter : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetText(const QString &text)
    {
        m_folded = SerbianFold(text.trimmed());
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        if (m_folded.isEmpty())
            return true;
        const QAbstractItemModel *model = sourceModel();
        for (int column = 0; column < model->columnCount(parent); ++column)
            if (model->index(row, column, parent).data(FoldedRole).toString().contains(m_folded))
                return true;
        return false;
    }

private:
    QString m_folded;
};

} // namespace

TRegisterTable::TRegisterTable(const QStringList &headers, QWidget *parent) : QWidget(parent)
{
    m_model = new QStandardItemModel(0, int(headers.size()), this);
    m_model->setHorizontalHeaderLabels(headers);
    m_proxy = new TFoldedFilter(this);
    m_proxy->setSourceModel(m_model);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("filterEdit"));
    m_filter->setPlaceholderText(UiText(u"Pretraga…"));
    m_filter->setClearButtonEnabled(true);

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("list"));
    m_view->setModel(m_proxy);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setAlternatingRowColors(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_filter);
    layout->addWidget(m_view, 1);

    connect(m_filter, &QLineEdit::textChanged, this, &TRegisterTable::SetFilter);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, &TRegisterTable::currentChanged);
    connect(m_view, &QAbstractItemView::activated, this, &TRegisterTable::rowActivated);
}

void TRegisterTable::SetRows(const QList<QStringList> &rows, const QList<qint64> &ids)
{
    const qint64 current = CurrentID();
    m_model->removeRows(0, m_model->rowCount());
    for (int r = 0; r < rows.size(); ++r) {
        QList<QStandardItem *> cells;
        for (int c = 0; c < m_model->columnCount(); ++c) {
            const QString text = rows[r].value(c);
            auto *cell = new QStandardItem(text);
            cell->setData(ids.value(r), IdRole);
            cell->setData(SerbianFold(text), FoldedRole);
            cells << cell;
        }
        m_model->appendRow(cells);
    }
    m_view->resizeColumnsToContents();
    SetCurrentID(current);
}

qint64 TRegisterTable::CurrentID() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? current.data(IdRole).toLongLong() : 0;
}

void TRegisterTable::SetCurrentID(qint64 id)
{
    for (int r = 0; r < m_proxy->rowCount(); ++r) {
        const QModelIndex index = m_proxy->index(r, 0);
        if (id != 0 && index.data(IdRole).toLongLong() == id) {
            m_view->setCurrentIndex(index);
            m_view->scrollTo(index);
            break;
        }
    }
    ensureCurrent();
}

void TRegisterTable::SetFilter(const QString &text)
{
    if (m_filter->text() != text)
        m_filter->setText(text); // comes back here through textChanged
    static_cast<TFoldedFilter *>(m_proxy)->SetText(text);
    ensureCurrent();
}

int TRegisterTable::VisibleRows() const
{
    return m_proxy->rowCount();
}

// A filtered list always has a current row to act on when it has any.
void TRegisterTable::ensureCurrent()
{
    if (!m_view->currentIndex().isValid() && m_proxy->rowCount() > 0)
        m_view->setCurrentIndex(m_proxy->index(0, 0));
    if (m_view->currentIndex().isValid())
        m_view->selectionModel()->select(m_view->currentIndex(),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit currentChanged();
}
