#pragma once
// "Štampaj štambilj": where the item's stamp goes, on a label or in a
// corner of an A4 page; "Pregled…" goes on to the print preview.

#include "screens/StampPrint.h"

#include <QDialog>

class QComboBox;
class QRadioButton;

class TStampDialog : public QDialog
{
    Q_OBJECT
public:
    TStampDialog(const QString &ledgerNumber, const QSizeF &label, QWidget *parent = nullptr);

    QRadioButton *const LabelRadio; // "Nalepnica 62 × 29 mm"
    QRadioButton *const PageRadio;  // "Ugao A4 strane"
    QComboBox *const CornerCombo;   // "gore desno", "gore levo", "dole desno", "dole levo"

    TStampPlace Place() const;
};
