#pragma once
// One integer per row, in chunks of a fixed number of rows that never move,
// each integer as narrow as the values so far allow: 1, 2, 4 or 8 bytes.
// A value that does not fit widens the whole vector, one chunk at a time.
// The lowest integer of the width is "no value"; it stays so when widened,
// so INT64_MIN itself cannot be kept. Until a first value is set the vector
// takes no memory, whatever its size.

#include "KExport.h"

#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

class KCOMMON_EXPORT TPackedInts
{
public:
    static constexpr size_t ChunkRows = 4096;

    size_t Size() const { return m_size; }
    int Width() const { return m_width; } // bytes; 0 while no value was ever set
    void Clear();
    // Appends n entries without a value.
    void Grow(size_t n);

    bool IsNone(size_t i) const { return m_width == 0 || raw(i) == lowest(m_width); }
    qint64 At(size_t i) const { return m_width == 0 ? lowest(8) : raw(i); } // IsNone rows read their width's lowest
    // v is above INT64_MIN.
    void Set(size_t i, qint64 v);
    void SetNone(size_t i);

    size_t MemoryUsed() const;

private:
    static qint64 lowest(int width) { return -(qint64(1) << (width * 8 - 1)); }
    static int widthFor(qint64 v);
    static qint64 load(const std::byte *p, int width)
    {
        switch (width) {
        case 1: return loadAs<int8_t>(p);
        case 2: return loadAs<int16_t>(p);
        case 4: return loadAs<int32_t>(p);
        default: return loadAs<int64_t>(p);
        }
    }
    template <class T>
    static T loadAs(const std::byte *p)
    {
        T v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    qint64 raw(size_t i) const { return load(m_chunks[i / ChunkRows].get() + (i % ChunkRows) * size_t(m_width), m_width); }
    void store(size_t i, qint64 v);
    void widen(int width);
    std::unique_ptr<std::byte[]> newChunk(int width) const;

    std::vector<std::unique_ptr<std::byte[]>> m_chunks;
    size_t m_size = 0;
    int m_width = 0;
};
