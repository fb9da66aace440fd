#pragma once
// "Zapisnici o primopredaji": the kept handover records of a year, newest
// first (number, time, recipient, the colleagues who handed items over, how
// many items), narrowed to one colleague if wished. The chosen record is
// printed again through the print preview or saved as PDF, exactly as it
// first printed with the same script of its data ("Pismo podataka").

#include <QDialog>

class QComboBox;
class QPushButton;
class QTreeWidget;
class TCustomViewerForm;
class TZConnection;

class THandoverBookDialog : public QDialog
{
    Q_OBJECT
public:
    THandoverBookDialog(TZConnection &connection, int year, QWidget *parent = nullptr);

    QComboBox *YearCombo = nullptr;
    QComboBox *ColleagueCombo = nullptr; // first "Svi"; the user's id as data
    QTreeWidget *RecordsTree = nullptr;
    QPushButton *PrintButton = nullptr;
    QPushButton *SaveButton = nullptr;
    QComboBox *DataScriptCombo = nullptr; // "kako je uneto", "u ćirilici", "u latinici"

    // The list for the year and colleague chosen.
    void Reload();
    void PrintButtonClick();
    void SaveButtonClick();

private:
    qint64 chosenRecord() const; // 0 with none chosen, after saying so

    TZConnection &m_connection;
};

// The list frame's popup menu gets "Zapisnici o primopredaji…" after "Zapisnik".
void AddHandoverBookAction(TCustomViewerForm &frame);
void HandoverBookActionExecute(QWidget *owner);
