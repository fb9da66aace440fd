#pragma once
// Whether a year's ledger numbers run without a break, per direction: the
// sequence numbers missing up to the highest in use, the numbers given to
// more than one item, and the numbers that do not belong to the year (such
// as "5/25" on an item registered in 2026, or one without a two-digit year).
// Enclosures ("12/26-1") never make a gap, and each year starts at 1.
//
// The unique key binds only items that were not passed on, and compares the
// text as written. So a number can still be given twice: to a pass-on copy
// whose number was changed (renumbering it when its direction changes), to a
// copy whose item was deleted and its number given out again, or written
// differently ("012/26" beside "12/26"). All of these count as uses here; a
// copy that keeps its item's number does not.
//
// A cancelled (storno) item keeps its number: the number is in use, never
// missing, and each cancelled number is listed after the other findings of
// its direction.

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

class TZConnection;
struct TPagedReport;

struct TContinuityRow
{
    qint64 Id = 0;
    qint32 Direction = 0;
    QString Number;
    QDateTime When;
    bool PassOn = false;      // a pass-on copy
    bool OriginFound = false; // the item it was passed on from still exists
    qint32 OriginDirection = 0;
    QString OriginNumber;
    bool Cancelled = false;
    QString CancelReason;
};

enum class TContinuityKind { Missing, Duplicate, OutOfYear, Malformed, Cancelled };

struct TContinuityFinding
{
    qint32 Direction = 0;
    TContinuityKind Kind = TContinuityKind::Missing;
    QString Numbers; // "4/26", "4/26 – 7/26", or the number as written
    QString Text;    // what is wrong, in words
};

// Findings over the rows registered in year, per direction (incoming,
// outgoing, internal) in number order; rows of other years are left out.
QList<TContinuityFinding> CheckContinuity(int year, const QList<TContinuityRow> &rows);

// The rows of the items registered in year, read off this thread
// (ReadRows.h): after a second the wait shows how many came, or readProgress
// is told instead and may stop the read with false. Throws EAbort when the
// read was cancelled.
QList<TContinuityRow> ReadContinuityRows(TZConnection &connection, int year,
                                         const std::function<bool(qint64 rows)> &readProgress = {});

QString ContinuityKindCaption(TContinuityKind kind);
// What a direction without findings says.
QString ContinuityNothingFoundText();

// The printed report of the findings.
TPagedReport ContinuityReport(TZConnection &connection, int year, const QList<TContinuityFinding> &findings);

// Throws KException with a Serbian message on a bad year or an unwritable
// file. progress is asked while the rows are read (done: rows read, total 0)
// and while the pages are painted; false when the read or the painting was
// cancelled, and then no file is left behind.
bool SaveContinuityReport(TZConnection &connection, int year, const QString &fileName,
                          const std::function<bool(qint64, qint64)> &progress = {});
