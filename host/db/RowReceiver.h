#pragma once
// What a read hands its rows to, one row at a time, as the client library
// has them: the streaming reader (RowStream.h) calls a receiver, the row pipe
// (RowPipe.h) is one and hands the rows on to another.

#include "FieldType.h"
#include "KExport.h"

#include <QStringList>
#include <cstddef>
#include <vector>

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
