#pragma once
// Reading a partner list that an office keeps in a spreadsheet, saved as CSV:
// UTF-8 (with or without its mark) or Windows-1250, the way Serbian Excel
// saves it; ';' or ',' between cells; quoted cells may hold either and line
// breaks. The first row names the columns; the names a clerk would write
// (Naziv, Adresa, Mesto, PIB, Matični broj, E-mail, Telefon, in either case,
// with or without diacritics) are mapped to the partner's fields.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The fields a column can fill; Ignored for a column nobody asked for.
enum class TPartnerColumn { Ignored, Name, Address, City, Pib, Mb, Email, Phone };

struct TCsvRow
{
    int Line = 0; // where the row starts in the file, from 1
    QStringList Cells;
};

struct TPartnerCsv
{
    QString Encoding;  // "UTF-8" or "Windows-1250"
    QChar Separator;   // ';' or ','
    QStringList Header;
    QList<TPartnerColumn> Columns; // one per header cell, as guessed from its name
    QList<TCsvRow> Rows;           // the data rows, empty ones left out
};

// The column a header cell names; Ignored when it names none.
TPartnerColumn GuessPartnerColumn(const QString &header);
// "Naziv", "PIB", ... as a clerk reads the field; "(ne uvozi se)" for Ignored.
QString PartnerColumnCaption(TPartnerColumn column);

// Reads the whole file's bytes. Throws KException with the line's number for
// a quote left open or a row longer than the header, and for a file without
// a header row.
TPartnerCsv ReadPartnerCsv(const QByteArray &bytes);
