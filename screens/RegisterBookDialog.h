#pragma once
// Asks for the register book's year and directions ("Delovodnik za
// godinu"), the script its data is printed in ("kako je uneto", "u
// ćirilici", "u latinici"), and optionally a PDF file to write it to at once
// instead of showing the print preview (a long year pages faster so).
// Whoever shows it reads the choice once it was accepted.

#include "data/LedgerRegisterBook.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TRegisterBookDialog : public QDialog
{
    Q_OBJECT
public:
    TRegisterBookDialog(int year, QWidget *parent = nullptr);

    QSpinBox *const YearEdit;
    QCheckBox *const IncomingCheck;
    QCheckBox *const OutgoingCheck;
    QCheckBox *const InternalCheck;
    QComboBox *const DataScriptCombo;
    QLineEdit *const PdfEdit; // empty: the print preview
    QPushButton *const PdfButton;

    int Year() const;
    // The checked directions; empty when none is.
    QList<qint32> Directions() const;
    // The directions and the data's script.
    TRegisterBookPrint Print() const;
    // The PDF file asked for, ending in ".pdf"; empty for the preview.
    QString PdfFile() const;

private:
    void PdfButtonClick();
};
