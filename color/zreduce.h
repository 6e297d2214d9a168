#pragma once

#include <array>
#include <cstdint>

#include "color/color_key.h"
#include "color/histogram.h"
#include "color/nearest_color.h"
#include "color/reduction_palette.h"
#include "engine/progress.h"
#include "engine/zdib.h"

namespace pm32 {

// The work context of one reduction: the source it reads, the histogram, the
// working palette and the nearest-colour search. It lives for one engine call
// and releases everything it allocated when it goes.
class ZReduce {
  public:
    // Views the source (never owning it); reductions read 8- and 24-bit
    // images only (err::ReductionNeedsEightBits for others).
    ErrorNumber Attach(HGLOBAL source);

    // Counts the source's colours into the histogram: four bits per channel
    // for 24-bit sources, the colours of the used indices for 8-bit ones.
    // Gives the number of distinct colours.
    ErrorNumber CountColors(std::uint32_t& distinct);

    // A new zero-filled 8-bit result of the source's size: a 256-entry table
    // with each working entry's colour at its tag, `important` colours.
    ErrorNumber CreateResult(std::uint32_t important, ZDib& result);

    // Maps the source onto the working palette into the result: error
    // diffusion with dither, else each 24-bit pixel's nearest entry, else the
    // 8-bit pixels through a translated colour table.
    ErrorNumber MapPixels(ZDib& result, bool dither, int bleedLimit);

    ZDib source;
    std::array<PaletteColor, 256> sourceTable{};
    ColorHistogram histogram;
    WorkingPalette palette;
    NearestColorSearch search;
    ProgressPump* progress = nullptr;
};

}  // namespace pm32
