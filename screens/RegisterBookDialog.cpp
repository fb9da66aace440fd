#include "RegisterBookDialog.h"

#include "Dialogs.h"
#include "Help.h"
#include "InterfaceScript.h"
#include "data/LedgerDMUnit.h"
#include "screens/LedgerHelpContexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TRegisterBookDialog::TRegisterBookDialog(int year, QWidget *parent)
    : QDialog(parent), YearEdit(new QSpinBox(this)), IncomingCheck(new QCheckBox(UiText(GetDirectionCaption(1)), this)),
      OutgoingCheck(new QCheckBox(UiText(GetDirectionCaption(-1)), this)),
      InternalCheck(new QCheckBox(UiText(GetDirectionCaption(0)), this)), DataScriptCombo(NewDataScriptCombo(this)),
      PdfEdit(new QLineEdit(this)),
      PdfButton(new QPushButton(QStringLiteral("..."), this))
{
    SetHelpContext(this, LedgerReportsHelp);
    setObjectName(QStringLiteral("RegisterBookDialog"));
    setWindowTitle(UiText(u"Delovodnik za godinu"));
    YearEdit->setObjectName(QStringLiteral("YearEdit"));
    YearEdit->setRange(1900, 9999);
    YearEdit->setValue(year);
    // A year reads without a thousands separator.
    YearEdit->setGroupSeparatorShown(false);
    auto *directions = new QVBoxLayout;
    for (QCheckBox *check : {IncomingCheck, OutgoingCheck, InternalCheck}) {
        check->setChecked(true);
        directions->addWidget(check);
    }
    PdfEdit->setObjectName(QStringLiteral("PdfEdit"));
    PdfEdit->setPlaceholderText(UiText(u"prazno: pregled pre štampe"));
    PdfEdit->setMinimumWidth(260);
    PdfButton->setObjectName(QStringLiteral("PdfButton"));
    PdfButton->setFixedWidth(PdfButton->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 20);
    connect(PdfButton, &QPushButton::clicked, this, &TRegisterBookDialog::PdfButtonClick);
    auto *pdf = new QHBoxLayout;
    pdf->addWidget(PdfEdit, 1);
    pdf->addWidget(PdfButton);
    auto *form = new QFormLayout;
    form->addRow(UiText(u"&Godina:"), YearEdit);
    form->addRow(UiText(u"Tipovi:"), directions);
    auto *scriptLabel = new QLabel(DataScriptCaption(), this);
    scriptLabel->setBuddy(DataScriptCombo);
    form->addRow(scriptLabel, DataScriptCombo);
    auto *pdfLabel = new QLabel(UiText(u"PDF &datoteka:"), this);
    pdfLabel->setBuddy(PdfEdit);
    form->addRow(pdfLabel, pdf);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(UiText(u"&Pregled"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(UiText(u"&Otkaži"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    YearEdit->setFocus();
}

int TRegisterBookDialog::Year() const { return YearEdit->value(); }

QList<qint32> TRegisterBookDialog::Directions() const
{
    QList<qint32> chosen;
    const std::pair<QCheckBox *, qint32> checks[] = {{IncomingCheck, 1}, {OutgoingCheck, -1}, {InternalCheck, 0}};
    for (const auto &[check, direction] : checks)
        if (check->isChecked())
            chosen << direction;
    return chosen;
}

TRegisterBookPrint TRegisterBookDialog::Print() const
{
    TRegisterBookPrint print(Directions());
    print.DataScript = ChosenDataScript(*DataScriptCombo);
    return print;
}

QString TRegisterBookDialog::PdfFile() const
{
    const QString name = PdfEdit->text().trimmed();
    if (name.isEmpty() || name.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return name;
    return name + QStringLiteral(".pdf");
}

void TRegisterBookDialog::PdfButtonClick()
{
    const QString name = Dialogs().SaveFileDialog(UiText(u"Sačuvaj delovodnik kao PDF"), UiText(u"PDF dokumenti (*.pdf)"),
                                                  QStringLiteral("Delovodnik %1.pdf").arg(Year()));
    if (!name.isEmpty())
        PdfEdit->setText(name);
}
