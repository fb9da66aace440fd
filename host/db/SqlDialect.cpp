#include "SqlDialect.h"

#include "MariaDbDialect.h"
#include "SqliteDialect.h"

QString TSqlDialect::unquotedDefault(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'\'') && text.endsWith(u'\''))
        return text.mid(1, text.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return text;
}

bool IsMySqlDriver(const QString &driver)
{
    return driver.compare(QLatin1String("QMYSQL"), Qt::CaseInsensitive) == 0
        || driver.compare(QLatin1String("QMARIADB"), Qt::CaseInsensitive) == 0;
}

std::unique_ptr<TSqlDialect> MakeSqlDialect(const QString &driver)
{
    if (IsMySqlDriver(driver))
        return std::make_unique<TMariaDbDialect>();
    return std::make_unique<TSqliteDialect>();
}
