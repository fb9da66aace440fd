#pragma once
// "Zaključenje delovodnika": the closing note of a chosen year. An open
// year shows the draft of its note from what is stored now, and
// "Zaključi" closes it after a question; a closed year shows the note as
// it was closed. "Štampaj" shows the note in the print preview (paper or
// PDF from there), "PDF…" writes it to a file. For administrators only:
// whoever shows it has checked the user.

#include "data/ClosingNote.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class TZConnection;

class TYearClosingDialog : public QDialog
{
    Q_OBJECT
public:
    // Shows year at once.
    TYearClosingDialog(TZConnection &connection, int year, QWidget *parent = nullptr);

    QSpinBox *const YearEdit;
    QPushButton *const ShowButton;
    QLabel *const StateLabel;      // open, or closed when and by whom
    QTreeWidget *const FiguresTree; // a row per figure, a column per direction
    QLabel *const StatementLabel;
    QPushButton *const CloseYearButton;
    QPushButton *const PrintButton;
    QPushButton *const PdfButton;
    QPushButton *const CloseButton;

    const TClosingNote &Note() const { return m_note; }

    void ShowButtonClick();
    void CloseYearButtonClick();
    void PrintButtonClick();
    void PdfButtonClick();

private:
    void load(int year);
    void fill();

    TZConnection &m_connection;
    TClosingNote m_note;
};
