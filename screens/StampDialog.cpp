#include "StampDialog.h"

#include "InterfaceScript.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TStampDialog::TStampDialog(const QString &ledgerNumber, const QSizeF &label, QWidget *parent)
    : QDialog(parent),
      LabelRadio(new QRadioButton(this)),
      PageRadio(new QRadioButton(UiText(u"U uglu A4 strane:"), this)),
      CornerCombo(new QComboBox(this))
{
    setObjectName(QStringLiteral("StampDialog"));
    setWindowTitle(UiText(u"Štampaj štambilj"));
    const QLocale serbian(QLocale::Serbian, QLocale::LatinScript, QLocale::Serbia);
    LabelRadio->setObjectName(QStringLiteral("LabelRadio"));
    LabelRadio->setText(UiText(u"Na nalepnici %1 × %2 mm")
                            .arg(serbian.toString(label.width()), serbian.toString(label.height())));
    LabelRadio->setChecked(true);
    PageRadio->setObjectName(QStringLiteral("PageRadio"));
    CornerCombo->setObjectName(QStringLiteral("CornerCombo"));
    CornerCombo->addItem(UiText(u"gore desno"), int(TStampPlace::TopRight));
    CornerCombo->addItem(UiText(u"gore levo"), int(TStampPlace::TopLeft));
    CornerCombo->addItem(UiText(u"dole desno"), int(TStampPlace::BottomRight));
    CornerCombo->addItem(UiText(u"dole levo"), int(TStampPlace::BottomLeft));
    CornerCombo->setEnabled(false);
    connect(PageRadio, &QRadioButton::toggled, CornerCombo, &QWidget::setEnabled);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(UiText(u"Pregled…"));
    buttons->button(QDialogButtonBox::Cancel)->setText(UiText(u"Otkaži"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(UiText(u"Prijemni štambilj za stavku %1:").arg(ledgerNumber), this));
    layout->addWidget(LabelRadio);
    auto *page = new QHBoxLayout;
    page->addWidget(PageRadio);
    page->addWidget(CornerCombo, 1);
    layout->addLayout(page);
    layout->addWidget(buttons);
}

TStampPlace TStampDialog::Place() const
{
    return LabelRadio->isChecked() ? TStampPlace::Label : TStampPlace(CornerCombo->currentData().toInt());
}
