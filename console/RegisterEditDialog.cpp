#include "RegisterEditDialog.h"

#include "Dialogs.h"
#include "EditButtons.h"
#include "KException.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TRegisterEditDialog::TRegisterEditDialog(const QString &title, const QList<TRegisterEditField> &fields,
                                         const QStringList &values, TSave save, QWidget *parent)
    : QDialog(parent), m_save(std::move(save))
{
    setObjectName(QStringLiteral("registerEditDialog"));
    setWindowTitle(title);
    auto *form = new QFormLayout;
    for (int i = 0; i < fields.size(); ++i) {
        auto *edit = new QLineEdit(values.value(i), this);
        edit->setObjectName(fields[i].ObjectName);
        if (fields[i].MaxLength > 0)
            edit->setMaxLength(fields[i].MaxLength);
        edit->setMinimumWidth(320);
        form->addRow(fields[i].Caption + u':', edit);
        m_edits << edit;
    }

    QDialogButtonBox *buttons = EditButtons(*this, [this] { trySave(); }, QStringLiteral("okButton"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    if (!m_edits.isEmpty())
        m_edits.first()->setFocus();
}

QStringList TRegisterEditDialog::Values() const
{
    QStringList values;
    for (const QLineEdit *edit : m_edits)
        values << edit->text();
    return values;
}

void TRegisterEditDialog::trySave()
{
    try {
        m_save(Values());
    } catch (const KException &e) {
        MessageDlg(e.message(), TMsgDlgType::Error, mbOK);
        return;
    }
    accept();
}
