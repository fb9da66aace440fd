#pragma once
// Which years are closed (closedyear: a row per closed year), and the rule
// that a closed year's items are not written any more: not edited, accepted,
// cancelled, deleted, nor given a new item dated in that year. The database
// refuses such writes itself (its triggers on ledgeritem); the checks here
// run first, so the user reads the reason before any write is tried, and a
// refusal of the triggers reads the same.

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class EDatabaseError;
class TZConnection;

// "Godina 2025 je zaključena: stavke te godine se ne mogu menjati, stornirati ni brisati."
QString ClosedYearMessage(int year);

bool IsYearClosed(TZConnection &connection, int year);
// The closed years, oldest first.
QList<int> ClosedYears(TZConnection &connection);

// Throws KException(ClosedYearMessage) when the year of any of the valid
// dates is closed.
void CheckYearsOpen(TZConnection &connection, const QList<QDateTime> &dates);
// The closed year the stored item itemID is dated in; nullopt when its year
// is open or there is no such item.
std::optional<int> ClosedYearOfItem(TZConnection &connection, qint64 itemID);
// Throws as CheckYearsOpen when the stored item itemID is of a closed year.
void CheckItemYearOpen(TZConnection &connection, qint64 itemID);

// When error is the triggers' refusal: the year it names, or 0 when the
// backend cannot say (SQLite). nullopt for any other error.
std::optional<int> ClosedYearRefusal(const EDatabaseError &error);
// Throws KException(ClosedYearMessage) when error is the triggers' refusal,
// with the year it names, else the first closed year among dates; returns
// for any other error, which the caller rethrows.
void ThrowIfClosedYearRefusal(TZConnection &connection, const EDatabaseError &error, const QList<QDateTime> &dates = {});
