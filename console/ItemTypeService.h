#pragma once
// The book's list of document types the console offers every module
// (IItemTypes): the active types in the Serbian order, and adding a type
// after asking, for administrators only.

#include "KInterfaces.h"

class TZConnection;

// What a clerk is told who asks to add a type.
extern const QString AddItemTypeAdministratorsOnlyText;

class TItemTypeService : public TInterfacedObject, public IItemTypes
{
public:
    TItemTypeService(TZConnection *connection, IRef<ISecurity> security)
        : m_connection(connection), m_security(std::move(security))
    {
    }

    bool QueryInterface(const QUuid &iid, void **out) override;

    QStringList ItemTypes() override;
    // True at once when the list has the name already (in any spelling).
    bool AddItemType(const QString &name) override;

private:
    TZConnection *m_connection;
    IRef<ISecurity> m_security;
};
