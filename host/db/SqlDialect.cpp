#include "SqlDialect.h"

#include "MariaDbDialect.h"
#include "SqliteDialect.h"
#include "SerbianFold.h"

QString TSqlDialect::unquotedDefault(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'\'') && text.endsWith(u'\''))
        return text.mid(1, text.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return text;
}

QString TSqlDialect::FoldedPrefixCondition(const QString &column, const QString &typed, QVariantList &params) const
{
    const QString key = FoldedKey(column);
    const QString folded = SerbianFold(typed);
    qsizetype wildcard = 0;
    while (wildcard < folded.size() && folded.at(wildcard) != u'%' && folded.at(wildcard) != u'_')
        ++wildcard;
    QStringList conditions;
    if (wildcard > 0) {
        // Keys compare by code point on both backends; U+10FFFF follows every character.
        const QString low = folded.left(wildcard);
        conditions << key + QStringLiteral(" >= ?") << key + QStringLiteral(" < ?");
        params << low << low + QString::fromUcs4(U"\U0010FFFF");
    }
    if (wildcard < folded.size()) {
        conditions << key + QStringLiteral(" LIKE ?");
        params << LikePrefix(folded);
    }
    return conditions.join(QStringLiteral(" AND "));
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
