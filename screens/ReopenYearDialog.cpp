#include "ReopenYearDialog.h"

#include "Dialogs.h"
#include "Help.h"
#include "InterfaceScript.h"
#include "screens/LedgerHelpContexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TReopenYearDialog::TReopenYearDialog(const QList<int> &closedYears, QWidget *parent)
    : QDialog(parent), YearCombo(new QComboBox(this)), ReasonEdit(new QPlainTextEdit(this))
{
    SetHelpContext(this, LedgerReportsHelp);
    setObjectName(QStringLiteral("ReopenYearDialog"));
    setWindowTitle(UiText(u"Ponovno otvaranje godine"));
    YearCombo->setObjectName(QStringLiteral("YearCombo"));
    for (int year : closedYears)
        YearCombo->addItem(QString::number(year), year);
    YearCombo->setCurrentIndex(YearCombo->count() - 1);
    ReasonEdit->setObjectName(QStringLiteral("ReasonEdit"));
    ReasonEdit->setTabChangesFocus(true);
    ReasonEdit->setPlaceholderText(UiText(u"obavezno: zašto se zaključena godina ponovo otvara"));
    ReasonEdit->setMinimumSize(380, 90);

    auto *form = new QFormLayout;
    form->addRow(UiText(u"&Godina:"), YearCombo);
    form->addRow(UiText(u"&Razlog:"), ReasonEdit);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(UiText(u"&Otvori ponovo"), QDialogButtonBox::AcceptRole);
    buttons->addButton(UiText(u"Ot&kaži"), QDialogButtonBox::RejectRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TReopenYearDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

int TReopenYearDialog::Year() const
{
    return YearCombo->currentData().toInt();
}

QString TReopenYearDialog::Reason() const
{
    return ReasonEdit->toPlainText().trimmed();
}

void TReopenYearDialog::accept()
{
    if (Reason().isEmpty()) {
        MessageDlg(UiText(u"Upišite razlog zbog kog se godina ponovo otvara."), TMsgDlgType::Warning, mbOK);
        ReasonEdit->setFocus();
        return;
    }
    QDialog::accept();
}
