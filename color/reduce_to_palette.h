#pragma once

#include <cstdint>
#include <span>

#include "color/color_key.h"
#include "engine/progress.h"
#include "engine/zdib.h"

namespace pm32 {

// The reduction core. Reduces an 8- or 24-bit image to at most `colors`
// colours, into an 8-bit DIB the caller owns. With the standard colours the
// palette holds them first (at most 240 colours; 256 otherwise, else err::TooManyColors).
// A bleed limit of 0 carries the whole error on. An image narrower or lower
// than 3 pixels yields no DIB and no error. progress may be null.
ErrorNumber ReduceToPalette(HGLOBAL image, unsigned colors, bool dither, int bleedLimit,
                            bool standardColors, HGLOBAL& result, ProgressPump* progress = nullptr);

// Maps an 8- or 24-bit image onto the given entries (2 to 256, each tagged with
// its place in the output colour table), into an 8-bit DIB the caller owns.
ErrorNumber MapToPalette(HGLOBAL image, std::span<const PaletteColor> entries, bool dither,
                         int bleedLimit, HGLOBAL& result, ProgressPump* progress = nullptr);

}  // namespace pm32
