#pragma once

#include "engine/zdib.h"

namespace pm32 {

// A copy of the image, into a DIB the caller owns, in which every colour whose
// red, green and blue each lie in the inclusive range start..end (or, when
// exclusive, every colour that does not) becomes the replacement: pixel by
// pixel at 24 bits, colour-table entry by entry at 4 and 8 bits.
// An end below the start gives err::BadRedRange, err::BadGreenRange or err::BadBlueRange,
// checked in that order; a 1-bit image gives err::BadDepth.
ErrorNumber ReplaceColors(HGLOBAL image, COLORREF start, COLORREF end, bool exclusive,
                          COLORREF replacement, HGLOBAL& result);

}  // namespace pm32
