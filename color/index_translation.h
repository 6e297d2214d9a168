#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace pm32 {

// Replaces every pixel index i of packed 1-, 4- or 8-bit rows by indexMap[i],
// a whole byte at a time.
void TranslateIndices(std::span<std::uint8_t* const> rows, std::int32_t width, std::uint32_t depth,
                      const std::array<std::uint8_t, 256>& indexMap);

}  // namespace pm32
