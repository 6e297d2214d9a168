#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "color/color_key.h"

namespace pm32 {

// Finds the palette entry nearest a colour (least squared distance over blue,
// green and red). The palette is kept sorted on blue so a search starts near
// its answer and stops on the blue distance; the answer is cached for the
// query's 5-5-5 cell, so later queries in that cell reuse it.
class NearestColorSearch {
  public:
    // Takes a copy of the palette (1 to 256 entries) and empties the cache;
    // false when memory is short.
    bool Prepare(std::span<const PaletteColor> palette);

    // Position in the sorted copy of the entry chosen for the colour.
    std::uint8_t Position(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
        std::uint16_t key = ColorKey(blue, green, red);
        std::uint16_t cached = cache_[key];
        if ((cached & kUncomputed) == 0) return static_cast<std::uint8_t>(cached);
        return search(blue, green, red, key);
    }

    const PaletteColor& Entry(std::uint8_t position) const { return sorted_[position]; }

  private:
    static constexpr std::uint16_t kUncomputed = 0x8000;

    std::uint8_t search(int blue, int green, int red, std::uint16_t key);

    std::array<PaletteColor, 256> sorted_{};
    int count_ = 0;
    std::unique_ptr<std::uint16_t[]> cache_;
};

}  // namespace pm32
