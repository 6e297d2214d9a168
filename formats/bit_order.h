#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace pm32 {

// A byte with its bits in the opposite order, for data stored least
// significant bit first.
inline std::uint8_t reversedBits(std::uint8_t byte) {
    static constexpr auto kTable = [] {
        std::array<std::uint8_t, 256> table{};
        for (unsigned v = 0; v < 256; ++v) {
            unsigned r = 0;
            for (unsigned bit = 0; bit < 8; ++bit)
                if ((v >> bit) & 1u) r |= 0x80u >> bit;
            table[v] = static_cast<std::uint8_t>(r);
        }
        return table;
    }();
    return kTable[byte];
}

inline void reverseBits(std::span<std::uint8_t> bytes) {
    for (std::uint8_t& b : bytes) b = reversedBits(b);
}

}  // namespace pm32
