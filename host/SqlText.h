#pragma once
// Small routines over SQL texts. They scan the text token by token, so a
// keyword inside a quoted literal, a quoted name, a comment or parentheses
// is never taken for the statement's own.

#include "KExport.h"

#include <QString>

// The SQL text with its top-level WHERE condition replaced by condition.
// Without a WHERE clause one is added before GROUP BY / HAVING / ORDER BY /
// LIMIT (or at the end). An empty condition removes the WHERE clause.
KCOMMON_EXPORT QString ChangeSQLCondition(const QString &sql, const QString &condition);

// The first table named after the top-level FROM, without alias.
KCOMMON_EXPORT QString FirstTableOf(const QString &sql);

// The rows of a SELECT in the order of orderBy ("col DESC, col2"), naming
// its result columns: the text wrapped as a derived table, so that a name
// two joined tables share is never ambiguous and the text's own ORDER BY
// and LIMIT keep their meaning.
KCOMMON_EXPORT QString SortedSelect(const QString &sql, const QString &orderBy);

// Identifier quoting that both backends understand.
KCOMMON_EXPORT QString QuoteIdent(const QString &name);
