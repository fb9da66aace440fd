#pragma once
// Compact column-wise store of an opened row set. Numbers and dates are kept
// in typed vectors, texts as UTF-8 in one pool; nulls in a bit vector per
// column. Rows are appended only; a data set keeps its own visible order.

#include "KExport.h"

#include <QVariant>
#include <cstdint>
#include <string>
#include <vector>

enum class TFieldType { Largeint, Integer, Smallint, DateTime, Date, String, Boolean, Float };

class KCOMMON_EXPORT TRowStore
{
public:
    void Reset(const std::vector<TFieldType> &types);
    void Clear();
    void Reserve(size_t rows);

    size_t RowCount() const { return m_rows; }
    size_t ColumnCount() const { return m_columns.size(); }
    TFieldType Type(int col) const { return m_columns[size_t(col)].type; }

    uint32_t AddRow(); // all columns null
    bool IsNull(uint32_t row, int col) const;
    QVariant Get(uint32_t row, int col) const;
    // Stores a value already normalised to the column's type (or null).
    void Set(uint32_t row, int col, const QVariant &value);

    // Fast paths used while loading and sorting.
    void SetInt(uint32_t row, int col, qint64 v);
    void SetText(uint32_t row, int col, const char *utf8, size_t len);
    int Compare(uint32_t a, uint32_t b, int col) const;

    size_t MemoryUsed() const;

    // Date-times are kept as seconds since the Julian epoch: free of time
    // zones, and they sort like the text the databases store.
    static qint64 PackDateTime(const QDateTime &dt);
    static QDateTime UnpackDateTime(qint64 v);

private:
    struct Column
    {
        TFieldType type;
        std::vector<qint64> i64;   // Largeint, DateTime
        std::vector<qint32> i32;   // Integer, Date (Julian day)
        std::vector<qint16> i16;   // Smallint
        std::vector<quint8> b;     // Boolean
        std::vector<double> f;     // Float
        std::vector<uint64_t> txt; // String: offset << 24 | length
        std::vector<bool> null;
    };
    std::vector<Column> m_columns;
    std::string m_pool;
    size_t m_rows = 0;
};
