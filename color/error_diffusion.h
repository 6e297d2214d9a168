#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "color/color_key.h"
#include "color/nearest_color.h"
#include "engine/errors.h"
#include "engine/progress.h"

namespace pm32 {

// The bleed limit that NoBleed sets.
inline constexpr int kNoBleedLimit = 32;

// The error a pixel passes on: with a bleed limit, a component beyond it keeps
// three quarters of itself.
inline std::int16_t CarriedError(int error, int bleedLimit) {
    if (bleedLimit != 0 && (error < -bleedLimit || error > bleedLimit)) error = (3 * error) >> 2;
    return static_cast<std::int16_t>(error);
}

// The pixels to dither: 24-bit rows, or 8-bit rows read through their colour
// table; rows in memory order (bottom row of the picture first).
struct DitherSource {
    std::span<std::uint8_t* const> rows;
    std::int32_t width;
    std::uint32_t depth;
    const std::array<PaletteColor, 256>* table;
};

// Maps the source onto the search's palette by error diffusion, writing each
// chosen entry's tag into the 8-bit rows of out. The gathered error takes 1/16
// from the previous pixel of the row and 7/16, 5/16, 3/16 from the pixels
// before, at and after the column in the row before. After each row the
// progress pump ticks; a cancel leaves the remaining rows as they are and is
// not an error.
ErrorNumber DiffuseErrors(const DitherSource& source, NearestColorSearch& search,
                          std::span<std::uint8_t* const> out, int bleedLimit,
                          ProgressPump* progress);

}  // namespace pm32
