#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace pm32::bench {

// A flat-colour picture such as a business chart: a white page with a grid,
// axes, bars, a thick curve, legend boxes and lines of blocky "text". It is
// made of palette indices, top row first, so the GIF benchmark stores it as
// it stands and the TIFF benchmark expands it to true colour.
struct ChartPicture {
    static constexpr int kColours = 12;
    std::array<std::array<std::uint8_t, 3>, kColours> palette{{{255, 255, 255},
                                                               {0, 0, 0},
                                                               {220, 220, 220},
                                                               {31, 119, 180},
                                                               {255, 127, 14},
                                                               {44, 160, 44},
                                                               {214, 39, 40},
                                                               {148, 103, 189},
                                                               {140, 86, 75},
                                                               {227, 119, 194},
                                                               {127, 127, 127},
                                                               {188, 189, 34}}};
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> indices;

    ChartPicture(std::uint32_t w, std::uint32_t h)
        : width(w), height(h), indices(static_cast<std::size_t>(w) * h, 0) {
        drawGrid();
        drawBars();
        drawCurve();
        drawText();
    }

    // Red, green, blue per pixel, top row first.
    std::vector<std::uint8_t> rgb() const {
        std::vector<std::uint8_t> out(indices.size() * 3);
        for (std::size_t i = 0; i < indices.size(); ++i)
            std::copy_n(palette[indices[i]].data(), 3, out.data() + 3 * i);
        return out;
    }

  private:
    void fill(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
              std::uint8_t colour) {
        left = std::clamp<std::int64_t>(left, 0, width);
        right = std::clamp<std::int64_t>(right, 0, width);
        top = std::clamp<std::int64_t>(top, 0, height);
        bottom = std::clamp<std::int64_t>(bottom, 0, height);
        for (std::int64_t y = top; y < bottom; ++y)
            std::fill(indices.begin() + y * width + left, indices.begin() + y * width + right,
                      colour);
    }

    std::int64_t plotLeft() const { return width / 10; }
    std::int64_t plotBottom() const { return height * 9 / 10; }

    void drawGrid() {
        for (std::int64_t x = plotLeft(); x < width; x += 100) fill(x, 0, x + 1, plotBottom(), 2);
        for (std::int64_t y = plotBottom(); y > 0; y -= 100) fill(plotLeft(), y, width, y + 1, 2);
        fill(plotLeft() - 3, 0, plotLeft(), plotBottom() + 3, 1);
        fill(plotLeft() - 3, plotBottom(), width, plotBottom() + 3, 1);
    }

    void drawBars() {
        std::mt19937 random(7);
        const std::int64_t groups = 12, series = 4;
        const std::int64_t groupWidth = (width - plotLeft()) / groups;
        for (std::int64_t g = 0; g < groups; ++g) {
            for (std::int64_t s = 0; s < series; ++s) {
                const std::int64_t left = plotLeft() + g * groupWidth + 20 + s * (groupWidth / 5);
                const std::int64_t top =
                    plotBottom() - 200 - static_cast<std::int64_t>(random() % (plotBottom() - 400));
                fill(left, top, left + groupWidth / 5 - 6, plotBottom(), 3 + s);
                fill(left, top, left + groupWidth / 5 - 6, top + 2, 1);
            }
        }
        // The legend: a framed box of coloured keys.
        fill(width - 700, 60, width - 100, 460, 1);
        fill(width - 696, 64, width - 104, 456, 0);
        for (std::int64_t s = 0; s < series; ++s)
            fill(width - 660, 100 + 90 * s, width - 600, 140 + 90 * s, 3 + s);
    }

    void drawCurve() {
        const double mid = plotBottom() * 0.45;
        for (std::int64_t x = plotLeft(); x < width; ++x) {
            const double phase = static_cast<double>(x - plotLeft()) / 350.0;
            const auto y = static_cast<std::int64_t>(mid + std::sin(phase) * mid * 0.6 +
                                                     std::sin(phase * 3.1) * 60.0);
            fill(x, y - 4, x + 1, y + 5, 6);
        }
    }

    // Lines of 7 x 9 glyph cells with random strokes: the labels of the axes
    // and the legend.
    void drawText() {
        std::mt19937 random(11);
        auto line = [&](std::int64_t left, std::int64_t top, int glyphs) {
            for (int g = 0; g < glyphs; ++g) {
                if (random() % 7 == 0) continue;  // a space
                const std::uint32_t strokes = random();
                for (int row = 0; row < 9; ++row)
                    for (int column = 0; column < 7; ++column)
                        if ((strokes >> ((row * 7 + column) % 32) & 1) != 0 && (row + column) % 3)
                            fill(left + g * 8 + column, top + row * 2, left + g * 8 + column + 1,
                                 top + row * 2 + 2, 1);
            }
        };
        for (std::int64_t y = plotBottom(); y > 0; y -= 100) line(plotLeft() - 70, y - 9, 6);
        for (std::int64_t x = plotLeft(); x < width; x += 300) line(x - 20, plotBottom() + 20, 5);
        for (int s = 0; s < 4; ++s) line(width - 580, 105 + 90 * s, 40);
        line(width / 3, plotBottom() + 120, 60);
        line(20, height / 3, 8);
    }
};

}  // namespace pm32::bench
