#include "ClassificationField.h"

#include "DataSet.h"
#include "Field.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStandardItemModel>

namespace {

constexpr int MarkRole = Qt::UserRole + 1;

} // namespace

TClassificationField::TClassificationField(QLineEdit *edit, TField *field, TClassificationPlan plan)
    : QObject(edit), m_edit(edit), m_field(field), m_plan(std::move(plan)), m_model(new QStandardItemModel(this)),
      m_completer(new QCompleter(m_model, this))
{
    setObjectName(QStringLiteral("ClassificationField"));
    // The rows are matched here, not by the completer: it shows them all.
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setWidget(m_edit);
    m_completer->popup()->setObjectName(QStringLiteral("ClassificationPopup"));
    connect(m_edit, &QLineEdit::textEdited, this, &TClassificationField::typed);
    connect(m_completer, qOverload<const QModelIndex &>(&QCompleter::activated), this,
            [this](const QModelIndex &index) { Choose(index.row()); });
}

QAbstractItemView *TClassificationField::Popup() const
{
    return m_completer->popup();
}

QStringList TClassificationField::Offered() const
{
    QStringList rows;
    for (int r = 0; r < m_model->rowCount(); ++r)
        rows << m_model->item(r)->text();
    return rows;
}

void TClassificationField::typed(const QString &text)
{
    m_model->clear();
    if (m_edit->isReadOnly())
        return;
    for (const TClassificationMark &mark : m_plan.Matches(text, Limit)) {
        auto *row = new QStandardItem(ClassificationCaption(mark));
        row->setData(mark.Mark, MarkRole);
        m_model->appendRow(row);
    }
    if (m_model->rowCount() == 0) {
        m_completer->popup()->hide();
        return;
    }
    m_completer->complete();
}

void TClassificationField::Choose(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QString mark = m_model->item(row)->data(MarkRole).toString();
    m_completer->popup()->hide();
    if (m_field) {
        TDataSet &items = m_field->DataSet();
        if (items.State() == TDataSetState::Browse)
            items.Edit();
        m_field->SetAsString(mark);
    }
    // A bound line holds typed text until the post: the mark takes its place.
    m_edit->setText(mark);
}

TClassificationField *AttachClassificationField(QLineEdit *edit, TField *field, TZConnection &connection)
{
    TClassificationPlan plan;
    plan.Load(connection);
    return new TClassificationField(edit, field, std::move(plan));
}
