#include "RowStore.h"

#include <QDateTime>
#include <cstring>

namespace {
constexpr uint64_t kLenBits = 24;
constexpr uint64_t kLenMask = (uint64_t(1) << kLenBits) - 1;
}

void TRowStore::Reset(const std::vector<TFieldType> &types)
{
    m_columns.clear();
    m_pool.clear();
    m_pool.shrink_to_fit();
    m_rows = 0;
    for (TFieldType t : types)
        m_columns.push_back(Column{t, {}, {}, {}, {}, {}, {}, {}});
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
        const uint64_t ref = c.txt[row];
        return QString::fromUtf8(m_pool.data() + (ref >> kLenBits), qsizetype(ref & kLenMask));
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
    len = std::min<size_t>(len, kLenMask);
    const uint64_t offset = m_pool.size();
    m_pool.append(utf8, len);
    c.txt[row] = (offset << kLenBits) | len;
    c.null[row] = false;
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
        const QString x = Get(a, col).toString(), y = Get(b, col).toString();
        return QString::localeAwareCompare(x, y);
    }
    }
    return 0;
}

size_t TRowStore::MemoryUsed() const
{
    size_t total = m_pool.capacity();
    for (const Column &c : m_columns)
        total += c.i64.capacity() * 8 + c.i32.capacity() * 4 + c.i16.capacity() * 2 + c.b.capacity()
            + c.f.capacity() * 8 + c.txt.capacity() * 8 + c.null.capacity() / 8;
    return total;
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
