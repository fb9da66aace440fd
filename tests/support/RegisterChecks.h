#pragma once
// What register tests read back: the message a refused change gives, and the
// registers' history of one row as "kind|who|column|old|new" lines.

#include "KException.h"
#include "ZConnection.h"

#include <QSqlQuery>
#include <QStringList>
#include <functional>

// The message of the KException work throws; empty when it goes through.
inline QString RefusalOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const KException &e) {
        return e.message();
    }
    return {};
}

// Every value recorded for the row, oldest change first, columns by name.
inline QStringList RegisterHistoryLines(TZConnection &connection, const QString &table, qint64 id)
{
    QStringList lines;
    auto q = connection.OpenQuery(
        QStringLiteral("SELECT h.changekind, h.username, v.columnname, v.oldvalue, v.newvalue FROM registerhistory h "
                       "JOIN registerhistoryvalue v ON v.registerhistoryid = h.registerhistoryid "
                       "WHERE h.tablename = ? AND h.recordid = ? ORDER BY h.registerhistoryid, v.columnname"),
        {table, id});
    while (q->next())
        lines << QStringList{q->value(0).toString(), q->value(1).toString(), q->value(2).toString(),
                             q->value(3).toString(), q->value(4).toString()}
                     .join(u'|');
    return lines;
}
