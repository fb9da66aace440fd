#include "RowStore.h"

#include "KException.h"

#include <QDateTime>
#include <cstring>

namespace {
constexpr uint64_t kLenBits = 20;
constexpr uint64_t kLenMask = (uint64_t(1) << kLenBits) - 1; // texts up to 1 MiB - 1
constexpr uint64_t kOffsetBits = 20;
constexpr size_t kBlockSize = size_t(1) << kOffsetBits;
constexpr size_t kSharedProbe = 4096; // values seen before judging a column
}

void TRowStore::Reset(const std::vector<TFieldType> &types)
{
    m_columns.clear();
    m_blocks.clear();
    m_blockSizes.clear();
    m_blockUsed = 0;
    m_rows = 0;
    for (TFieldType t : types) {
        Column c{t, {}, {}, {}, {}, {}, {}, {}, nullptr, 0, 0};
        if (t == TFieldType::String)
            c.shared = std::make_unique<std::unordered_map<std::string_view, uint64_t>>();
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
        switch (c.type) {
        case TFieldType::Largeint: case TFieldType::DateTime: c.i64.reserve(rows); break;
        case TFieldType::Integer: case TFieldType::Date: c.i32.reserve(rows); break;
        case TFieldType::Smallint: c.i16.reserve(rows); break;
        case TFieldType::Boolean: c.b.reserve(rows); break;
        case TFieldType::Float: c.f.reserve(rows); break;
        case TFieldType::String: c.txt.reserve(rows); break;
        }
    }
}

uint32_t TRowStore::AddRow()
{
    for (Column &c : m_columns) {
        c.null.push_back(true);
        switch (c.type) {
        case TFieldType::Largeint: case TFieldType::DateTime: c.i64.push_back(0); break;
        case TFieldType::Integer: case TFieldType::Date: c.i32.push_back(0); break;
        case TFieldType::Smallint: c.i16.push_back(0); break;
        case TFieldType::Boolean: c.b.push_back(0); break;
        case TFieldType::Float: c.f.push_back(0); break;
        case TFieldType::String: c.txt.push_back(0); break;
        }
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
    switch (c.type) {
    case TFieldType::Largeint: return QVariant::fromValue<qint64>(c.i64[row]);
    case TFieldType::DateTime: return UnpackDateTime(c.i64[row]);
    case TFieldType::Integer: return QVariant::fromValue<int>(c.i32[row]);
    case TFieldType::Date: return QDate::fromJulianDay(c.i32[row]);
    case TFieldType::Smallint: return QVariant::fromValue<int>(c.i16[row]);
    case TFieldType::Boolean: return bool(c.b[row]);
    case TFieldType::Float: return c.f[row];
    case TFieldType::String: {
        const std::string_view t = textAt(c.txt[row]);
        return QString::fromUtf8(t.data(), qsizetype(t.size()));
    }
    }
    return {};
}

void TRowStore::SetInt(uint32_t row, int col, qint64 v)
{
    Column &c = m_columns[size_t(col)];
    c.null[row] = false;
    switch (c.type) {
    case TFieldType::Largeint: case TFieldType::DateTime: c.i64[row] = v; break;
    case TFieldType::Integer: case TFieldType::Date: c.i32[row] = qint32(v); break;
    case TFieldType::Smallint: c.i16[row] = qint16(v); break;
    case TFieldType::Boolean: c.b[row] = v ? 1 : 0; break;
    case TFieldType::Float: c.f[row] = double(v); break;
    case TFieldType::String: {
        const QByteArray t = QByteArray::number(v);
        SetText(row, col, t.constData(), size_t(t.size()));
        break;
    }
    }
}

void TRowStore::SetText(uint32_t row, int col, const char *utf8, size_t len)
{
    Column &c = m_columns[size_t(col)];
    // A longer text would come back cut short without a word.
    if (len > kLenMask)
        throw EDatabaseError(QStringLiteral("Tekst od %1 bajtova je predugačak za prikaz (najviše %2 bajtova).")
                                 .arg(len)
                                 .arg(kLenMask));
    c.null[row] = false;
    if (!c.shared) {
        c.txt[row] = appendText(utf8, len);
        return;
    }
    const auto found = c.shared->find(std::string_view(utf8, len));
    if (found != c.shared->end()) {
        c.txt[row] = found->second;
    } else {
        const uint64_t ref = appendText(utf8, len);
        c.txt[row] = ref;
        c.shared->emplace(textAt(ref), ref);
        ++c.sharedNew;
    }
    if (++c.sharedSeen < kSharedProbe)
        return;
    if (c.sharedNew * 4 > c.sharedSeen)
        c.shared.reset(); // mostly distinct values: sharing costs more than it saves
    c.sharedSeen = c.sharedNew = 0;
}

uint64_t TRowStore::appendText(const char *utf8, size_t len)
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
    return (block << (kOffsetBits + kLenBits)) | (offset << kLenBits) | len;
}

