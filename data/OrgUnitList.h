#pragma once
// The office's organisational units as the ledger offers them: the active
// units' names from the table the console's "Organizacione jedinice" keeps.
// An item keeps its unit's name as text, so a unit deactivated or renamed
// since still shows on the items that have it.

#include <QStringList>

class TZConnection;

// The active units' names in the order of the interface's script
// (SerbianDisplayOrder.h). Throws EDatabaseError.
QStringList ActiveOrgUnits(TZConnection &connection);

// What an item's unit may be chosen from: nothing (no unit) first, then the
// active units, and the item's own unit after them when it is not among
// them (no longer active, or renamed since).
QStringList OrgUnitChoices(const QStringList &activeUnits, const QString &itemUnit);
