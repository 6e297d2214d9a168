#pragma once

#include <array>
#include <cstdint>

#include "color/color_key.h"
#include "color/histogram.h"
#include "engine/errors.h"

namespace pm32 {

// The palette a reduction builds: count entries, each tagged with its place in
// the output colour table.
struct WorkingPalette {
    std::array<PaletteColor, 256> entries{};
    unsigned count = 0;
};

// Builds a reduction's palette of `colors` entries from the histogram. With the
// standard colours, 2 colours are white and black and 16 or more start with the
// 16 standard colours; otherwise all of them come from the image. Tags are the
// entries' indices.
ErrorNumber BuildReductionPalette(const ColorHistogram& histogram, unsigned colors,
                                  bool standardColors, WorkingPalette& palette);

// An optimised palette of `count` colours for a shared histogram; tags are 0.
ErrorNumber PaletteFromHistogram(const ColorHistogram& histogram, WorkingPalette& palette,
                                 unsigned count);

}  // namespace pm32
