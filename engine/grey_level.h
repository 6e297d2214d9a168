#pragma once

#include <cstdint>

namespace pm32 {

// The grey a colour shows as: the 0.30, 0.59, 0.11 weights of Rec. 601 luma,
// truncated, as a colour table turned grey gets it.
inline std::uint8_t greyLevelOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<std::uint8_t>(0.3 * red + 0.59 * green + 0.11 * blue);
}

}  // namespace pm32
