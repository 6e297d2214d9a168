#pragma once

#include <cstdint>
#include <vector>

#include "deco/fif_layout.h"
#include "deco/plane_code.h"

namespace deco {

// Samples are kept with 4 fractional bits (0 to 255 * 16) between passes.
inline constexpr int kSampleShift = 4;
inline constexpr int kSampleMax = 255 << kSampleShift;

// The lowest zoom: the smallest range block becomes one pixel.
inline constexpr int kBaseShift = -1;

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;  // exclusive
    int bottom = 0;
    bool meets(int x, int y, int width, int height) const {
        return x < right && x + width > left && y < bottom && y + height > top;
    }
};

// A plane decoded at zoom 2^shift over its whole padded grid.
struct DecodedPlane {
    int shift = 0;
    int width = 0;  // padded grid at this zoom
    int height = 0;
    std::vector<std::uint16_t> samples;
    int at(int x, int y) const { return samples[static_cast<std::size_t>(y) * width + x]; }
};

// Iterates the transforms to their fixed point at the base zoom, then climbs
// one octave per pass to `shift` (kBaseShift to 4): the fixed point one
// octave up is one pass over the one below, read without shrinking. The last
// pass makes only the ranges that meet `wanted` (pixels at `shift`).
DecodedPlane decodePlane(const PlaneCode& code, const ContrastTable& contrast, int shift,
                         const PixelRect& wanted);

// Passes the base zoom's iteration stops after, converged or not.
inline constexpr int kMaxIterations = 16;

}  // namespace deco
