#pragma once
// "Dokumenti": the documents' register. The list of documents with a filter
// line; "Dodaj…" and "Izmeni…" (or a double click) open the document form
// with "Broj" and "Opis". Clerks and administrators alike keep it.

#include "DocumentStore.h"

#include <QDialog>

class ISecurity;
class QPushButton;
class TRegisterTable;
class TZConnection;

// The document form: stores record (a new one when its id is 0) and
// answers true with what was stored in record; false when cancelled.
bool ShowDocumentForm(TDocumentStore &store, TDocumentRecord &record);

class TDocumentsWindow : public QDialog
{
    Q_OBJECT
public:
    TDocumentsWindow(TZConnection &connection, ISecurity *security, QWidget *parent = nullptr);

    TRegisterTable *Table() const { return m_table; }
    void Reload();

private:
    void add();
    void edit();

    TDocumentStore m_store;
    QList<TDocumentRecord> m_documents;
    TRegisterTable *m_table;
    QPushButton *m_edit;
};

// Opens the window modally.
void ShowDocumentsWindow(TZConnection &connection, ISecurity *security);
