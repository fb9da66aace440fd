#pragma once
// History entries in the words a clerk reads:
// "07.12.2026 21:40 · Ana Petrović · Namenjeno: — → Marko Marković".

#include "LedgerHistory.h"

#include <QStringList>

// The caption of a ledger item column as the detail form names it.
QString HistoryColumnCaption(const QString &column);
// A value of a column for reading: the stored words when there are any,
// "Da"/"Ne" for flags, dd.MM.yyyy dates, "—" for no value.
QString HistoryValueText(const QString &column, const QVariant &value, const QString &text);
// The lines of one entry, each beginning with its time and user: one per
// changed column of an update, one for an insert or a delete.
QStringList HistoryLines(const THistoryEntry &entry);
// "07.12.2026 21:40"
QString HistoryTime(const QDateTime &when);
