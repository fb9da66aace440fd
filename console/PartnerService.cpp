#include "PartnerService.h"

#include "InterfaceScript.h"
#include "PartnerEditDialog.h"
#include "PartnerStore.h"
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
    return SelectRow<TPartnerDesc>(
        m_connection,
        QStringLiteral("SELECT partnerid, name, address, city FROM partner WHERE active = 'y' ORDER BY %1, partnerid")
            .arg(m_connection->TextOrder(QStringLiteral("name"))),
        UiText(u"Izbor partnera"), {UiText(u"Naziv"), UiText(u"Adresa"), UiText(u"Mesto")},
        &TPartnerDesc::PartnerID,
        [](const QSqlQuery &q, TPartnerDesc &p) {
            p.PartnerID = q.value(0).toInt();
            p.Name = RowText(q, 1);
            p.Address = RowText(q, 2);
            return QStringList{p.Name, p.Address, RowText(q, 3)};
        },
        desc, [this](TPartnerDesc &d, const QString &typed) {
            // The partner chosen before is no hint for a new one.
            d = {};
            return NewPartner(d, typed);
        });
}

bool TPartnerService::NewPartner(TPartnerDesc &desc, const QString &name)
{
    TUserDesc user;
    if (!m_security || !m_security->GetCurrentUser(user, 0))
        user = {};
    TPartnerRecord record;
    record.Name = name.trimmed();
    record.Address = desc.Address;
    record.Pib = desc.Pib;
    record.Email = desc.Email;
    TPartnerEditDialog dialog(*m_connection, PartnerActor(user), record, QApplication::activeWindow());
    if (Dialogs().ShowModal(dialog) != QDialog::Accepted)
        return false;
    const TPartnerRecord stored = dialog.Record();
    desc.PartnerID = qint32(stored.ID);
    desc.Name = stored.Name;
    desc.Address = stored.Address;
    desc.Pib = stored.Pib;
    desc.Email = stored.Email;
    return true;
}
