#include "RowStore.h"

#include "SerbianDisplayOrder.h"

#include <QByteArray>
#include <QHash>
#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>
#include <utility>

namespace {
// Values seen before a text column is first judged, then at every doubling:
// it keeps sharing while at most three texts in four are new.
constexpr size_t kFirstCheck = 16384;
constexpr qint64 kLowest = std::numeric_limits<qint64>::min();

bool isText(TStorage s) { return s == TStorage::Text; }
bool isWhole(TStorage s) { return s != TStorage::Text && s != TStorage::Double; }
} // namespace

void TRowStore::Reset(const std::vector<TFieldType> &types)
{
    m_columns.clear();
    m_pool.Clear();
    m_rows = 0;
    m_columns.reserve(types.size());
    for (TFieldType t : types) {
        Column &c = m_columns.emplace_back();
        c.type = t;
        c.ops = &TypeOps(t);
        if (isText(c.ops->storage)) {
            c.shared = true;
            c.indexed = true;
            c.buckets.assign(1024, 0);
            c.nextCheck = kFirstCheck;
        }
    }
}

void TRowStore::Clear()
{
    std::vector<TFieldType> types;
    for (const Column &c : m_columns)
        types.push_back(c.type);
    Reset(types);
}

uint32_t TRowStore::AddRow()
{
    for (Column &c : m_columns)
        c.values.Grow(1);
    return uint32_t(m_rows++);
}

bool TRowStore::isNull(const Column &c, uint32_t row)
{
    return c.values.IsNone(row) && !(c.lowest && c.lowest->count(row));
}

bool TRowStore::IsNull(uint32_t row, int col) const
{
    return isNull(m_columns[size_t(col)], row);
}

qint64 TRowStore::stored(const Column &c, uint32_t row) const
{
    return c.values.IsNone(row) ? kLowest : c.values.At(row) + c.base;
}

void TRowStore::setNull(Column &c, uint32_t row)
{
    c.values.SetNone(row);
    if (c.lowest)
        c.lowest->erase(row);
}

void TRowStore::setStored(Column &c, uint32_t row, qint64 v)
{
    if (!c.based) {
        // Whole numbers far from zero (dates, date-times, big ids) count
        // from the first, so that the column's spread decides the width.
        c.based = true;
        if (isWhole(c.ops->storage) && (v < -32767 || v > 32767))
            c.base = v;
    }
    qint64 delta;
    if (c.base != 0 && (__builtin_sub_overflow(v, c.base, &delta) || delta == kLowest)) {
        // Too far from the base for 64 bits: every row counts from zero again.
        const qint64 base = std::exchange(c.base, 0);
        for (uint32_t r = 0; r < m_rows; ++r)
            if (!c.values.IsNone(r))
                putValue(c, r, c.values.At(r) + base);
    }
    if (c.lowest)
        c.lowest->erase(row);
    putValue(c, row, v - c.base);
}

void TRowStore::putValue(Column &c, uint32_t row, qint64 delta)
{
    if (delta != kLowest) {
        c.values.Set(row, delta);
        return;
    }
    // Packed, it would read as none: the row is noted (the base is zero then).
    c.values.SetNone(row);
    if (!c.lowest)
        c.lowest = std::make_unique<std::unordered_set<uint32_t>>();
    c.lowest->insert(row);
}

QVariant TRowStore::Get(uint32_t row, int col) const
{
    const Column &c = m_columns[size_t(col)];
    if (isNull(c, row))
        return {};
    switch (c.ops->storage) {
    case TStorage::Text: {
        const std::string_view t = textOf(c, row);
        return QString::fromUtf8(t.data(), qsizetype(t.size()));
    }
    case TStorage::Double: return std::bit_cast<double>(stored(c, row));
    default: return c.ops->unpack(stored(c, row));
    }
}

void TRowStore::SetInt(uint32_t row, int col, qint64 v)
{
    Column &c = m_columns[size_t(col)];
    switch (c.ops->storage) {
    case TStorage::Text: {
        const QByteArray t = QByteArray::number(v);
        SetText(row, col, t.constData(), size_t(t.size()));
        break;
    }
    case TStorage::Double: setStored(c, row, std::bit_cast<qint64>(double(v))); break;
    case TStorage::Flag: setStored(c, row, v != 0); break; // a flag keeps only whether it is set
    default: setStored(c, row, v); break;
    }
}

