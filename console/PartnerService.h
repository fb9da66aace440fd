#pragma once
// The partners' picker the console offers every module: the active
// partners, and "Novi…", which opens the partner form with the typed text as
// the name; the new partner is the choice. Inactive partners are offered
// nowhere but stay on their items.

#include "KInterfaces.h"

class TZConnection;

class TPartnerService : public TInterfacedObject, public IPartner
{
public:
    // security names who adds a partner in the registers' history.
    explicit TPartnerService(TZConnection *connection, IRef<ISecurity> security = {})
        : m_connection(connection), m_security(std::move(security))
    {
    }

    bool QueryInterface(const QUuid &iid, void **out) override;

    bool SelectPartner(TPartnerDesc &desc) override;
    bool NewPartner(TPartnerDesc &desc, const QString &name) override;

private:
    TZConnection *m_connection;
    IRef<ISecurity> m_security;
};
