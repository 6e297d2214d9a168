#include "color/error_diffusion.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "color/reduce_to_palette.h"
#include "platform/window_registry.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

using test::OwnedDib;
using test::Rgb;

const std::vector<PaletteColor> kBlackWhite = {{0, 0, 0, 0}, {255, 255, 255, 1}};

Rgb grey(int v) {
    auto c = static_cast<std::uint8_t>(v);
    return {c, c, c};
}

// Dithers a 24-bit picture given top row first onto the palette.
OwnedDib dither(const std::vector<std::vector<int>>& greys,
                const std::vector<PaletteColor>& palette, int bleedLimit,
                ProgressPump* progress = nullptr) {
    auto height = static_cast<int>(greys.size());
    auto width = static_cast<int>(greys[0].size());
    OwnedDib image = test::TrueColorDib(width, height, [&](int x, int y) {
        return grey(greys[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
    });
    HGLOBAL result = 0;
    EXPECT_EQ(MapToPalette(image.get(), palette, true, bleedLimit, result, progress), 0);
    return OwnedDib(result);
}

std::vector<unsigned> topRow(const OwnedDib& dib, int width) {
    std::vector<unsigned> row;
    for (int x = 0; x < width; ++x) row.push_back(test::IndexAtPixel(dib.get(), x, 0));
    return row;
}

TEST(ErrorDiffusion, BleedLimitCarriesThreeQuartersOfLargeErrors) {
    EXPECT_EQ(CarriedError(40, kNoBleedLimit), 30);
    EXPECT_EQ(CarriedError(-40, kNoBleedLimit), -30);
    EXPECT_EQ(CarriedError(32, kNoBleedLimit), 32);
    EXPECT_EQ(CarriedError(-33, kNoBleedLimit), -25);
    EXPECT_EQ(CarriedError(40, 0), 40);
    EXPECT_EQ(CarriedError(-300, 0), -300);
}

TEST(ErrorDiffusion, TheBottomRowGoesFirstAndItsErrorIsBled) {
    // The bottom pixel (40) leaves 40, or 30 with the bleed limit; the top
    // pixel gets 5/16 of it: 116 + 12 = 128 rounds to white, 116 + 9 to black.
    EXPECT_EQ(topRow(dither({{116}, {40}}, kBlackWhite, 0), 1), (std::vector<unsigned>{1}));
    EXPECT_EQ(topRow(dither({{116}, {40}}, kBlackWhite, kNoBleedLimit), 1),
              (std::vector<unsigned>{0}));
}

TEST(ErrorDiffusion, ThePreviousPixelOfTheRowGivesOneSixteenth) {
    // 100 leaves 100 behind; 1/16 of it is 6, so 122 tips to white and 121 does not.
    EXPECT_EQ(topRow(dither({{100, 122}}, kBlackWhite, 0), 2), (std::vector<unsigned>{0, 1}));
    EXPECT_EQ(topRow(dither({{100, 121}}, kBlackWhite, 0), 2), (std::vector<unsigned>{0, 0}));
}

TEST(ErrorDiffusion, TheRowBeforeGivesSevenFiveAndThreeSixteenths) {
    // The bottom row leaves 100 under the middle column and 6 (its 1/16)
    // under the right one. Above it the left pixel gathers 3/16 of 100 (18),
    // the middle 5/16 of 100 and 3/16 of 6 (32), the right 7/16 of 100 and
    // 5/16 of 6 (45); the pixels before each are chosen to land exactly on
    // white and leave no error of their own.
    const std::vector<int> bottom = {0, 100, 0};
    const std::vector<std::vector<int>> tops = {{110, 0, 0}, {237, 96, 0}, {237, 223, 83}};
    for (int x = 0; x < 3; ++x) {
        std::vector<int> top = tops[static_cast<std::size_t>(x)];
        EXPECT_EQ(test::IndexAtPixel(dither({top, bottom}, kBlackWhite, 0).get(), x, 0), 1u) << x;
        --top[static_cast<std::size_t>(x)];
        EXPECT_EQ(test::IndexAtPixel(dither({top, bottom}, kBlackWhite, 0).get(), x, 0), 0u) << x;
    }
}

// The reference: the diffusion written out on whole error planes with the
// stated weights, looking colours up with a search of its own.
std::vector<std::vector<unsigned>> referenceDither(const std::vector<std::vector<Rgb>>& memoryRows,
                                                   const std::vector<PaletteColor>& palette,
                                                   int bleedLimit) {
    NearestColorSearch search;
    EXPECT_TRUE(search.Prepare(palette));
    std::size_t height = memoryRows.size(), width = memoryRows[0].size();
    std::vector<std::vector<std::array<int, 3>>> error(height,
                                                       std::vector<std::array<int, 3>>(width));
    std::vector<std::vector<unsigned>> out(height, std::vector<unsigned>(width));
    auto at = [&](long row, long x, int channel) {
        if (row < 0 || x < 0 || x >= static_cast<long>(width)) return 0;
        return error[static_cast<std::size_t>(row)][static_cast<std::size_t>(x)]
                    [static_cast<std::size_t>(channel)];
    };
    for (std::size_t row = 0; row < height; ++row)
        for (std::size_t x = 0; x < width; ++x) {
            const Rgb& p = memoryRows[row][x];
            int source[3] = {p.blue, p.green, p.red};
            int wanted[3];
            std::uint8_t clamped[3];
            for (int c = 0; c < 3; ++c) {
                long r = static_cast<long>(row), col = static_cast<long>(x);
                int gathered = (at(r, col - 1, c) + 7 * at(r - 1, col - 1, c) +
                                5 * at(r - 1, col, c) + 3 * at(r - 1, col + 1, c)) >>
                               4;
                wanted[c] = source[c] + gathered;
                clamped[c] = static_cast<std::uint8_t>(std::clamp(wanted[c], 0, 255));
            }
            const PaletteColor& chosen =
                search.Entry(search.Position(clamped[0], clamped[1], clamped[2]));
            out[row][x] = chosen.tag;
            int entry[3] = {chosen.blue, chosen.green, chosen.red};
            for (int c = 0; c < 3; ++c) {
                int e = wanted[c] - entry[c];
                if (bleedLimit != 0 && (e < -bleedLimit || e > bleedLimit)) e = (3 * e) >> 2;
                error[row][x][static_cast<std::size_t>(c)] = e;
            }
        }
    return out;
}

TEST(ErrorDiffusion, MatchesAReferenceOnRandomImages) {
    std::mt19937 random(31);
    std::uniform_int_distribution<int> channel(0, 255);
    for (int round = 0; round < 12; ++round) {
        int width = 1 + round * 3, height = 2 + round;
        std::vector<std::vector<Rgb>> memoryRows(static_cast<std::size_t>(height),
                                                 std::vector<Rgb>(static_cast<std::size_t>(width)));
        for (auto& row : memoryRows)
            for (Rgb& p : row)
                p = {static_cast<std::uint8_t>(channel(random)),
                     static_cast<std::uint8_t>(channel(random)),
                     static_cast<std::uint8_t>(channel(random))};
        std::vector<PaletteColor> palette = kBlackWhite;
        for (int i = 2; i < 8 + round; ++i)
            palette.push_back({static_cast<std::uint8_t>(channel(random)),
                               static_cast<std::uint8_t>(channel(random)),
                               static_cast<std::uint8_t>(channel(random)),
                               static_cast<std::uint8_t>(i)});
        OwnedDib image = test::TrueColorDib(width, height, [&](int x, int y) {
            return memoryRows[static_cast<std::size_t>(height - 1 - y)]
                             [static_cast<std::size_t>(x)];
        });
        int bleed = round % 2 == 0 ? 0 : kNoBleedLimit;
        HGLOBAL result = 0;
        ASSERT_EQ(MapToPalette(image.get(), palette, true, bleed, result), 0);
        OwnedDib mapped(result);
        auto expected = referenceDither(memoryRows, palette, bleed);
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(test::IndexAtPixel(mapped.get(), x, height - 1 - row),
                          expected[static_cast<std::size_t>(row)][static_cast<std::size_t>(x)])
                    << "round " << round << " row " << row << " x " << x;
    }
}

class PeekWindow {
  public:
    PeekWindow() : window_(platform::RegisterWindow([this] { ++pumped; })) {}
    ~PeekWindow() { platform::UnregisterWindow(window_); }
    platform::HWND get() const { return window_; }
    int pumped = 0;

  private:
    platform::HWND window_;
};

TEST(ErrorDiffusion, ProgressEveryIntervalRowsAndACancelStopsMapping) {
    PeekWindow window;
    std::vector<int> calls;
    ProgressPump pump;
    pump.SetUp(
        [&](int rows) {
            calls.push_back(rows);
            return rows < 20 ? 1 : 0;
        },
        10, window.get());
    std::vector<std::vector<int>> white(35, std::vector<int>(4, 255));
    OwnedDib mapped = dither(white, kBlackWhite, 0, &pump);
    EXPECT_EQ(calls, (std::vector<int>{10, 20}));
    EXPECT_EQ(window.pumped, 2);
    // Memory rows 0-19 (the bottom of the picture) were mapped; the rest stay 0.
    EXPECT_EQ(test::IndexAtPixel(mapped.get(), 3, 34), 1u);
    EXPECT_EQ(test::IndexAtPixel(mapped.get(), 0, 15), 1u);
    EXPECT_EQ(test::IndexAtPixel(mapped.get(), 0, 14), 0u);
    EXPECT_EQ(test::IndexAtPixel(mapped.get(), 3, 0), 0u);
}

}  // namespace
}  // namespace pm32