void TRowStore::SetText(uint32_t row, int col, const char *utf8, size_t len)
{
    Column &c = m_columns[size_t(col)];
    const std::string_view text(utf8, len);
    if (!c.shared) {
        c.values.Set(row, qint64(m_pool.Add(text)));
        return;
    }
    if (!c.indexed) { // loaded: a changed row's text gets a code of its own
        c.dictionary.push_back(m_pool.Add(text));
        c.values.Set(row, qint64(c.dictionary.size() - 1));
        return;
    }
    c.values.Set(row, codeOf(c, text));
    if (++c.seen < c.nextCheck)
        return;
    if (c.dictionary.size() * 4 > c.seen * 3)
        stopSharing(c); // mostly distinct: a code and a dictionary entry cost more than they save
    else
        c.nextCheck *= 2;
}

uint32_t TRowStore::codeOf(Column &c, std::string_view text)
{
    const auto hash = uint32_t(qHashBits(text.data(), text.size()));
    size_t mask = c.buckets.size() - 1;
    size_t at = hash & mask;
    for (; c.buckets[at] != 0; at = (at + 1) & mask) {
        const uint32_t code = c.buckets[at] - 1;
        if (c.hashes[code] == hash && m_pool.At(c.dictionary[code]) == text)
            return code;
    }
    const auto code = uint32_t(c.dictionary.size());
    c.dictionary.push_back(m_pool.Add(text));
    c.hashes.push_back(hash);
    c.buckets[at] = code + 1;
    if (c.dictionary.size() * 2 > c.buckets.size()) { // at most half full: short probes
        c.buckets.assign(c.buckets.size() * 2, 0);
        mask = c.buckets.size() - 1;
        for (uint32_t k = 0; k < c.dictionary.size(); ++k) {
            size_t i = c.hashes[k] & mask;
            while (c.buckets[i] != 0)
                i = (i + 1) & mask;
            c.buckets[i] = k + 1;
        }
    }
    return code;
}

void TRowStore::dropIndex(Column &c)
{
    c.indexed = false;
    std::vector<uint32_t>().swap(c.buckets);
    std::vector<uint32_t>().swap(c.hashes);
}

void TRowStore::stopSharing(Column &c)
{
    dropIndex(c);
    for (uint32_t r = 0; r < m_rows; ++r)
        if (!c.values.IsNone(r))
            c.values.Set(r, qint64(c.dictionary[size_t(c.values.At(r))]));
    c.shared = false;
    std::vector<uint64_t>().swap(c.dictionary);
}

std::string_view TRowStore::textOf(const Column &c, uint32_t row) const
{
    const auto v = uint64_t(c.values.At(row));
    return m_pool.At(c.shared ? c.dictionary[size_t(v)] : v);
}

void TRowStore::Set(uint32_t row, int col, const QVariant &value)
{
    Column &c = m_columns[size_t(col)];
    if (value.isNull()) {
        setNull(c, row);
        return;
    }
    switch (c.ops->storage) {
    case TStorage::Text: {
        const QByteArray t = value.toString().toUtf8();
        SetText(row, col, t.constData(), size_t(t.size()));
        break;
    }
    case TStorage::Double: setStored(c, row, std::bit_cast<qint64>(value.toDouble())); break;
    case TStorage::Flag: setStored(c, row, c.ops->pack(value) != 0); break;
    default: setStored(c, row, c.ops->pack(value)); break;
    }
}

