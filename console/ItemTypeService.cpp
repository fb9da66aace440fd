#include "ItemTypeService.h"

#include "Dialogs.h"
#include "InterfaceScript.h"
#include "ItemTypeStore.h"
#include "KException.h"
#include "SecurityActor.h"

const QString AddItemTypeAdministratorsOnlyText =
    QStringLiteral("Vrstu dokumenta „%1“ može da doda na listu samo administrator. Stavka zadržava upisani tekst.");

bool TItemTypeService::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == IItemTypes::IID())
        return answer<IItemTypes>(this, out);
    return TInterfacedObject::QueryInterface(iid, out);
}

QStringList TItemTypeService::ItemTypes()
{
    return TItemTypeStore(*m_connection, {}).ActiveNames();
}

bool TItemTypeService::AddItemType(const QString &typed)
{
    const QString name = typed.trimmed();
    if (name.isEmpty())
        return false;
    TItemTypeStore store(*m_connection, CurrentRegisterActor(m_security.get()));
    const TItemTypeRecord existing = store.Find(name);
    if (existing.ItemTypeID != 0 && existing.Active)
        return true;
    if (!CurrentUserAdministers(m_security.get())) {
        MessageDlg(UiText(AddItemTypeAdministratorsOnlyText).arg(name), TMsgDlgType::Warning, mbOK);
        return false;
    }
    if (MessageDlg(UiText(u"Dodati „%1“ u vrste dokumenta?").arg(name), TMsgDlgType::Confirmation, mbYes | mbNo)
        != mbYes)
        return false;
    try {
        store.Add(name);
    } catch (const KException &e) {
        MessageDlg(e.message(), TMsgDlgType::Error, mbOK);
        return false;
    }
    return true;
}
