#pragma once
// The office's classification plan (table classification), kept by its
// administrators. A mark is a group digit 0-9 followed by one digit per
// subgroup level ("0", "01", "011"); a subgroup's group must be in the
// plan and active. Each mark has a name and a retention period: a number of
// years (1-100) or "trajno". The mark itself never changes once stored;
// name and retention do. A mark is deactivated, not deleted, once items
// carry it or it has subgroups; a group keeps no active subgroup when it
// is deactivated. The same mark added twice is refused, also when two desks
// add it at once (the unique index). Each change is stored with its record
// in the registers' history (table "classification") in one transaction.
// Refusals are KExceptions with a Serbian message.

#include "RegisterHistory.h"

#include <QList>
#include <QString>
#include <optional>

class TZConnection;
class TZTransaction;

struct TClassificationRecord
{
    qint64 ClassificationID = 0;
    QString Mark;
    QString Name;
    std::optional<int> RetentionYears; // none: "trajno"
    bool Active = true;
};

class TClassificationStore
{
public:
    static constexpr int MaxRetentionYears = 100;

    TClassificationStore(TZConnection &connection, TRegisterActor actor);

    // The whole plan, active or not, each group before its subgroups.
    QList<TClassificationRecord> All() const;

    // Reads a retention as typed: "10", "trajno" (any case or script).
    // Throws KException for anything else.
    static std::optional<int> ParseRetention(const QString &typed);
    // "10" or "trajno", as the form shows it.
    static QString RetentionInput(std::optional<int> years);

    // Adds an active mark and gives its id.
    qint64 Add(const QString &mark, const QString &name, std::optional<int> retentionYears);
    void Update(qint64 id, const QString &name, std::optional<int> retentionYears);
    void SetActive(qint64 id, bool active);
    // Only a mark no item carries and without subgroups.
    void Delete(qint64 id);

private:
    // The mark's row, locked for a change; throws when it is gone.
    TClassificationRecord lockedRow(TZTransaction &transaction, qint64 id) const;
    std::optional<TClassificationRecord> byMark(const QString &mark) const;
    bool hasSubgroups(const QString &mark, bool activeOnly) const;

    TZConnection &m_connection;
    TRegisterActor m_actor;
};
