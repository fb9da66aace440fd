#pragma once
// An item's "Klasifikaciona oznaka" as the clerk types it: a list opens
// under the line with the plan's active marks that match (a mark's
// beginning, or words of its name, folded: "kadr" finds "Kadrovski
// poslovi"), each shown as "011 – Kadrovski poslovi (10 godina)". Choosing
// one (Enter or a click) writes its mark into the line and into the field;
// what is typed and not chosen stays as typed, for the item's rule to judge
// when it is stored (ClassificationPlan.h).

#include "data/ClassificationPlan.h"

#include <QObject>
#include <QStringList>

class QAbstractItemView;
class QCompleter;
class QLineEdit;
class QStandardItemModel;
class TField;
class TZConnection;

class TClassificationField : public QObject
{
    Q_OBJECT
public:
    static constexpr int Limit = 50;

    // Becomes edit's child. field: the column the chosen mark is written to,
    // its data set put in edit first when it is browsing; null: the line only.
    TClassificationField(QLineEdit *edit, TField *field, TClassificationPlan plan);

    // The list under the line and what it offers now.
    QAbstractItemView *Popup() const;
    QStringList Offered() const;
    // Chooses the offered row, as Enter on it does.
    void Choose(int row);

private:
    void typed(const QString &text);

    QLineEdit *m_edit;
    TField *m_field;
    TClassificationPlan m_plan;
    QStandardItemModel *m_model;
    QCompleter *m_completer;
};

// The completion of the plan read from connection on edit (see above).
// Throws EDatabaseError when the plan cannot be read.
TClassificationField *AttachClassificationField(QLineEdit *edit, TField *field, TZConnection &connection);
