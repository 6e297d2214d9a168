#pragma once

#include <cstdint>

#include "engine/zdib.h"

namespace pm32 {

// The colour of the pixel at column x of row y, rows counted from the top: a
// COLORREF at 24 bits, else its colour-table entry as a PALETTEENTRY value
// (the reserved byte on top). x outside the image gives err::XOutOfBounds, y err::YOutOfBounds.
ErrorNumber PixelColor(HGLOBAL image, std::int32_t x, std::int32_t y, std::uint32_t& color);

// The palette index of that pixel; a 24-bit image gives err::BadDepth before the
// bounds are checked.
ErrorNumber PixelIndex(HGLOBAL image, std::int32_t x, std::int32_t y, unsigned& index);

}  // namespace pm32
