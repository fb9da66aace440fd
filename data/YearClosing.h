#pragma once
// Closing a year's register (zaključenje delovodnika) and opening it again.
// A closing stores who closed the year, when, on which computer, and the
// figures of its closing note; from then on the year's items are not written
// (ClosedYears.h). Every closing and reopening stays in the log (yearclosing).
// Only administrators close and reopen years.

#include "data/ClosingFigures.h"
#include "data/LedgerHistory.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

struct TUserDesc;
class TZConnection;

struct TClosedYear
{
    int Year = 0;
    QDateTime ClosedAt;
    QString UserName;
    QString HostName;
    TClosingFigures Figures; // as read when the year was closed
};

struct TYearClosingEvent
{
    int Year = 0;
    bool Reopened = false; // a reopening ('r'); a closing ('c') otherwise
    QDateTime At;
    QString UserName;
    QString HostName;
    QString Reason; // of a reopening
};

enum class TCloseOutcome { Closed, AlreadyClosed };

// Throws KException with a Serbian refusal unless user is an administrator.
void CheckYearClosingAllowed(const TUserDesc &user);

// In one transaction: the year's closedyear row first (so a post in flight
// and the closing take turns, and a second desk closing the same year is
// refused by the key: AlreadyClosed), then the figures read from what is
// stored now, kept with the row and in the log. figures receives them.
// Throws KException on a bad year or a database error.
TCloseOutcome CloseYear(TZConnection &connection, int year, const THistoryActor &actor,
                        TClosingFigures *figures = nullptr);
// Removes the closing and logs the reopening with its reason. Throws
// KException when the reason is blank or the year is not closed.
void ReopenYear(TZConnection &connection, int year, const QString &reason, const THistoryActor &actor);

// The year's closing as stored; nullopt when the year is open.
std::optional<TClosedYear> ClosedYearRecord(TZConnection &connection, int year);
// The year's closings and reopenings, oldest first.
QList<TYearClosingEvent> YearClosingLog(TZConnection &connection, int year);
