#pragma once
// A report's rows through the streaming path (RowStream.h): the statement
// runs and its rows are fetched off the GUI thread while the windows keep
// painting; after a second the wait shows the rows read so far and may be
// cancelled (ServerWait.h). Each row is handed to a handler as values, on
// the thread that stores the rows, so a handler fills only its own state:
// no widget, no data set, no caption looked up in a shared list.

#include "KExport.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>

class TZConnection;
struct TRawRow;

// One row as the database handed it over; valid only during the handler.
class KCOMMON_EXPORT TReadRow
{
public:
    explicit TReadRow(const TRawRow &raw) : m_raw(raw) {}
    int Count() const;
    bool IsNull(int column) const;
    // An integer column as qint64, SQL NULL as a null QVariant, anything
    // else as its text (a date-time "yyyy-MM-dd hh:mm:ss"): a QSqlQuery's
    // value as far as the reports read it.
    QVariant Value(int column) const;
    QString Text(int column) const;   // empty for NULL
    qint64 Integer(int column) const; // 0 for NULL or a text that is no number
    // A text column's bytes as the database sent them (UTF-8), an integer
    // in decimal; a null QByteArray for NULL, an empty one for ''.
    QByteArray Utf8(int column) const;

private:
    const TRawRow &m_raw;
};

// Runs sql with params bound on the connection and hands every row to row.
// Throws EDatabaseError with the database's message, EAbort when the user
// cancelled the wait (or a TReadProgress answered false), and what row threw.
KCOMMON_EXPORT void ReadRows(TZConnection &connection, const QString &sql, const QVariantList &params,
              const std::function<void(const TReadRow &row)> &row);
