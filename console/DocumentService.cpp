#include "DocumentService.h"

#include "DocumentStore.h"
#include "DocumentsWindow.h"
#include "InterfaceScript.h"
#include "PickRows.h"
#include "SecurityActor.h"

// ---- TDocumentService -------------------------------------------------------

bool TDocumentService::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == IDocument::IID())
        return answer<IDocument>(this, out);
    return TInterfacedObject::QueryInterface(iid, out);
}

bool TDocumentService::SelectDocument(TDocumentDesc &desc)
{
    return SelectRow(
        m_connection, QStringLiteral("SELECT documentid, number, description FROM document ORDER BY %1, documentid")
                          .arg(m_connection->TextOrder(QStringLiteral("number"))),
        UiText(u"Izbor dokumenta"), {UiText(u"Broj"), UiText(u"Opis")}, &TDocumentDesc::DocumentID,
        [](const QSqlQuery &q, TDocumentDesc &d) {
            d.DocumentID = q.value(0).toInt();
            d.Number = RowText(q, 1);
            d.Description = RowText(q, 2);
            return QStringList{d.Number, d.Description};
        },
        desc, std::function<bool(TDocumentDesc &, const QString &)>(
                  [this](TDocumentDesc &d, const QString &typed) { return NewDocument(d, typed); }));
}

bool TDocumentService::NewDocument(TDocumentDesc &desc, const QString &number)
{
    TDocumentStore store(*m_connection, CurrentRegisterActor(m_security.get()));
    TDocumentRecord record;
    record.Number = number.trimmed();
    if (!ShowDocumentForm(store, record))
        return false;
    desc.DocumentID = qint32(record.DocumentID);
    desc.Number = record.Number;
    desc.Description = record.Description;
    return true;
}
