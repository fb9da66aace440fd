#pragma once
// The book's list of document types (table itemtype), kept by its
// administrators: add, rename, deactivate and activate again; nothing is
// deleted, as items keep their own text anyway. A name is refused when the
// list has it already, also written in another case, with or without
// diacritics or in Cyrillic ("resenje" for "Rešenje"). Two desks adding the
// same name at once are told apart by the unique index: the later one gets
// the same refusal. Each change is stored with its record in the registers'
// history (table "itemtype") in one transaction. Refusals are KExceptions
// with a Serbian message.

#include "RegisterHistory.h"

#include <QList>
#include <QString>
#include <QStringList>

class TZConnection;
class TZTransaction;

struct TItemTypeRecord
{
    qint64 ItemTypeID = 0;
    QString Name;
    bool Active = true;
};

class TItemTypeStore
{
public:
    TItemTypeStore(TZConnection &connection, TRegisterActor actor);

    // Every type, active or not, by name in the order of the interface's
    // script (SerbianDisplayOrder.h).
    QList<TItemTypeRecord> All() const;
    // The active types' names in the same order.
    QStringList ActiveNames() const;
    // The stored type whose name folds as name does, if any.
    TItemTypeRecord Find(const QString &name) const;

    // Adds an active type and gives its id.
    qint64 Add(const QString &name);
    void Rename(qint64 id, const QString &name);
    void SetActive(qint64 id, bool active);

private:
    QList<TItemTypeRecord> read(const QString &where) const;
    // Refuses a name that is empty, too long or another type's.
    void checkName(const QString &name, qint64 ownID) const;
    // Reads the row under lock for a change: throws when it is gone.
    TItemTypeRecord lockedRow(TZTransaction &transaction, qint64 id) const;

    TZConnection &m_connection;
    TRegisterActor m_actor;
};
