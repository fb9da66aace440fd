#pragma once
// An item's number carries the year of its date: "12/26" and its enclosure
// "12/26-1" belong to 2026. A pass-on copy keeps its origin's number and is
// exempt. A date more than a day ahead is asked about before it is stored.

#include <QDateTime>
#include <QString>
#include <optional>

// The two-digit year a number carries ("12/26", "12/26-3": 26); nullopt
// when it carries none.
std::optional<int> LedgerNumberYear(const QString &number);
// Why number may not stand with an item registered at when; empty when it may.
QString NumberYearRefusal(const QString &number, const QDateTime &when);
// True when when is more than a day after now.
bool IsFarFuture(const QDateTime &when, const QDateTime &now);
// The question a date more than a day ahead asks (Da / Ne, Ne the default).
QString FutureDateQuestion(const QDateTime &when);
