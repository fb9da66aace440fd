#pragma once
// One list picker for users, partners and documents: a filter line that
// narrows the rows as you type (folded: "cacak" finds "Čačak"; PickerModel.h)
// and a table to choose from.

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPushButton;
class QTableView;
class TPickerModel;

class TPickerDialog : public QDialog
{
    Q_OBJECT
public:
    // rows: one list of cells per row, as many as headers.
    TPickerDialog(const QString &title, const QStringList &headers, const QList<QStringList> &rows,
                  QWidget *parent = nullptr);

    // The dialog's result when the user asked for a new row ("Novi…" or
    // Insert) instead of choosing one; FilterText then holds what was typed.
    static constexpr int NewRequested = 2;
    // Shows "Novi…" (and answers Insert) with that tooltip.
    void EnableNew(const QString &toolTip);
    QString FilterText() const;

    // Index into the rows given to the constructor; -1 when none is current.
    int SelectedRow() const;
    void SetFilter(const QString &text);
    // Makes a row (index into the constructor's rows) current, e.g. the one chosen before.
    void SetCurrentRow(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ensureCurrent();
    void updateOk();

    QLineEdit *m_filter;
    QTableView *m_list;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QPushButton *m_new = nullptr;
    TPickerModel *m_rows;
};
