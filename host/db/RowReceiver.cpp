#include "RowReceiver.h"

#include <charconv>

void TRowReceiver::RawRow(const TRawRow &row)
{
    constexpr size_t kDigits = 20; // INT64_MIN
    const auto n = size_t(row.Count);
    m_texts.resize(n);
    m_lengths.resize(n);
    m_digits.resize(n * kDigits);
    for (size_t i = 0; i < n; ++i) {
        if (row.IsInteger[i]) {
            char *at = m_digits.data() + i * kDigits;
            m_texts[i] = at;
            m_lengths[i] = size_t(std::to_chars(at, at + kDigits, row.Integers[i]).ptr - at);
        } else {
            m_texts[i] = row.Texts[i];
            m_lengths[i] = row.Lengths[i];
        }
    }
    Row(m_texts.data(), m_lengths.data());
}
