#include "DocumentService.h"

#include "PickRows.h"

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
        QStringLiteral("Izbor dokumenta"), {QStringLiteral("Broj"), QStringLiteral("Opis")}, &TDocumentDesc::DocumentID,
        [](const QSqlQuery &q, TDocumentDesc &d) {
            d.DocumentID = q.value(0).toInt();
            d.Number = RowText(q, 1);
            d.Description = RowText(q, 2);
            return QStringList{d.Number, d.Description};
        },
        desc);
}
