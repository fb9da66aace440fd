#pragma once
// The documents' picker the console offers every module.

#include "KInterfaces.h"

class TZConnection;

class TDocumentService : public TInterfacedObject, public IDocument
{
public:
    explicit TDocumentService(TZConnection *connection) : m_connection(connection) {}

    bool QueryInterface(const QUuid &iid, void **out) override;

    bool SelectDocument(TDocumentDesc &desc) override;

private:
    TZConnection *m_connection;
};
