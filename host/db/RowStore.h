#pragma once
// Compact column-wise store of an opened row set. Every column keeps one
// integer per row (PackedInts.h: as narrow as its values allow, no memory
// while the column holds no value at all): numbers, dates and flags counted
// from a base the column takes from its first value, so that date-times fit
// in 32 bits; doubles as their bits; texts as the place of the text in a
// pool (TextPool.h) or, while a column's texts repeat, as a code into the
// column's dictionary of distinct texts. Rows are appended only; a data set
// keeps its own visible order.

#include "FieldType.h"
#include "KExport.h"
#include "PackedInts.h"
#include "TextPool.h"

#include <QVariant>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_set>
#include <vector>

class KCOMMON_EXPORT TRowStore
{
public:
    void Reset(const std::vector<TFieldType> &types);
    void Clear();

    size_t RowCount() const { return m_rows; }
    size_t ColumnCount() const { return m_columns.size(); }
    TFieldType Type(int col) const { return m_columns[size_t(col)].type; }

    uint32_t AddRow(); // all columns null
    bool IsNull(uint32_t row, int col) const;
    QVariant Get(uint32_t row, int col) const;
    // Stores a value already normalised to the column's type (or null).
    void Set(uint32_t row, int col, const QVariant &value);

    // Fast paths used while loading and sorting. SetInt takes the stored
    // integer of the type (see TTypeOps::pack).
    void SetInt(uint32_t row, int col, qint64 v);
    void SetText(uint32_t row, int col, const char *utf8, size_t len);
    // Nulls first; texts in the order a list shows in the interface's
    // script of the moment, numbers as numbers (SerbianDisplayOrder.h).
    int Compare(uint32_t a, uint32_t b, int col) const;
    // For a text column, a rank per row in Compare's order (nulls 0, equal
    // texts equal ranks): each distinct text is collated once, so sorting
    // many rows compares integers. Empty for other columns.
    std::vector<uint32_t> TextRanks(int col) const;
    // For a column of whole numbers, dates or flags, a number per row in
    // Compare's order (nulls lowest). Empty for other columns.
    std::vector<qint64> Ordinals(int col) const;

    size_t MemoryUsed() const;
    // Ends a bulk load: drops the look-up tables used to share texts and
    // gives back the pool's unused end; the rows stay where they are.
    void Squeeze();

private:
    struct Column
    {
        TFieldType type;
        const TTypeOps *ops;
        TPackedInts values; // stored integer minus base; text: place or code
        qint64 base = 0;
        bool based = false;
        // Rows holding INT64_MIN (as a double: -0.0), which reads as none in
        // the packed vector.
        std::unique_ptr<std::unordered_set<uint32_t>> lowest;
        // Texts while they repeat: the pool place of each code, and while
        // loading an open-addressing index of the codes by their text's hash
        // (bucket: code + 1, 0 empty).
        bool shared = false;
        bool indexed = false;
        std::vector<uint64_t> dictionary;
        std::vector<uint32_t> buckets;
        std::vector<uint32_t> hashes; // per code
        size_t seen = 0;
        size_t nextCheck = 0;
    };
    void setStored(Column &c, uint32_t row, qint64 v);
    void setNull(Column &c, uint32_t row);
    void putValue(Column &c, uint32_t row, qint64 delta);
    qint64 stored(const Column &c, uint32_t row) const; // not null
    static bool isNull(const Column &c, uint32_t row);
    std::string_view textOf(const Column &c, uint32_t row) const; // not null
    void stopSharing(Column &c);
    uint32_t codeOf(Column &c, std::string_view text); // adds a new text
    static void dropIndex(Column &c);

    std::vector<Column> m_columns;
    TTextPool m_pool;
    size_t m_rows = 0;
};
