#include "OrgUnitList.h"

#include "SerbianDisplayOrder.h"
#include "ZConnection.h"

#include <QSqlQuery>

QStringList ActiveOrgUnits(TZConnection &connection)
{
    QStringList names;
    auto q = connection.OpenQuery(QStringLiteral("SELECT name FROM orgunit WHERE active = 'y'"));
    while (q->next())
        names << q->value(0).toString();
    SortForDisplay(names);
    return names;
}

QStringList OrgUnitChoices(const QStringList &activeUnits, const QString &itemUnit)
{
    QStringList choices{QString()};
    choices << activeUnits;
    if (!itemUnit.isEmpty() && !activeUnits.contains(itemUnit))
        choices << itemUnit;
    return choices;
}
