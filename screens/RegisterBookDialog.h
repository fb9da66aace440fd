#pragma once
// Asks for the register book's year and directions ("Delovodnik za
// godinu"). Whoever shows it reads the choice once it was accepted.

#include <QDialog>
#include <QList>

class QCheckBox;
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

    int Year() const;
    // The checked directions; empty when none is.
    QList<qint32> Directions() const;
};
