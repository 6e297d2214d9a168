#pragma once

#include <cstdint>
#include <span>

#include "engine/zdib.h"

namespace pm32 {

// A copy of the image at another depth (0 keeps its depth), into a DIB the
// caller owns; the service every operation uses to change depth.
// - Same depth and no palette: a byte copy of the whole block.
// - To 24 bits: every pixel takes its colour-table colour.
// - To a greater palette depth: colour table and indices kept.
// - Otherwise, and whenever a palette is given (an empty span is none): with a
//   palette the image is mapped onto its first 2^depth entries, without one it
//   is reduced to 2^depth colours (with the standard colours when asked);
//   both carry the error on with the NoBleed limit when dithering.
// Reductions of images narrower or lower than 3 pixels yield no DIB and no
// error.
ErrorNumber ConvertDepth(HGLOBAL source, std::uint32_t depth, std::span<const PALETTEENTRY> palette,
                         bool dither, bool standardColors, HGLOBAL& result);

}  // namespace pm32
