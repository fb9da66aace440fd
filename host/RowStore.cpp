#include "RowStore.h"

#include "KException.h"
#include "SerbianCollation.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <type_traits>

namespace {
constexpr uint64_t kLenBits = 20;
constexpr uint64_t kLenMask = (uint64_t(1) << kLenBits) - 1; // texts up to 1 MiB - 1
constexpr uint64_t kOffsetBits = 20;
constexpr size_t kBlockSize = size_t(1) << kOffsetBits;
constexpr size_t kSharedProbe = 4096; // values seen before judging a column

// The empty vector of the alternative at index.
template <class Variant, size_t I = 0>
Variant emptyAlternative(size_t index)
{
    if constexpr (I + 1 < std::variant_size_v<Variant>) {
        if (index != I)
            return emptyAlternative<Variant, I + 1>(index);
    }
    return Variant(std::in_place_index<I>);
}

template <class Variant, TStorage S, class T>
constexpr bool keeps = std::is_same_v<std::variant_alternative_t<size_t(S), Variant>, std::vector<T>>;

template <class Vector>
using Element = typename std::decay_t<Vector>::value_type;

// A flag keeps only whether it is set.
template <class T>
T narrow(qint64 v)
{
    if constexpr (std::is_same_v<T, quint8>)
        return v != 0;
    else
        return T(v);
}
} // namespace

void TRowStore::Reset(const std::vector<TFieldType> &types)
{
    m_columns.clear();
    m_blocks.clear();
    m_blockSizes.clear();
    m_blockUsed = 0;
    m_rows = 0;
    static_assert(std::variant_size_v<Values> == size_t(TStorage::Text) + 1 && keeps<Values, TStorage::Int64, qint64>
                      && keeps<Values, TStorage::Int32, qint32> && keeps<Values, TStorage::Int16, qint16>
                      && keeps<Values, TStorage::Flag, quint8> && keeps<Values, TStorage::Double, double>
                      && keeps<Values, TStorage::Text, TextRef>,
                  "one alternative per TStorage, in its order");
    for (TFieldType t : types) {
        const TTypeOps &ops = TypeOps(t);
        Column c{t, &ops, emptyAlternative<Values>(size_t(ops.storage)), {}, nullptr, 0, 0};
        if (ops.storage == TStorage::Text)
            c.shared = std::make_unique<std::unordered_map<std::string_view, TextRef>>();
        m_columns.push_back(std::move(c));
    }
}

void TRowStore::Clear()
{
    std::vector<TFieldType> types;
    for (const Column &c : m_columns)
        types.push_back(c.type);
    Reset(types);
}

void TRowStore::Reserve(size_t rows)
{
    for (Column &c : m_columns) {
        c.null.reserve(rows);
        std::visit([rows](auto &v) { v.reserve(rows); }, c.values);
    }
}

uint32_t TRowStore::AddRow()
{
    for (Column &c : m_columns) {
        c.null.push_back(true);
        std::visit([](auto &v) { v.emplace_back(); }, c.values);
    }
    return uint32_t(m_rows++);
}

bool TRowStore::IsNull(uint32_t row, int col) const
{
    return m_columns[size_t(col)].null[row];
}

QVariant TRowStore::Get(uint32_t row, int col) const
{
    const Column &c = m_columns[size_t(col)];
    if (c.null[row])
        return {};
    return std::visit(
        [&](const auto &v) -> QVariant {
            using T = Element<decltype(v)>;
            if constexpr (std::is_same_v<T, TextRef>) {
                const std::string_view t = textAt(v[row]);
                return QString::fromUtf8(t.data(), qsizetype(t.size()));
            } else if constexpr (std::is_same_v<T, double>) {
                return v[row];
            } else {
                return c.ops->unpack(qint64(v[row]));
            }
        },
        c.values);
}

void TRowStore::SetInt(uint32_t row, int col, qint64 stored)
{
    Column &c = m_columns[size_t(col)];
    std::visit(
        [&](auto &v) {
            using T = Element<decltype(v)>;
            if constexpr (std::is_same_v<T, TextRef>) {
                const QByteArray t = QByteArray::number(stored);
                SetText(row, col, t.constData(), size_t(t.size()));
            } else {
                v[row] = narrow<T>(stored);
                c.null[row] = false;
            }
        },
        c.values);
}

void TRowStore::SetText(uint32_t row, int col, const char *utf8, size_t len)
{
    Column &c = m_columns[size_t(col)];
    // A longer text would come back cut short without a word.
    if (len > kLenMask)
        throw EDatabaseError(QStringLiteral("Tekst od %1 bajtova je predugačak za prikaz (najviše %2 bajtova).")
                                 .arg(len)
                                 .arg(kLenMask));
    auto &refs = std::get<std::vector<TextRef>>(c.values);
    c.null[row] = false;
    if (!c.shared) {
        refs[row] = appendText(utf8, len);
        return;
    }
    const auto found = c.shared->find(std::string_view(utf8, len));
    if (found != c.shared->end()) {
        refs[row] = found->second;
    } else {
        const TextRef ref = appendText(utf8, len);
        refs[row] = ref;
        c.shared->emplace(textAt(ref), ref);
        ++c.sharedNew;
    }
    if (++c.sharedSeen < kSharedProbe)
        return;
    if (c.sharedNew * 4 > c.sharedSeen)
        c.shared.reset(); // mostly distinct values: sharing costs more than it saves
    c.sharedSeen = c.sharedNew = 0;
}

