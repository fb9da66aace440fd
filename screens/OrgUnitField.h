#pragma once
// An item's "Organizaciona jedinica": a list to choose from, not typed. It
// offers no unit, the office's active units, and the item's own unit when
// that one is no longer active, so opening an older item never loses it.

class TDBComboBox;
class TField;
class TZConnection;

// Fills combo with the choices (OrgUnitList.h) read from connection for the
// unit field holds now (null: none), showing that unit. Throws EDatabaseError.
void AttachOrgUnitField(TDBComboBox *combo, const TField *field, TZConnection &connection);
