#include "PartnerService.h"

#include "PickRows.h"

// ---- TPartnerService --------------------------------------------------------

bool TPartnerService::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == IPartner::IID())
        return answer<IPartner>(this, out);
    return TInterfacedObject::QueryInterface(iid, out);
}

bool TPartnerService::SelectPartner(TPartnerDesc &desc)
{
    return SelectRow(
        m_connection, QStringLiteral("SELECT partnerid, name, address, city FROM partner ORDER BY %1, partnerid")
                          .arg(m_connection->TextOrder(QStringLiteral("name"))),
        QStringLiteral("Izbor partnera"), {QStringLiteral("Naziv"), QStringLiteral("Adresa"), QStringLiteral("Mesto")},
        &TPartnerDesc::PartnerID,
        [](const QSqlQuery &q, TPartnerDesc &p) {
            p.PartnerID = q.value(0).toInt();
            p.Name = RowText(q, 1);
            p.Address = RowText(q, 2);
            return QStringList{p.Name, p.Address, RowText(q, 3)};
        },
        desc);
}
