#pragma once
// The partners' picker the console offers every module.

#include "KInterfaces.h"

class TZConnection;

class TPartnerService : public TInterfacedObject, public IPartner
{
public:
    explicit TPartnerService(TZConnection *connection) : m_connection(connection) {}

    bool QueryInterface(const QUuid &iid, void **out) override;

    bool SelectPartner(TPartnerDesc &desc) override;

private:
    TZConnection *m_connection;
};
