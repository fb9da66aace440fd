#include "DocumentsWindow.h"

#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "RegisterEditDialog.h"
#include "RegisterTable.h"
#include "SecurityActor.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

bool ShowDocumentForm(TDocumentStore &store, TDocumentRecord &record)
{
    const bool adding = record.DocumentID == 0;
    TDocumentRecord stored = record;
    TRegisterEditDialog form(
        adding ? UiText(u"Novi dokument") : UiText(u"Izmena dokumenta"),
        {{UiText(u"Broj"), QStringLiteral("numberEdit"), 30}, {UiText(u"Opis"), QStringLiteral("descriptionEdit"), 200}},
        {record.Number, record.Description},
        [&](const QStringList &values) {
            TDocumentRecord typed{record.DocumentID, values.value(0).trimmed(), values.value(1).trimmed()};
            if (adding)
                typed.DocumentID = store.Insert(typed);
            else
                store.Update(typed);
            stored = typed;
        },
        QApplication::activeWindow());
    if (Dialogs().ShowModal(form) != QDialog::Accepted)
        return false;
    record = stored;
    return true;
}

TDocumentsWindow::TDocumentsWindow(TZConnection &connection, ISecurity *security, QWidget *parent)
    : QDialog(parent), m_store(connection, CurrentRegisterActor(security))
{
    setObjectName(QStringLiteral("documentsWindow"));
    setWindowTitle(UiText(u"Dokumenti"));
    resize(720, 480);
    m_table = new TRegisterTable({UiText(u"Broj"), UiText(u"Opis")}, this);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *add = buttons->addButton(UiText(u"&Dodaj…"), QDialogButtonBox::ActionRole);
    add->setObjectName(QStringLiteral("addButton"));
    m_edit = buttons->addButton(UiText(u"&Izmeni…"), QDialogButtonBox::ActionRole);
    m_edit->setObjectName(QStringLiteral("editButton"));
    QPushButton *close = buttons->addButton(UiText(u"Zatvori"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    for (QPushButton *b : {add, m_edit, close})
        b->setAutoDefault(false);
    ConnectGuarded(add, [this] { this->add(); });
    ConnectGuarded(m_edit, [this] { edit(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_table, &TRegisterTable::rowActivated, this, [this] { Guarded([this] { edit(); }); });
    connect(m_table, &TRegisterTable::currentChanged, this, [this] { m_edit->setEnabled(m_table->CurrentID() != 0); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
    Reload();
    m_table->FilterEdit()->setFocus();
}

void TDocumentsWindow::Reload()
{
    m_documents = m_store.All();
    QList<QStringList> rows;
    QList<qint64> ids;
    for (const TDocumentRecord &d : m_documents) {
        rows << QStringList{d.Number, d.Description};
        ids << d.DocumentID;
    }
    m_table->SetRows(rows, ids);
}

void TDocumentsWindow::add()
{
    TDocumentRecord record;
    if (!ShowDocumentForm(m_store, record))
        return;
    m_table->SetFilter(QString());
    Reload();
    m_table->SetCurrentID(record.DocumentID);
}

void TDocumentsWindow::edit()
{
    const qint64 id = m_table->CurrentID();
    for (TDocumentRecord record : m_documents) {
        if (record.DocumentID != id)
            continue;
        if (ShowDocumentForm(m_store, record)) {
            Reload();
            m_table->SetCurrentID(id);
        }
        return;
    }
}

void ShowDocumentsWindow(TZConnection &connection, ISecurity *security)
{
    TDocumentsWindow window(connection, security, QApplication::activeWindow());
    Dialogs().ShowModal(window);
}
