#pragma once
// Small routines over SQL texts. They scan the text token by token, so a
// keyword inside a quoted literal, a quoted name, a comment or parentheses
// is never taken for the statement's own.

#include "KExport.h"

#include <QString>
#include <vector>

// The SQL text with its top-level WHERE condition replaced by condition.
// Without a WHERE clause one is added before GROUP BY / HAVING / ORDER BY /
// LIMIT (or at the end). An empty condition removes the WHERE clause.
KCOMMON_EXPORT QString ChangeSQLCondition(const QString &sql, const QString &condition);

// Whether the text has a top-level WHERE: without one it reads whole tables.
KCOMMON_EXPORT bool HasCondition(const QString &sql);

// The first table named after the top-level FROM, without alias.
KCOMMON_EXPORT QString FirstTableOf(const QString &sql);

// A column of the first table after FROM, ascending or descending.
struct TSortTerm
{
    QString Column;
    bool Desc = false;
};
// The SELECT with an ORDER BY over terms, each column named through the name
// the first table goes by (its alias), so that a column two joined tables
// share is never ambiguous and an index of that table can give the order.
// Empty when the text has an ORDER BY, GROUP BY, LIMIT or compound of its
// own, or its first table cannot be told.
KCOMMON_EXPORT QString OrderedSelect(const QString &sql, const std::vector<TSortTerm> &terms);

// The name the first table after the top-level FROM goes by: its alias, or
// its name without a schema; empty when there is none.
KCOMMON_EXPORT QString FirstTableAlias(const QString &sql);

// Identifier quoting that both backends understand.
KCOMMON_EXPORT QString QuoteIdent(const QString &name);
