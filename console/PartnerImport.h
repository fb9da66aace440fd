#pragma once
// Importing partners from a list read by ReadPartnerCsv: first a plan that
// says, row by row, what would happen (added, refused and why, or a
// duplicate of which partner), shown to the clerk before anything is stored;
// then the import itself, all rows in one transaction with their history.
//
// A duplicate is a row whose PIB, or whose name under SerbianFold, is that of
// an active partner or of an earlier row of the same file. The clerk chooses
// to skip duplicates or to merge them: a merge fills the partner's empty
// fields from the row and never overwrites what the partner already has.

#include "PartnerCsv.h"
#include "PartnerStore.h"

#include <QList>

class TZConnection;

struct TPartnerImportRow
{
    int Line = 0;
    TPartnerRecord Record;
    QString Problem;          // why it cannot be stored; empty when it can
    qint64 DuplicateOf = 0;   // the stored partner it repeats, 0 for none
    int DuplicateOfRow = -1;  // or the earlier row of the file it repeats
    QString DuplicateReason;  // "isti PIB" / "isti naziv"
};

struct TPartnerImportPlan
{
    QList<TPartnerImportRow> Rows;
    int Refused() const;
    int Duplicates() const;
};

enum class TDuplicateAction { Skip, Merge };

struct TPartnerImportResult
{
    int Added = 0;
    int Merged = 0;
    int Skipped = 0;
    int Refused = 0;
};

// The rows as partners under columns (one per header cell), checked against
// the stored partners. Throws KException when no column is the name.
TPartnerImportPlan PlanPartnerImport(TZConnection &connection, const TPartnerCsv &csv,
                                     const QList<TPartnerColumn> &columns);

// Stores the plan's rows in one transaction, planned again inside it so
// that what another desk stored meanwhile counts. Throws (nothing stored)
// when the database refuses any of it.
TPartnerImportResult ImportPartners(TZConnection &connection, const TPartnerCsv &csv,
                                    const QList<TPartnerColumn> &columns, TDuplicateAction duplicates,
                                    const TRegisterActor &actor);

// "Dodato 12, spojeno 0, preskočeno 3, odbijeno 1."
QString PartnerImportSummary(const TPartnerImportResult &result);
