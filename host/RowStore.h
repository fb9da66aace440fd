#pragma once
// Compact column-wise store of an opened row set. Numbers and dates are kept
// in typed vectors (the storage each type's table entry names), texts as
// UTF-8 in one pool; nulls in a bit vector per column. Rows are appended
// only; a data set keeps its own visible order.

#include "FieldType.h"
#include "KExport.h"

#include <QVariant>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

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

    // Fast paths used while loading and sorting. SetInt takes the stored
    // integer of the type (see TTypeOps::pack).
    void SetInt(uint32_t row, int col, qint64 v);
    void SetText(uint32_t row, int col, const char *utf8, size_t len);
    // Nulls first; texts in the Serbian order with numbers as numbers
    // (SerbianCollation.h).
    int Compare(uint32_t a, uint32_t b, int col) const;
    // For a text column, a rank per row in Compare's order (nulls 0, equal
    // texts equal ranks): each distinct text is collated once, so sorting
    // many rows compares integers. Empty for other columns.
    std::vector<uint32_t> TextRanks(int col) const;

    size_t MemoryUsed() const;
    // Ends a bulk load: gives back the vectors' spare capacity and the
    // look-up tables used to share repeated texts.
    void Squeeze();

private:
    // A text in the pool: block << 40 | offset << 20 | length.
    enum class TextRef : uint64_t {};
    // One alternative per TStorage, in its order.
    using Values = std::variant<std::vector<qint64>, std::vector<qint32>, std::vector<qint16>, std::vector<quint8>,
                                std::vector<double>, std::vector<TextRef>>;
    struct Column
    {
        TFieldType type;
        const TTypeOps *ops;
        Values values;
        std::vector<bool> null;
        // Repeated texts (names, kinds) are stored once while loading; a
        // column whose values are mostly distinct stops looking them up.
        std::unique_ptr<std::unordered_map<std::string_view, TextRef>> shared;
        size_t sharedSeen = 0; // values in the current window
        size_t sharedNew = 0;  // of which were new
    };
    TextRef appendText(const char *utf8, size_t len);
    std::string_view textAt(TextRef ref) const;

    std::vector<Column> m_columns;
    // Texts live in fixed blocks that never move, so views into them stay valid.
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::vector<size_t> m_blockSizes;
    size_t m_blockUsed = 0;
    size_t m_rows = 0;
};