int TRowStore::Compare(uint32_t a, uint32_t b, int col) const
{
    const Column &c = m_columns[size_t(col)];
    const bool na = isNull(c, a), nb = isNull(c, b);
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    switch (c.ops->storage) {
    case TStorage::Text: {
        if (c.shared && c.values.At(a) == c.values.At(b))
            return 0;
        const std::string_view x = textOf(c, a), y = textOf(c, b);
        if (x == y)
            return 0;
        const TScript script = InterfaceScript();
        QByteArray keyX, keyY;
        AppendSerbianDisplayKeyUtf8(x, script, keyX);
        AppendSerbianDisplayKeyUtf8(y, script, keyY);
        return keyX < keyY ? -1 : 1;
    }
    case TStorage::Double: {
        const double x = std::bit_cast<double>(stored(c, a)), y = std::bit_cast<double>(stored(c, b));
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    default: {
        const qint64 x = stored(c, a), y = stored(c, b);
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    }
}

std::vector<uint32_t> TRowStore::TextRanks(int col) const
{
    const Column &c = m_columns[size_t(col)];
    if (!isText(c.ops->storage))
        return {};
    // The texts to collate: a shared column's dictionary, else every row's own.
    const size_t count = c.shared ? c.dictionary.size() : m_rows;
    // A sort key per text, in one buffer; beside each entry its first
    // sixteen bytes as two numbers, so that most comparisons read no key.
    struct Entry
    {
        uint64_t head, next;
        uint32_t e;
        bool operator!=(const Entry &o) const { return head != o.head || next != o.next; }
        bool operator<(const Entry &o) const { return head != o.head ? head < o.head : next < o.next; }
    };
    std::vector<Entry> entries;
    entries.reserve(count);
    const TScript script = InterfaceScript();
    QByteArray keys;
    std::vector<std::pair<uint32_t, uint32_t>> spans(count); // offset, length
    for (size_t e = 0; e < count; ++e) {
        if (!c.shared && c.values.IsNone(e))
            continue;
        const qsizetype from = keys.size();
        AppendSerbianDisplayKeyUtf8(m_pool.At(c.shared ? c.dictionary[e] : uint64_t(c.values.At(e))), script, keys);
        spans[e] = {uint32_t(from), uint32_t(keys.size() - from)};
        uint64_t head[2] = {0, 0};
        for (qsizetype i = 0; i < 16; ++i)
            head[i / 8] = head[i / 8] << 8 | (from + i < keys.size() ? uchar(keys[from + i]) : 0);
        entries.push_back({head[0], head[1], uint32_t(e)});
    }
    const auto key = [&](uint32_t e) { return std::string_view(keys.constData() + spans[e].first, spans[e].second); };
    std::sort(entries.begin(), entries.end(), [&](const Entry &a, const Entry &b) {
        return a != b ? a < b : key(a.e) < key(b.e);
    });
    std::vector<uint32_t> rankOf(count, 0);
    uint32_t rank = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i == 0 || entries[i - 1] != entries[i] || key(entries[i - 1].e) != key(entries[i].e))
            ++rank;
        rankOf[entries[i].e] = rank;
    }
    std::vector<uint32_t> ranks(m_rows, 0);
    for (uint32_t row = 0; row < m_rows; ++row)
        if (!c.values.IsNone(row))
            ranks[row] = rankOf[c.shared ? size_t(c.values.At(row)) : row];
    return ranks;
}

std::vector<qint64> TRowStore::Ordinals(int col) const
{
    const Column &c = m_columns[size_t(col)];
    if (!isWhole(c.ops->storage) || (c.lowest && !c.lowest->empty()))
        return {};
    // Every row counts from the same base: the packed numbers keep the
    // order. Nulls go just below the least, which keeps the span narrow.
    bool any = false;
    qint64 least = 0;
    for (uint32_t row = 0; row < m_rows; ++row) {
        if (!c.values.IsNone(row)) {
            least = any ? std::min(least, c.values.At(row)) : c.values.At(row);
            any = true;
        }
    }
    std::vector<qint64> out(m_rows);
    for (uint32_t row = 0; row < m_rows; ++row)
        out[row] = c.values.IsNone(row) ? least - 1 : c.values.At(row);
    return out;
}

size_t TRowStore::MemoryUsed() const
{
    size_t total = m_pool.MemoryUsed() + m_columns.capacity() * sizeof(Column);
    for (const Column &c : m_columns) {
        total += c.values.MemoryUsed() + c.dictionary.capacity() * sizeof(uint64_t);
        total += (c.buckets.capacity() + c.hashes.capacity()) * sizeof(uint32_t);
        if (c.lowest)
            total += c.lowest->bucket_count() * 8 + c.lowest->size() * 16;
    }
    return total;
}

void TRowStore::Squeeze()
{
    for (Column &c : m_columns) {
        dropIndex(c);
        c.dictionary.shrink_to_fit(); // one entry per distinct text, not per row
    }
    m_pool.Trim();
}