TRowStore::TextRef TRowStore::appendText(const char *utf8, size_t len)
{
    if (m_blocks.empty() || m_blockUsed + len > m_blockSizes.back()) {
        const size_t size = std::max(kBlockSize, len);
        m_blocks.push_back(std::make_unique<char[]>(size));
        m_blockSizes.push_back(size);
        m_blockUsed = 0;
    }
    const uint64_t block = m_blocks.size() - 1;
    const uint64_t offset = m_blockUsed;
    if (len)
        std::memcpy(m_blocks.back().get() + offset, utf8, len);
    m_blockUsed += len;
    return TextRef((block << (kOffsetBits + kLenBits)) | (offset << kLenBits) | len);
}

std::string_view TRowStore::textAt(TextRef ref) const
{
    const uint64_t bits = uint64_t(ref);
    const size_t block = size_t(bits >> (kOffsetBits + kLenBits));
    const size_t offset = size_t((bits >> kLenBits) & ((uint64_t(1) << kOffsetBits) - 1));
    return std::string_view(m_blocks[block].get() + offset, size_t(bits & kLenMask));
}

void TRowStore::Set(uint32_t row, int col, const QVariant &value)
{
    Column &c = m_columns[size_t(col)];
    if (value.isNull()) {
        c.null[row] = true;
        return;
    }
    std::visit(
        [&](auto &v) {
            using T = Element<decltype(v)>;
            if constexpr (std::is_same_v<T, TextRef>) {
                const QByteArray t = value.toString().toUtf8();
                SetText(row, col, t.constData(), size_t(t.size()));
            } else if constexpr (std::is_same_v<T, double>) {
                v[row] = value.toDouble();
                c.null[row] = false;
            } else {
                v[row] = narrow<T>(c.ops->pack(value));
                c.null[row] = false;
            }
        },
        c.values);
}

int TRowStore::Compare(uint32_t a, uint32_t b, int col) const
{
    const Column &c = m_columns[size_t(col)];
    const bool na = c.null[a], nb = c.null[b];
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    return std::visit(
        [&](const auto &v) {
            using T = Element<decltype(v)>;
            if constexpr (std::is_same_v<T, TextRef>) {
                const std::string_view x = textAt(v[a]), y = textAt(v[b]);
                return x == y ? 0 : SerbianCompareUtf8(x, y, TSerbianDigits::Numbers);
            } else {
                return v[a] < v[b] ? -1 : (v[b] < v[a] ? 1 : 0);
            }
        },
        c.values);
}

std::vector<uint32_t> TRowStore::TextRanks(int col) const
{
    const Column &c = m_columns[size_t(col)];
    const auto *refs = std::get_if<std::vector<TextRef>>(&c.values);
    if (!refs)
        return {};
    std::vector<uint32_t> ranks(m_rows, 0);
    std::unordered_map<std::string_view, uint32_t> index;
    std::vector<std::string_view> distinct;
    for (uint32_t row = 0; row < m_rows; ++row) {
        if (c.null[row])
            continue;
        const auto [at, added] = index.try_emplace(textAt((*refs)[row]), uint32_t(distinct.size()));
        if (added)
            distinct.push_back(at->first);
        ranks[row] = at->second;
    }
    // A sort key per distinct text, in one buffer: the sort then compares bytes.
    QByteArray keys;
    std::vector<std::pair<uint32_t, uint32_t>> spans(distinct.size()); // offset, length
    for (size_t i = 0; i < distinct.size(); ++i) {
        const qsizetype from = keys.size();
        AppendSerbianSortKeyUtf8(distinct[i], TSerbianDigits::Numbers, keys);
        spans[i] = {uint32_t(from), uint32_t(keys.size() - from)};
    }
    const auto key = [&](uint32_t i) {
        return std::string_view(keys.constData() + spans[i].first, spans[i].second);
    };
    std::vector<uint32_t> order(distinct.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
    std::vector<uint32_t> rankOf(distinct.size());
    for (size_t i = 0; i < order.size(); ++i)
        rankOf[order[i]] = uint32_t(i + 1);
    for (uint32_t row = 0; row < m_rows; ++row)
        ranks[row] = c.null[row] ? 0 : rankOf[ranks[row]];
    return ranks;
}

size_t TRowStore::MemoryUsed() const
{
    size_t total = 0;
    for (size_t size : m_blockSizes)
        total += size;
    for (const Column &c : m_columns) {
        total += std::visit([](const auto &v) { return v.capacity() * sizeof(Element<decltype(v)>); }, c.values)
            + c.null.capacity() / 8;
        if (c.shared) // buckets plus nodes of a string_view map
            total += c.shared->bucket_count() * 8 + c.shared->size() * 40;
    }
    return total;
}

void TRowStore::Squeeze()
{
    for (Column &c : m_columns) {
        std::visit([](auto &v) { v.shrink_to_fit(); }, c.values);
        c.null.shrink_to_fit();
        c.shared.reset();
    }
}
