#pragma once
// The register book of a year as an office files it: every item of the
// chosen directions in the order of its ledger number (numbers compared as
// numbers, enclosures under their item), each pass-on copy right under the
// item it came from, without a number of its own; the organisation heads
// every page, a closing line counts the items, the history chain's head
// (HistoryChain.h) ends the book. A copy whose item was deleted is listed on
// its own, by its number and marked so.

#include "DataScript.h"

#include <QList>
#include <QString>
#include <functional>
#include <initializer_list>

class TZConnection;
struct TPagedReport;

// What a print of the book holds beyond its year: the directions (empty:
// all three), the items of a partner only (the list's partner criterion:
// either script, any case, with or without diacritics), and the script the
// data is printed in. Made from the directions alone where only they count.
struct TRegisterBookPrint
{
    TRegisterBookPrint() = default;
    TRegisterBookPrint(QList<qint32> directions) : Directions(std::move(directions)) {}
    TRegisterBookPrint(std::initializer_list<qint32> directions) : Directions(directions) {}

    QList<qint32> Directions;
    QString Partner;        // empty: every partner
    TDataScript DataScript; // empty: as typed
};

// The book's document, read from the database.
// The items are read off this thread (ReadRows.h): after a second the wait
// shows how many came, or readProgress is told instead and may stop the read
// with false (TReadProgress). Throws KException with a Serbian message on a
// bad year or direction, EAbort when the read was cancelled.
TPagedReport RegisterBookReport(TZConnection &connection, int year, const TRegisterBookPrint &print,
                                const std::function<bool(qint64 rows)> &readProgress = {});

// Throws KException with a Serbian message on a bad year or an unwritable file.
// progress is asked while the items are read (done: items read, total 0)
// and while the pages are painted (done of total). Returns false when the
// read or the painting was cancelled: then no file is left behind.
bool SaveRegisterBook(TZConnection &connection, int year, const TRegisterBookPrint &print,
                      const QString &fileName,
                      const std::function<bool(qint64 done, qint64 total)> &progress = {});

// The book in the print preview of the dialog seam; the read and the
// painting show their progress through the seam's TaskProgress. Throws
// EAbort when the user cancelled either.
void PreviewRegisterBook(TZConnection &connection, int year, const TRegisterBookPrint &print);
