#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "color/color_key.h"
#include "engine/zdib.h"

namespace pm32 {

// Pixel counts on the 15-bit colour cube: 16-bit counters that stop at 65,535.
class ColorHistogram {
  public:
    // Allocates zeroed counters; false when memory is short.
    bool Allocate();

    std::uint16_t operator[](std::uint16_t key) const { return cells_[key]; }
    void Set(std::uint16_t key, std::uint16_t count) { cells_[key] = count; }

    // Counts a 24-bit image's pixels under the key mask; returns how many
    // cells went from empty to used.
    std::uint32_t CountTrueColor(std::span<std::uint8_t* const> rows, std::int32_t width,
                                 std::uint16_t keyMask);

    // Counts an 8-bit image: each used index sets (not adds) the cell of its
    // colour to its use count. Returns how many indices are used.
    std::uint32_t CountIndexed(std::span<std::uint8_t* const> rows, std::int32_t width,
                               const std::array<PaletteColor, 256>& table);

  private:
    std::unique_ptr<std::uint16_t[]> cells_;
};

// The colour table of an image as working entries (tag = index); entries
// beyond its table stay black.
std::array<PaletteColor, 256> ColorTableOf(const ZDib& image);

// Adds one image into a shared histogram at five bits per channel: a 24-bit
// image adds its pixel counts, a palette image sets the cells of the colours
// it uses to their use counts.
ErrorNumber AccumulateHistogram(ColorHistogram& histogram, HGLOBAL image);

// Adds a palette as one colour: a one-pixel 8-bit image remapped onto the
// palette, so the entry nearest to black counts once.
ErrorNumber AccumulatePalette(ColorHistogram& histogram, platform::HPALETTE palette);

}  // namespace pm32
