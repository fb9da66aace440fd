#include "DisplayErrors.h"

#include "ErrorLog.h"
#include "Field.h"

#include <QSet>
#include <QString>

void LogDisplayError(const TField *field, const std::exception &error)
{
    static QSet<QString> logged;
    const QString text = QStringLiteral("Polje '%1' ne može da se prikaže: %2")
                             .arg(field ? field->DisplayLabel() : QString(), QString::fromUtf8(error.what()));
    if (logged.contains(text))
        return;
    logged.insert(text);
    LogError(text);
}
