#pragma once
// "Otvori ponovo": which closed year to open again, and why (required).
// Whoever shows it reopens the year once it was accepted.

#include <QDialog>

class QComboBox;
class QPlainTextEdit;

class TReopenYearDialog : public QDialog
{
    Q_OBJECT
public:
    // closedYears: oldest first; the newest is chosen.
    TReopenYearDialog(const QList<int> &closedYears, QWidget *parent = nullptr);

    QComboBox *const YearCombo;
    QPlainTextEdit *const ReasonEdit;

    int Year() const;
    QString Reason() const; // trimmed

    // Stays open, with a warning, while the reason is blank.
    void accept() override;
};
