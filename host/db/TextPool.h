#pragma once
// Texts kept once each, as UTF-8 after their length, in blocks that never
// move: a text's place stays valid, and views into the pool too, until Clear.
// Blocks start small and double up to 1 MiB.

#include "KExport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

class KCOMMON_EXPORT TTextPool
{
public:
    // Longer texts are refused (EDatabaseError).
    static constexpr size_t MaxLength = (size_t(1) << 20) - 3;

    uint64_t Add(std::string_view text); // its place
    std::string_view At(uint64_t place) const;
    void Clear();
    // Gives back the unused end of the last block; later texts go to a new one.
    void Trim();
    size_t MemoryUsed() const { return m_allocated; }

private:
    struct Free { void operator()(char *p) const { std::free(p); } };
    std::vector<std::unique_ptr<char, Free>> m_blocks;
    size_t m_used = 0;     // of the last block
    size_t m_capacity = 0; // of the last block
    size_t m_nextSize = 0;
    size_t m_allocated = 0;
};
