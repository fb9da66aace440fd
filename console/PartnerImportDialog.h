#pragma once
// "Uvoz partnera": a clerk picks a CSV file, sees how its columns map to the
// partner's fields (and may change the mapping), what would happen to each
// row, chooses what to do with duplicates and imports all rows at once.

#include "PartnerImport.h"
#include "RegisterHistory.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class TZConnection;

class TPartnerImportDialog : public QDialog
{
    Q_OBJECT
public:
    TPartnerImportDialog(TZConnection &connection, const TRegisterActor &actor, QWidget *parent = nullptr);

    // Reads the file and shows its plan; a file that cannot be read is said
    // in the dialog and nothing can be imported. False then.
    bool LoadFile(const QString &path);
    void SetColumn(int index, TPartnerColumn column);
    void SetDuplicateAction(TDuplicateAction action);
    // Imports what is shown; the summary is said in a message. False when
    // nothing was stored.
    bool Import();

    const std::optional<TPartnerImportResult> &Result() const { return m_result; }
    QTableWidget *Preview() const { return m_preview; }
    QLabel *Info() const { return m_info; }

private:
    void browse();
    void replan();
    QList<TPartnerColumn> columns() const;

    TZConnection &m_connection;
    TRegisterActor m_actor;
    std::optional<TPartnerCsv> m_csv;
    std::optional<TPartnerImportResult> m_result;
    QLineEdit *m_file;
    QLabel *m_info;
    QTableWidget *m_preview;
    QList<QComboBox *> m_columnBoxes;
    QRadioButton *m_skip;
    QRadioButton *m_merge;
    QPushButton *m_import;
};
