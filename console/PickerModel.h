#pragma once
// The picker's rows as its list shows them: the cells given, narrowed by a
// filter typed in either script, in any case, with or without diacritics
// ("cacak" finds "Čačak"). Each row's cells are folded (SerbianFold) once,
// at the first filter, so a filter over tens of thousands of rows is a scan
// of ready texts.

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <vector>

class TPickerModel : public QAbstractTableModel
{
public:
    // rows: one list of cells per row, as many as headers.
    TPickerModel(const QStringList &headers, const QList<QStringList> &rows, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Shows the rows with a cell that holds the folded text, in their order;
    // every row when the text is empty.
    void SetFilter(const QString &text);
    // The given row (index into the constructor's rows) of a shown one, and
    // back; -1 for none.
    int SourceRow(int shownRow) const;
    int ShownRow(int sourceRow) const;
    int SourceCount() const { return int(m_rows.size()); }

private:
    void foldRows();

    QStringList m_headers;
    QList<QStringList> m_rows;
    std::vector<QString> m_folded; // a row's folded cells, each after a line break
    std::vector<int> m_shown;      // source rows shown, in order
    bool m_all = true;             // no filter: every row, m_shown unused
};
