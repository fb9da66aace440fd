#pragma once
// The documents' picker the console offers every module; its "Novi…" and
// NewDocument open the document form (DocumentsWindow.h).

#include "KInterfaces.h"

class TZConnection;

class TDocumentService : public TInterfacedObject, public IDocument
{
public:
    // security names who adds a document in the registers' history.
    explicit TDocumentService(TZConnection *connection, IRef<ISecurity> security = {})
        : m_connection(connection), m_security(std::move(security))
    {
    }

    bool QueryInterface(const QUuid &iid, void **out) override;

    bool SelectDocument(TDocumentDesc &desc) override;
    bool NewDocument(TDocumentDesc &desc, const QString &number) override;

private:
    TZConnection *m_connection;
    IRef<ISecurity> m_security;
};
