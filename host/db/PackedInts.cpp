#include "PackedInts.h"

#include <algorithm>
#include <limits>

namespace {
template <class T>
void put(std::byte *p, qint64 v)
{
    const T t = T(v);
    std::memcpy(p, &t, sizeof t);
}

void putWidth(std::byte *p, int width, qint64 v)
{
    switch (width) {
    case 1: put<int8_t>(p, v); break;
    case 2: put<int16_t>(p, v); break;
    case 4: put<int32_t>(p, v); break;
    default: put<int64_t>(p, v); break;
    }
}
} // namespace

void TPackedInts::Clear()
{
    m_chunks.clear();
    m_size = 0;
    m_width = 0;
}

namespace {
// Strictly above the width's lowest, which means no value.
bool fits(qint64 v, int width)
{
    const qint64 low = -(qint64(1) << (width * 8 - 1));
    return v > low && (width == 8 || v < -low);
}
} // namespace

int TPackedInts::widthFor(qint64 v)
{
    for (int width : {1, 2, 4})
        if (fits(v, width))
            return width;
    return 8;
}

void TPackedInts::Set(size_t i, qint64 v)
{
    if (m_width == 0 || !fits(v, m_width))
        widen(widthFor(v));
    store(i, v);
}

std::unique_ptr<std::byte[]> TPackedInts::newChunk(int width) const
{
    auto chunk = std::make_unique_for_overwrite<std::byte[]>(ChunkRows * size_t(width));
    const qint64 none = lowest(width);
    for (size_t r = 0; r < ChunkRows; ++r)
        putWidth(chunk.get() + r * size_t(width), width, none);
    return chunk;
}

void TPackedInts::Grow(size_t n)
{
    m_size += n;
    if (m_width == 0)
        return;
    while (m_chunks.size() * ChunkRows < m_size)
        m_chunks.push_back(newChunk(m_width));
}

void TPackedInts::store(size_t i, qint64 v)
{
    putWidth(m_chunks[i / ChunkRows].get() + (i % ChunkRows) * size_t(m_width), m_width, v);
}

void TPackedInts::SetNone(size_t i)
{
    if (m_width != 0)
        store(i, lowest(m_width));
}

void TPackedInts::widen(int width)
{
    width = std::max(width, m_width);
    if (m_width == 0) { // the first value: chunks for every row so far
        m_width = width;
        Grow(0);
        return;
    }
    // Chunk by chunk: both widths are held for one chunk only.
    const qint64 none = lowest(m_width);
    for (auto &chunk : m_chunks) {
        auto wider = newChunk(width);
        for (size_t r = 0; r < ChunkRows; ++r) {
            const qint64 v = load(chunk.get() + r * size_t(m_width), m_width);
            if (v != none) // a new chunk starts as none
                putWidth(wider.get() + r * size_t(width), width, v);
        }
        chunk = std::move(wider);
    }
    m_width = width;
}

size_t TPackedInts::MemoryUsed() const
{
    return m_chunks.size() * ChunkRows * size_t(m_width) + m_chunks.capacity() * sizeof(m_chunks[0]);
}
