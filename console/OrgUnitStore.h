#pragma once
// The office's organisational units (table orgunit), kept by its
// administrators: add, change code and name, deactivate and activate again;
// nothing is deleted, as items keep the unit's name as text. A name is
// refused when another unit has it, also written in another case, without
// diacritics or in Cyrillic; two desks adding the same name at once are
// told apart by the unique index. Each change is stored with its record in
// the registers' history (table "orgunit") in one transaction. Refusals are
// KExceptions with a Serbian message.

#include "RegisterHistory.h"

#include <QList>
#include <QString>

class TZConnection;
class TZTransaction;

struct TOrgUnitRecord
{
    qint64 OrgUnitID = 0;
    QString Code; // optional: "01", "PIS"
    QString Name;
    bool Active = true;
};

class TOrgUnitStore
{
public:
    TOrgUnitStore(TZConnection &connection, TRegisterActor actor);

    // Every unit, active or not, by name in the order of the interface's
    // script (SerbianDisplayOrder.h).
    QList<TOrgUnitRecord> All() const;

    // Adds an active unit and gives its id.
    qint64 Add(const QString &code, const QString &name);
    void Update(qint64 id, const QString &code, const QString &name);
    void SetActive(qint64 id, bool active);

private:
    // Refuses a code or name that is too long, an empty name or another unit's.
    void check(const QString &code, const QString &name, qint64 ownID) const;
    TOrgUnitRecord lockedRow(TZTransaction &transaction, qint64 id) const;

    TZConnection &m_connection;
    TRegisterActor m_actor;
};
