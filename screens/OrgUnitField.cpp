#include "OrgUnitField.h"

#include "DBControls.h"
#include "Field.h"
#include "data/OrgUnitList.h"

void AttachOrgUnitField(TDBComboBox *combo, const TField *field, TZConnection &connection)
{
    combo->SetStyle(TDBComboBox::TStyle::DropDownList);
    combo->SetItems(OrgUnitChoices(ActiveOrgUnits(connection), field ? field->AsString() : QString()));
}
