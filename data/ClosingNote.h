#pragma once
// The closing note of a year (zaključak delovodnika) as it is printed: the
// organisation and its unit, the figures in a table with a column per
// direction, then the
// statement of the closing with lines for the signature and the seal
// ("M.P."). Before the year is closed the same note is its draft. The end
// of a year's register book repeats the closing and every reopening.

#include "data/ClosingFigures.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class TZConnection;
struct TPagedReport;

struct TClosingNote
{
    QString Organization;
    QString Unit;          // may be empty
    TClosingFigures Figures;
    bool Closed = false;   // false: a draft, before the closing
    QDateTime ClosedAt;
    QString ClosedBy;
};

// Organisation and unit from the book's settings (Organization/Name, Unit).
TClosingNote ClosingNoteOf(TZConnection &connection, const TClosingFigures &figures);
// The note of the year's stored closing, with the figures read then.
// Throws KException when the year is not closed.
TClosingNote ClosedYearNote(TZConnection &connection, int year);

// The note's table: what is counted, then its value per direction.
QStringList ClosingNoteCaptions(const TClosingFigures &figures);
QList<QStringList> ClosingNoteRows(const TClosingFigures &figures);
// The sentence that states the closing (or, in a draft, what it will state).
QString ClosingStatement(const TClosingNote &note);

TPagedReport ClosingNoteReport(const TClosingNote &note);
// Throws KException when the file cannot be written.
void SaveClosingNotePdf(const TClosingNote &note, const QString &fileName);
void PreviewClosingNote(const TClosingNote &note);

// The lines that end the year's register book: its closing and reopenings
// from the log, with the stored figures; empty for a year never closed.
QStringList ClosingBookLines(TZConnection &connection, int year);
