#include "TextPool.h"

#include "InterfaceScript.h"
#include "KException.h"

#include <QString>
#include <algorithm>
#include <cstring>
#include <new>

namespace {
constexpr int kOffsetBits = 20; // a place: block << 20 | offset
constexpr size_t kMaxBlock = size_t(1) << kOffsetBits;
constexpr size_t kFirstBlock = 4096;

// The length before the text, 7 bits a byte, lowest first.
size_t putLength(char *p, size_t len)
{
    size_t n = 0;
    do {
        const auto low = static_cast<unsigned char>(len & 0x7F);
        len >>= 7;
        p[n++] = static_cast<char>(len ? low | 0x80 : low);
    } while (len);
    return n;
}
} // namespace

uint64_t TTextPool::Add(std::string_view text)
{
    // A longer text would not fit a block.
    if (text.size() > MaxLength)
        throw EDatabaseError(UiText(u"Tekst od %1 bajtova je predugačak za prikaz (najviše %2 bajtova).")
                                 .arg(text.size())
                                 .arg(MaxLength));
    const size_t need = text.size() + 3;
    if (m_blocks.empty() || m_used + need > m_capacity) {
        const size_t size = std::min(kMaxBlock, std::max({m_nextSize, kFirstBlock, need}));
        char *block = static_cast<char *>(std::malloc(size));
        if (!block)
            throw std::bad_alloc();
        m_blocks.emplace_back(block);
        m_allocated += size;
        m_capacity = size;
        m_used = 0;
        m_nextSize = std::min(kMaxBlock, size * 2);
    }
    const uint64_t place = (uint64_t(m_blocks.size() - 1) << kOffsetBits) | m_used;
    char *p = m_blocks.back().get() + m_used;
    const size_t head = putLength(p, text.size());
    if (!text.empty())
        std::memcpy(p + head, text.data(), text.size());
    m_used += head + text.size();
    return place;
}

std::string_view TTextPool::At(uint64_t place) const
{
    const auto *p = reinterpret_cast<const unsigned char *>(m_blocks[size_t(place >> kOffsetBits)].get()
                                                            + (place & (kMaxBlock - 1)));
    size_t len = 0;
    int shift = 0;
    for (;; shift += 7) {
        const unsigned char b = *p++;
        len |= size_t(b & 0x7F) << shift;
        if (!(b & 0x80))
            break;
    }
    return {reinterpret_cast<const char *>(p), len};
}

void TTextPool::Clear()
{
    m_blocks.clear();
    m_used = m_capacity = m_nextSize = m_allocated = 0;
}

void TTextPool::Trim()
{
    if (m_blocks.empty() || m_used == m_capacity || m_used == 0)
        return;
    // Shrinking keeps the bytes where they are (an mmap'ed block is only remapped).
    char *block = static_cast<char *>(std::realloc(m_blocks.back().get(), m_used));
    if (!block)
        return; // keeps the larger block
    (void)m_blocks.back().release();
    m_blocks.back().reset(block);
    m_allocated -= m_capacity - m_used;
    m_capacity = m_used;
    m_nextSize = kFirstBlock;
}
