#include "deco/indexed_output.h"

#include <algorithm>
#include <climits>

namespace deco {

std::vector<Rgb> standardPalette(int count) {
    std::vector<Rgb> palette;
    if (count == 2) return {{0, 0, 0}, {255, 255, 255}};
    if (count == 16) {
        return {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    }
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back({static_cast<std::uint8_t>(51 * r),
                                   static_cast<std::uint8_t>(51 * g),
                                   static_cast<std::uint8_t>(51 * b)});
    for (int i = 0; palette.size() < 256; ++i) {
        auto level = static_cast<std::uint8_t>(6 + i * 250 / 39);
        palette.push_back({level, level, level});
    }
    return palette;
}

namespace {

struct Cell {
    std::array<int, 3> key;  // quantised red, green, blue
    std::uint32_t count;
    std::array<std::uint64_t, 3> sums;
};

struct Box {
    std::size_t begin, end;  // cells of the box
    std::size_t cells() const { return end - begin; }
};

}  // namespace

std::vector<Rgb> adaptivePalette(const std::uint8_t* rgb, std::size_t pixels, int colors,
                                 const std::array<int, 3>& histogramBits) {
    int totalBits = histogramBits[0] + histogramBits[1] + histogramBits[2];
    std::vector<Cell> histogram(std::size_t{1} << totalBits);
    for (std::size_t i = 0; i < histogram.size(); ++i) {
        histogram[i].key = {
            static_cast<int>(i >> (histogramBits[1] + histogramBits[2])),
            static_cast<int>((i >> histogramBits[2]) & ((1u << histogramBits[1]) - 1)),
            static_cast<int>(i & ((1u << histogramBits[2]) - 1))};
    }
    for (std::size_t p = 0; p < pixels; ++p) {
        const std::uint8_t* c = rgb + 3 * p;
        std::size_t index = 0;
        for (int k = 0; k < 3; ++k)
            index = (index << histogramBits[k]) | (c[k] >> (8 - histogramBits[k]));
        Cell& cell = histogram[index];
        ++cell.count;
        for (int k = 0; k < 3; ++k) cell.sums[k] += c[k];
    }
    std::vector<Cell> cells;
    for (const Cell& cell : histogram)
        if (cell.count != 0) cells.push_back(cell);
    std::vector<Box> boxes{{0, cells.size()}};
    // Split the box with the widest channel range at its median pixel until enough.
    while (static_cast<int>(boxes.size()) < colors) {
        int bestBox = -1, bestChannel = 0, bestRange = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].cells() < 2) continue;
            for (int k = 0; k < 3; ++k) {
                int low = INT_MAX, high = INT_MIN;
                for (std::size_t c = boxes[i].begin; c < boxes[i].end; ++c) {
                    low = std::min(low, cells[c].key[k]);
                    high = std::max(high, cells[c].key[k]);
                }
                int range = (high - low) << (8 - histogramBits[k]);
                if (range > bestRange) {
                    bestRange = range;
                    bestBox = static_cast<int>(i);
                    bestChannel = k;
                }
            }
        }
        if (bestBox < 0) break;
        Box box = boxes[bestBox];
        auto first = cells.begin() + static_cast<long>(box.begin);
        auto last = cells.begin() + static_cast<long>(box.end);
        std::sort(first, last, [&](const Cell& a, const Cell& b) {
            return a.key[bestChannel] < b.key[bestChannel];
        });
        std::uint64_t total = 0, half = 0;
        for (auto c = first; c != last; ++c) total += c->count;
        std::size_t split = box.begin + 1;
        for (std::size_t c = box.begin; c + 1 < box.end; ++c) {
            half += cells[c].count;
            split = c + 1;
            if (2 * half >= total) break;
        }
        boxes[bestBox] = {box.begin, split};
        boxes.push_back({split, box.end});
    }
    std::vector<Rgb> palette;
    for (const Box& box : boxes) {
        std::uint64_t count = 0;
        std::array<std::uint64_t, 3> sums{};
        for (std::size_t c = box.begin; c < box.end; ++c) {
            count += cells[c].count;
            for (int k = 0; k < 3; ++k) sums[k] += cells[c].sums[k];
        }
        if (count == 0) continue;
        palette.push_back({static_cast<std::uint8_t>((sums[0] + count / 2) / count),
                           static_cast<std::uint8_t>((sums[1] + count / 2) / count),
                           static_cast<std::uint8_t>((sums[2] + count / 2) / count)});
    }
    if (palette.empty()) palette.push_back({});
    return palette;
}

IndexMapper::IndexMapper(std::vector<Rgb> palette, int first, bool dither,
                         const std::array<int, 3>& weights, int width)
    : palette_(std::move(palette)),
      first_(first),
      dither_(dither),
      weights_(weights),
      cache_(std::size_t{1} << 15, -1),
      errors_(3 * static_cast<std::size_t>(width + 2), 0),
      nextErrors_(errors_.size(), 0),
      width_(width) {}

int IndexMapper::nearest(int r, int g, int b) {
    std::size_t cell = static_cast<std::size_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    if (cache_[cell] >= 0) return cache_[cell];
    // The cell's centre stands for every colour in it.
    int cr = (r & ~7) + 4, cg = (g & ~7) + 4, cb = (b & ~7) + 4;
    int best = 0;
    long long bestDistance = LLONG_MAX;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        long long dr = cr - palette_[i].r, dg = cg - palette_[i].g, db = cb - palette_[i].b;
        long long distance = weights_[0] * dr * dr + weights_[1] * dg * dg + weights_[2] * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    cache_[cell] = static_cast<std::int16_t>(best);
    return best;
}

void IndexMapper::mapRow(const std::uint8_t* rgb, std::uint8_t* indices) {
    std::fill(nextErrors_.begin(), nextErrors_.end(), 0);
    for (int x = 0; x < width_; ++x) {
        std::array<int, 3> want{};
        for (int k = 0; k < 3; ++k)
            want[k] =
                std::clamp(rgb[3 * x + k] + (dither_ ? errors_[3 * (x + 1) + k] / 16 : 0), 0, 255);
        int entry = nearest(want[0], want[1], want[2]);
        indices[x] = static_cast<std::uint8_t>(entry + first_);
        if (!dither_) continue;
        const Rgb& chosen = palette_[entry];
        std::array<int, 3> error{want[0] - chosen.r, want[1] - chosen.g, want[2] - chosen.b};
        for (int k = 0; k < 3; ++k) {
            errors_[3 * (x + 2) + k] += 7 * error[k];
            nextErrors_[3 * x + k] += 3 * error[k];
            nextErrors_[3 * (x + 1) + k] += 5 * error[k];
            nextErrors_[3 * (x + 2) + k] += error[k];
        }
    }
    std::swap(errors_, nextErrors_);
}

void packIndices(const std::uint8_t* indices, int width, int bitsPerPixel, std::uint8_t* out) {
    if (bitsPerPixel == 8) {
        std::copy(indices, indices + width, out);
        return;
    }
    int perByte = 8 / bitsPerPixel;
    for (int x = 0; x < width; x += perByte) {
        std::uint8_t byte = 0;
        for (int i = 0; i < perByte; ++i) {
            byte = static_cast<std::uint8_t>(byte << bitsPerPixel);
            if (x + i < width)
                byte |= static_cast<std::uint8_t>(indices[x + i] & ((1 << bitsPerPixel) - 1));
        }
        out[x / perByte] = byte;
    }
}

}  // namespace deco
