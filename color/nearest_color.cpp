#include "color/nearest_color.h"

#include <algorithm>
#include <utility>

#include "engine/nothrow_array.h"

namespace pm32 {
namespace {

std::uint32_t sortValue(const PaletteColor& c) {
    return static_cast<std::uint32_t>(c.blue) << 16 | static_cast<std::uint32_t>(c.green) << 8 |
           c.red;
}

int squared(int v) { return v * v; }

}  // namespace

bool NearestColorSearch::Prepare(std::span<const PaletteColor> palette) {
    count_ = static_cast<int>(std::min(palette.size(), sorted_.size()));
    std::copy_n(palette.begin(), count_, sorted_.begin());
    // Each position in turn takes the first greatest entry from there on.
    for (int i = 0; i < count_; ++i) {
        int greatest = i;
        for (int j = i + 1; j < count_; ++j)
            if (sortValue(sorted_[j]) > sortValue(sorted_[greatest])) greatest = j;
        std::swap(sorted_[i], sorted_[greatest]);
    }
    if (!cache_) cache_ = AllocateArray<std::uint16_t>(kKeyCells);
    if (!cache_) return false;
    std::fill_n(cache_.get(), kKeyCells, kUncomputed);
    return true;
}

std::uint8_t NearestColorSearch::search(int blue, int green, int red, std::uint16_t key) {
    // Bisection on blue (the copy runs from most to least blue) for a start.
    int low = 0, high = count_ - 1, start = 0;
    while (true) {
        start = low + (high - low) / 2;
        int startBlue = sorted_[start].blue;
        if (startBlue == blue) break;
        if (startBlue > blue)
            start = low = start + 1;
        else
            high = start;
        if (low >= high) break;
    }
    if (start >= count_) start = count_ - 1;

    auto distance = [&](const PaletteColor& c) {
        return squared(c.blue - blue) + squared(c.green - green) + squared(c.red - red);
    };
    int best = start;
    int bestDistance = distance(sorted_[start]);
    // Outwards, one entry each way per round; a side stops once the blue gap
    // alone is as far as the best, since it only grows from there.
    int front = start - 1, back = start + 1;
    bool frontOpen = front >= 0, backOpen = back < count_;
    while (bestDistance != 0 && (frontOpen || backOpen)) {
        if (frontOpen) {
            const PaletteColor& c = sorted_[front];
            if (int d = distance(c); d < bestDistance) {
                bestDistance = d;
                best = front;
            }
            frontOpen = squared(c.blue - blue) < bestDistance && --front >= 0;
        }
        if (backOpen) {
            const PaletteColor& c = sorted_[back];
            if (int d = distance(c); d < bestDistance) {
                bestDistance = d;
                best = back;
            }
            backOpen = squared(c.blue - blue) < bestDistance && ++back < count_;
        }
    }
    cache_[key] = static_cast<std::uint16_t>(best);
    return static_cast<std::uint8_t>(best);
}

}  // namespace pm32
