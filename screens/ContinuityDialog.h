#pragma once
// "Kontinuitet brojeva": the findings of the numbering check of a year, per
// direction, read-only; "Štampaj" prints them through the print preview.
// Another year is checked with "Proveri".

#include "data/LedgerContinuity.h"

#include <QDialog>

class QPushButton;
class QSpinBox;
class QTreeWidget;
class TZConnection;

class TContinuityDialog : public QDialog
{
    Q_OBJECT
public:
    // Checks year at once.
    TContinuityDialog(TZConnection &connection, int year, QWidget *parent = nullptr);

    QSpinBox *const YearEdit;
    QPushButton *const CheckButton;
    QTreeWidget *const FindingsTree; // a branch per direction
    QPushButton *const PrintButton;
    QPushButton *const CloseButton;

    void CheckButtonClick();
    void PrintButtonClick();

private:
    void fill();

    TZConnection &m_connection;
    int m_year = 0; // the year the findings are of
    QList<TContinuityFinding> m_findings;
};
