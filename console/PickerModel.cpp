#include "PickerModel.h"

#include "SerbianFold.h"

#include <algorithm>

TPickerModel::TPickerModel(const QStringList &headers, const QList<QStringList> &rows, QObject *parent)
    : QAbstractTableModel(parent), m_headers(headers), m_rows(rows)
{
}

// On the first filter: a picker opened to take the row it shows first folds nothing.
void TPickerModel::foldRows()
{
    if (!m_folded.empty() || m_rows.isEmpty())
        return;
    m_folded.reserve(size_t(m_rows.size()));
    for (const QStringList &row : std::as_const(m_rows)) {
        QString folded;
        // A line break cannot be typed into the filter line: no match spans two cells.
        for (const QString &cell : row)
            folded += u'\n' + SerbianFold(cell);
        m_folded.push_back(std::move(folded));
    }
}

int TPickerModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_all ? int(m_rows.size()) : int(m_shown.size());
}

int TPickerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant TPickerModel::data(const QModelIndex &index, int role) const
{
    const int row = SourceRow(index.row());
    if (role != Qt::DisplayRole || row < 0)
        return {};
    return m_rows[row].value(index.column());
}

QVariant TPickerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal)
        return m_headers.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void TPickerModel::SetFilter(const QString &text)
{
    const QString folded = SerbianFold(text);
    beginResetModel();
    m_all = folded.isEmpty();
    m_shown.clear();
    if (!m_all) {
        foldRows();
        for (int r = 0; r < int(m_folded.size()); ++r) {
            if (m_folded[size_t(r)].contains(folded))
                m_shown.push_back(r);
        }
    }
    endResetModel();
}

int TPickerModel::SourceRow(int shownRow) const
{
    if (shownRow < 0 || shownRow >= rowCount())
        return -1;
    return m_all ? shownRow : m_shown[size_t(shownRow)];
}

int TPickerModel::ShownRow(int sourceRow) const
{
    if (sourceRow < 0 || sourceRow >= SourceCount())
        return -1;
    if (m_all)
        return sourceRow;
    const auto at = std::lower_bound(m_shown.begin(), m_shown.end(), sourceRow);
    return at != m_shown.end() && *at == sourceRow ? int(at - m_shown.begin()) : -1;
}
