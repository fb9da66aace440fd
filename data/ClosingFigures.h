#pragma once
// The figures of a year's closing note (zaključak), per direction: how many
// items were registered under their own numbers, the first and the last of
// those numbers, the numbers cancelled (storno) and the numbers missing from
// the sequence, and beside them the enclosures ("12/25-1"), the pass-on
// copies (which keep their item's number) and what is not archived yet.
// A copy is the same paper as its item: it counts as a copy only, and its
// archive mark is left out.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class TZConnection;

struct TDirectionFigures
{
    qint32 Direction = 0;
    qint64 Items = 0;     // under numbers of their own, cancelled ones too
    QString FirstNumber;  // lowest sequence number of the year; empty when none
    QString LastNumber;
    QStringList Cancelled; // numbers of cancelled items and enclosures, in number order
    QStringList Missing;   // "4/25" or "4/25 – 7/25", from the numbering check
    qint64 Enclosures = 0;
    qint64 PassOnCopies = 0;
    qint64 NotArchived = 0; // items and enclosures
};

struct TClosingFigures
{
    int Year = 0;
    QList<TDirectionFigures> Directions; // incoming, outgoing, internal
    qint64 TotalItems() const;
};

// One item of the year as the figures need it.
struct TClosingRow
{
    qint64 Id = 0;
    qint32 Direction = 0;
    QString Number;
    QString When; // stored form, "yyyy-MM-dd hh:mm:ss"
    bool PassOn = false;
    bool OriginFound = false;
    qint32 OriginDirection = 0;
    QString OriginNumber;
    bool Cancelled = false;
    bool Archived = false;
};

// The figures over rows (of any years: the others are left out).
TClosingFigures ClosingFiguresOf(int year, const QList<TClosingRow> &rows);
// The year's items, read off this thread (ReadRows.h; readProgress as
// there). Throws KException on a bad year, EAbort when cancelled.
QList<TClosingRow> ReadClosingRows(TZConnection &connection, int year,
                                   const std::function<bool(qint64 rows)> &readProgress = {});
// The same, counted.
TClosingFigures ReadClosingFigures(TZConnection &connection, int year,
                                   const std::function<bool(qint64 rows)> &readProgress = {});

// As kept with the closing (closedyear.figures), and read back; an
// unreadable text gives figures without directions.
QByteArray ClosingFiguresJson(const TClosingFigures &figures);
TClosingFigures ClosingFiguresFromJson(const QByteArray &json);
