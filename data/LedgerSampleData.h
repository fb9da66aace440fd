#pragma once
// A small, realistic docket book for a first start on SQLite and for tests:
// ledger items over several years, numbered the way the desk numbers them,
// with their history, over the console's sample users, partners and
// documents (at least three users, one partner and one document).

#include <QDate>

class TZConnection;

// Inserts the items in one transaction, and puts the document types they use
// on the book's list where it lacks them; the ledger's tables must be empty.
// Dates near `today` let the quick filters (today, this week) show rows.
// The same rows on every start. Throws KException.
void FillLedgerSampleData(TZConnection &connection, const QDate &today = QDate::currentDate());
