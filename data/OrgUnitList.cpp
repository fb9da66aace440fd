#include "OrgUnitList.h"

#include "SerbianCollation.h"
#include "ZConnection.h"

#include <QSqlQuery>
#include <algorithm>

QStringList ActiveOrgUnits(TZConnection &connection)
{
    QStringList names;
    auto q = connection.OpenQuery(QStringLiteral("SELECT name FROM orgunit WHERE active = 'y'"));
    while (q->next())
        names << q->value(0).toString();
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) { return SerbianCompare(a, b) < 0; });
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