std::string_view TRowStore::textAt(uint64_t ref) const
{
    const size_t block = size_t(ref >> (kOffsetBits + kLenBits));
    const size_t offset = size_t((ref >> kLenBits) & ((uint64_t(1) << kOffsetBits) - 1));
    return std::string_view(m_blocks[block].get() + offset, size_t(ref & kLenMask));
}

void TRowStore::Set(uint32_t row, int col, const QVariant &value)
{
    Column &c = m_columns[size_t(col)];
    if (value.isNull()) {
        c.null[row] = true;
        return;
    }
    switch (c.type) {
    case TFieldType::Largeint: case TFieldType::Integer: case TFieldType::Smallint:
        SetInt(row, col, value.toLongLong());
        break;
    case TFieldType::Boolean:
        SetInt(row, col, value.toBool() ? 1 : 0);
        break;
    case TFieldType::DateTime:
        SetInt(row, col, PackDateTime(value.toDateTime()));
        break;
    case TFieldType::Date:
        SetInt(row, col, value.toDate().toJulianDay());
        break;
    case TFieldType::Float:
        c.f[row] = value.toDouble();
        c.null[row] = false;
        break;
    case TFieldType::String: {
        const QByteArray t = value.toString().toUtf8();
        SetText(row, col, t.constData(), size_t(t.size()));
        break;
    }
    }
}

int TRowStore::Compare(uint32_t a, uint32_t b, int col) const
{
    const Column &c = m_columns[size_t(col)];
    const bool na = c.null[a], nb = c.null[b];
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    auto cmp = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (c.type) {
    case TFieldType::Largeint: case TFieldType::DateTime: return cmp(c.i64[a], c.i64[b]);
    case TFieldType::Integer: case TFieldType::Date: return cmp(c.i32[a], c.i32[b]);
    case TFieldType::Smallint: return cmp(c.i16[a], c.i16[b]);
    case TFieldType::Boolean: return cmp(c.b[a], c.b[b]);
    case TFieldType::Float: return cmp(c.f[a], c.f[b]);
    case TFieldType::String: {
        const std::string_view x = textAt(c.txt[a]), y = textAt(c.txt[b]);
        if (x == y)
            return 0;
        return QString::localeAwareCompare(QString::fromUtf8(x.data(), qsizetype(x.size())),
                                           QString::fromUtf8(y.data(), qsizetype(y.size())));
    }
    }
    return 0;
}

size_t TRowStore::MemoryUsed() const
{
    size_t total = 0;
    for (size_t size : m_blockSizes)
        total += size;
    for (const Column &c : m_columns) {
        total += c.i64.capacity() * 8 + c.i32.capacity() * 4 + c.i16.capacity() * 2 + c.b.capacity()
            + c.f.capacity() * 8 + c.txt.capacity() * 8 + c.null.capacity() / 8;
        if (c.shared) // buckets plus nodes of a string_view map
            total += c.shared->bucket_count() * 8 + c.shared->size() * 40;
    }
    return total;
}

void TRowStore::Squeeze()
{
    for (Column &c : m_columns) {
        c.i64.shrink_to_fit();
        c.i32.shrink_to_fit();
        c.i16.shrink_to_fit();
        c.b.shrink_to_fit();
        c.f.shrink_to_fit();
        c.txt.shrink_to_fit();
        c.null.shrink_to_fit();
        c.shared.reset();
    }
}

qint64 TRowStore::PackDateTime(const QDateTime &dt)
{
    return dt.date().toJulianDay() * 86400 + dt.time().msecsSinceStartOfDay() / 1000;
}

QDateTime TRowStore::UnpackDateTime(qint64 v)
{
    const qint64 day = v / 86400;
    return QDateTime(QDate::fromJulianDay(day), QTime::fromMSecsSinceStartOfDay(int(v - day * 86400) * 1000));
}
