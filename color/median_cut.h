#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "color/color_key.h"
#include "color/histogram.h"

namespace pm32 {

// One used histogram cell: its pixel count and its colour key.
struct ColorListEntry {
    std::uint16_t count;
    std::uint16_t key;
};

// The used cells of a histogram in ascending key order.
class ColorList {
  public:
    // Packs the non-zero cells; false when memory is short.
    bool Pack(const ColorHistogram& histogram);

    std::span<ColorListEntry> entries() { return {entries_.get(), size_}; }

  private:
    std::unique_ptr<ColorListEntry[]> entries_;
    std::size_t size_ = 0;
};

// Cuts the list (which it reorders) into out.size() boxes and writes each box's
// colour to out; the list must hold more entries than colours are wanted.
void MedianCut(std::span<ColorListEntry> list, std::span<PaletteColor> out);

}  // namespace pm32
