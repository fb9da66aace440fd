#pragma once
// Small pieces shared by the ledger's printed books: the year asked for,
// dates as the office writes them, and cells joined from optional parts.

#include <QString>
#include <QStringList>
#include <QVariant>

// Throws KException with a Serbian message when year is no calendar year
// a register can be kept for.
void CheckLedgerYear(int year);
// A year as typed ("2026", spaces aside) when it is one a register can be
// kept for; false for anything else.
bool ParseLedgerYear(const QString &text, int &year);

// "dd.MM.yyyy" of a date or date-time as either backend hands it over
// (SQLite: text); empty for NULL or anything unreadable.
QString DisplayDate(const QVariant &value);
// The date-time of a value as either backend hands it over; invalid for NULL.
QDateTime StoredDateTime(const QVariant &value);

// The parts that are not blank, trimmed, joined by separator.
QString JoinFilled(const QStringList &parts, const QString &separator);
