#pragma once
// Streams a SELECT's rows straight from the database client library, one row
// at a time, without building a QVariant per value or keeping the whole
// result in the driver: MySQL through mysql_use_result (or, with parameters,
// an unbuffered prepared statement whose integer columns the client hands
// over as integers, the rest as text), SQLite through sqlite3_step, its
// integers as integers. Parameters are bound, never spliced into the text.
// The data sets copy each row into their own store, on a second thread while
// the next rows are read (RowPipe.h). The whole read runs off the GUI thread,
// showing its progress and open to cancelling (ServerWait.h).

#include "KExport.h"
#include "RowStore.h"

#include <QStringList>
#include <QVariantList>
#include <cstddef>
#include <vector>

class TZConnection;

// A row as the client library hands it over. Column i is an integer when
// IsInteger[i] (in Integers[i]), else SQL NULL when Texts[i] is null, else
// a UTF-8 text of Lengths[i] bytes, not NUL-terminated.
struct TRawRow
{
    int Count;
    const char *const *Texts;
    const size_t *Lengths;
    const qint64 *Integers;
    const bool *IsInteger;
};

// Called off the GUI thread (rows on the thread that stores them, RowPipe.h):
// a receiver touches nothing but its own state (no widget, no data set).
class KCOMMON_EXPORT TRowReceiver
{
public:
    virtual ~TRowReceiver() = default;
    // Column names and the type each column suggests; may throw (the result
    // is released).
    virtual void Columns(const QStringList &names, const std::vector<TFieldType> &types) = 0;
    // values[i] is null for SQL NULL; texts are not NUL-terminated.
    virtual void Row(const char *const *values, const size_t *lengths) = 0;
    // Every row comes here first; by default its integers are spelled in
    // digits and the row goes on to Row.
    virtual void RawRow(const TRawRow &row);
    // After the last row of a read that succeeded.
    virtual void End() {}

private:
    std::vector<const char *> m_texts;
    std::vector<size_t> m_lengths;
    std::vector<char> m_digits;
};

// Runs sql with params bound to its ? marks on the connection and hands every
// row to receiver; throws EDatabaseError with the database's message, EAbort
// when the user cancelled the read.
KCOMMON_EXPORT void StreamQuery(TZConnection &connection, const QString &sql, const QVariantList &params,
                                TRowReceiver &receiver);

// Fails with a clear message when the client library this reader uses is not
// the one Qt's database driver uses for the connection.
KCOMMON_EXPORT void CheckStreamingClient(TZConnection &connection);
