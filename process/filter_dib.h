#pragma once

#include <cstdint>
#include <span>

#include "engine/zdib.h"

namespace pm32 {

// A convolution kernel: 3 x 3 or 5 x 5 signed weights, row by row, where
// kernel row i weighs the source row y + i - radius in memory order (so it
// reads upside down on screen). divisor > 0 divides by it, 0 does not
// divide, < 0 divides by the weights' sum (when that is not 0).
struct FilterKernel {
    std::span<const std::int16_t> weights;
    bool large = false;
    std::int32_t divisor = 1;
    std::int32_t scale = 1;
    std::int32_t offset = 0;

    std::int32_t Radius() const { return large ? 2 : 1; }
};

// A filtered copy of the image, into a DIB the caller owns. 1-bit images are
// refused with err::BadDepth. Filtering is done in 24 bits; a palette image is
// dithered back onto its own colour table, and one narrower or lower than 3
// pixels, which has no interior to filter, comes back unchanged.
ErrorNumber FilterDib(HGLOBAL image, const FilterKernel& kernel, HGLOBAL& result);

}  // namespace pm32
