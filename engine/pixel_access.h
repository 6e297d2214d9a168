#pragma once

#include <cstdint>

namespace pm32 {

// Palette indices inside packed rows: 1-bit rows keep the leftmost pixel in
// the top bit, 4-bit rows in the high nibble.
inline unsigned IndexAt(const std::uint8_t* row, std::int32_t x, std::uint32_t depth) {
    switch (depth) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4:
            return (x & 1) != 0 ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4;
        default:
            return row[x];
    }
}

inline void SetIndexAt(std::uint8_t* row, std::int32_t x, std::uint32_t depth, unsigned index) {
    switch (depth) {
        case 1: {
            auto bit = static_cast<std::uint8_t>(0x80u >> (x & 7));
            row[x >> 3] = static_cast<std::uint8_t>((index & 1u) != 0 ? row[x >> 3] | bit
                                                                      : row[x >> 3] & ~bit);
            return;
        }
        case 4: {
            std::uint8_t& byte = row[x >> 1];
            byte = (x & 1) != 0 ? static_cast<std::uint8_t>((byte & 0xF0u) | (index & 0x0Fu))
                                : static_cast<std::uint8_t>((byte & 0x0Fu) | (index & 0x0Fu) << 4);
            return;
        }
        default:
            row[x] = static_cast<std::uint8_t>(index);
    }
}

// Bytes of a row that hold pixels, without the padding.
inline std::uint64_t PackedBytes(std::int32_t width, std::uint32_t depth) {
    return (static_cast<std::uint64_t>(width) * depth + 7) / 8;
}

}  // namespace pm32
