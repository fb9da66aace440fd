#pragma once
// A register window's list: a filter line above a table. The filter keeps
// the rows with a cell that contains what is typed, whatever its case,
// diacritics or script ("cacak" finds "Čačak"). Each row carries the id of
// its record.

#include <QList>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

class TRegisterTable : public QWidget
{
    Q_OBJECT
public:
    explicit TRegisterTable(const QStringList &headers, QWidget *parent = nullptr);

    // Replaces the rows (cells as many as headers) and their ids; the row
    // of the id current before stays current when it is still there.
    void SetRows(const QList<QStringList> &rows, const QList<qint64> &ids);
    // The current row's id; 0 when no row is current.
    qint64 CurrentID() const;
    void SetCurrentID(qint64 id);
    void SetFilter(const QString &text);
    int VisibleRows() const;

    QLineEdit *FilterEdit() const { return m_filter; }
    QTableView *View() const { return m_view; }

signals:
    void currentChanged();
    void rowActivated(); // a double click on a row, or Enter in the list

private:
    void ensureCurrent();

    QLineEdit *m_filter;
    QTableView *m_view;
    QStandardItemModel *m_model;
    QSortFilterProxyModel *m_proxy;
};
