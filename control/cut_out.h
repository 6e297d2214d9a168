#pragma once

#include <span>

#include "engine/zdib.h"
#include "process/picture_rect.h"

namespace pm32::control {

// A new DIB of the rectangle's size and the source's depth holding the part
// of the source under the rectangle, with the fill colour (0x00BBGGRR) where
// the rectangle leaves the image; palette images get the source's colour
// table and the entry nearest the fill. The caller owns the result. A
// rectangle that misses the image yields 0 without an error; other failures
// raise.
HGLOBAL CutOut(HGLOBAL source, const PictureRect& rect, COLORREF fill);

// A new DIB every pixel of which shows the fill colour (0x00BBGGRR): the
// colour itself at 24 bits, else the entry of the colour table nearest it.
// The caller owns the result; failures raise.
HGLOBAL FilledDib(std::uint32_t depth, std::int32_t width, std::int32_t height,
                  std::span<const PALETTEENTRY> table, COLORREF fill);

}  // namespace pm32::control
