#pragma once

#include <cstdint>

#include "engine/zdib.h"

namespace pm32 {

// Each of these fills the empty record result with a new DIB it owns.

// The image at a greater palette depth (1 to 4, 1 to 8, 4 to 8): the colour
// table copied, every pixel keeping its index.
ErrorNumber ExpandIndices(ZDib& source, std::uint32_t depth, ZDib& result);

// An 8-bit image at 1 or 4 bits: as many colours of its table as the depth
// holds, every pixel keeping its index.
ErrorNumber PackIndices(ZDib& source, std::uint32_t depth, ZDib& result);

// A palette image at 24 bits: every pixel becomes its colour-table colour.
ErrorNumber ExpandToTrueColor(ZDib& source, ZDib& result);

}  // namespace pm32
