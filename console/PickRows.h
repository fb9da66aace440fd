#pragma once
// Lists rows of a register in the picker and hands back the chosen one as
// the register's descriptor: shared by the users', partners' and documents'
// services.

#include "Dialogs.h"
#include "InterfaceScript.h"
#include "PickerDialog.h"
#include "SerbianDisplayOrder.h"
#include "ZConnection.h"

#include <QApplication>
#include <QSqlQuery>
#include <QVariant>
#include <functional>
#include <vector>

inline QString RowText(const QSqlQuery &q, int column)
{
    return q.value(column).toString();
}

// What the picker ended with: a row, nothing, or a request for a new row
// named by the typed filter text.
struct TPickResult
{
    int Row = -1;
    bool NewRequested = false;
    QString Typed;
};

// Runs the picker over rows; "Novi…" only when offerNew.
inline TPickResult PickRow(const QString &title, const QStringList &headers, const QList<QStringList> &rows,
                           int current, bool offerNew = false)
{
    TPickerDialog dialog(title, headers, rows, QApplication::activeWindow());
    dialog.SetCurrentRow(current);
    if (offerNew)
        dialog.EnableNew(UiText(u"Novi unos sa upisanim tekstom (Insert)"));
    const int result = Dialogs().ShowModal(dialog);
    if (result == TPickerDialog::NewRequested)
        return {-1, true, dialog.FilterText()};
    if (result != QDialog::Accepted)
        return {};
    return {dialog.SelectedRow(), false, {}};
}

// Lists the rows of sql in the picker, with the descriptor's own row current;
// read makes a descriptor and its shown cells from a row. Fills desc and
// answers true when the user chose one; desc stays as it was otherwise.
// With makeNew the picker offers "Novi…": makeNew(desc, typed) adds the row
// and answers whether it did, and that new row is the choice.
template <class Desc, class Read>
bool SelectRow(TZConnection *connection, const QString &sql, const QString &title, const QStringList &headers,
               qint32 Desc::*id, Read read, Desc &desc,
               const std::function<bool(Desc &, const QString &)> &makeNew = {})
{
    std::vector<Desc> found;
    QList<QStringList> rows;
    int current = -1;
    auto q = connection->OpenQuery(sql);
    while (q->next()) {
        Desc d;
        rows << read(*q, d);
        if (d.*id == desc.*id && desc.*id != 0)
            current = int(found.size());
        found.push_back(d);
    }
    // Shown in the order of the interface's script, whatever the SELECT's.
    const std::vector<qsizetype> order = DisplayOrderOfRows(rows);
    QList<QStringList> shown;
    std::vector<Desc> shownFound;
    int shownCurrent = -1;
    for (const qsizetype at : order) {
        if (at == current)
            shownCurrent = int(shown.size());
        shown << rows[at];
        shownFound.push_back(found[size_t(at)]);
    }
    rows = std::move(shown);
    found = std::move(shownFound);
    const TPickResult picked = PickRow(title, headers, rows, shownCurrent, bool(makeNew));
    if (picked.NewRequested)
        return makeNew(desc, picked.Typed);
    const int chosen = picked.Row;
    if (chosen < 0 || chosen >= int(found.size()))
        return false;
    desc = found[size_t(chosen)];
    return true;
}
