#pragma once
// The documents' register: reads, adds and changes documents. Each change is
// stored with its record in the registers' history (table "document") in
// one transaction. Refusals are KExceptions with a Serbian message; the
// database's errors come as EDatabaseError.

#include "RegisterHistory.h"

#include <QList>
#include <QString>

class TZConnection;

struct TDocumentRecord
{
    qint64 DocumentID = 0; // 0: not stored yet
    QString Number;
    QString Description;
};

class TDocumentStore
{
public:
    TDocumentStore(TZConnection &connection, TRegisterActor actor);

    // Every document, by number in the order of the interface's script
    // (numbers as numbers; SerbianDisplayOrder.h).
    QList<TDocumentRecord> All() const;
    // Why the record cannot be stored, or empty text.
    static QString Problem(const TDocumentRecord &record);

    // Stores a new document and gives its id.
    qint64 Insert(const TDocumentRecord &record);
    // Stores the changed columns of a stored document.
    void Update(const TDocumentRecord &record);

private:
    TZConnection &m_connection;
    TRegisterActor m_actor;
};
