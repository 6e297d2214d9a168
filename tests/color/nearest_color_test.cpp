#include "color/nearest_color.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <set>
#include <vector>

namespace pm32 {
namespace {

int squaredDistance(const PaletteColor& c, int blue, int green, int red) {
    return (c.blue - blue) * (c.blue - blue) + (c.green - green) * (c.green - green) +
           (c.red - red) * (c.red - red);
}

// The reference: every entry compared, nothing sorted or cached.
int bruteForceDistance(const std::vector<PaletteColor>& palette, int blue, int green, int red) {
    int best = std::numeric_limits<int>::max();
    for (const PaletteColor& c : palette)
        best = std::min(best, squaredDistance(c, blue, green, red));
    return best;
}

std::vector<PaletteColor> randomPalette(std::mt19937& random, int size) {
    std::uniform_int_distribution<int> channel(0, 255);
    std::vector<PaletteColor> palette;
    for (int i = 0; i < size; ++i)
        palette.push_back(
            {static_cast<std::uint8_t>(channel(random)), static_cast<std::uint8_t>(channel(random)),
             static_cast<std::uint8_t>(channel(random)), static_cast<std::uint8_t>(i)});
    return palette;
}

TEST(NearestColor, FirstQueryOfEachCellMatchesABruteForceSearch) {
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> channel(0, 255);
    for (int size : {2, 3, 7, 16, 100, 240, 256}) {
        for (int round = 0; round < 20; ++round) {
            std::vector<PaletteColor> palette = randomPalette(random, size);
            NearestColorSearch search;
            ASSERT_TRUE(search.Prepare(palette));
            std::set<std::uint16_t> searchedCells;
            for (int query = 0; query < 3000; ++query) {
                int b = channel(random), g = channel(random), r = channel(random);
                auto key = ColorKey(static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                                    static_cast<std::uint8_t>(r));
                const PaletteColor& chosen = search.Entry(
                    search.Position(static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                                    static_cast<std::uint8_t>(r)));
                if (!searchedCells.insert(key).second) continue;
                ASSERT_EQ(squaredDistance(chosen, b, g, r), bruteForceDistance(palette, b, g, r))
                    << "palette of " << size << ", colour " << b << "," << g << "," << r;
            }
        }
    }
}

TEST(NearestColor, PalettesCrowdedOnOneBlueValueAreSearchedBothWays) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> channel(0, 255);
    std::vector<PaletteColor> palette;
    for (int i = 0; i < 64; ++i)
        palette.push_back({static_cast<std::uint8_t>(i % 2 == 0 ? 100 : 101),
                           static_cast<std::uint8_t>(channel(random)),
                           static_cast<std::uint8_t>(channel(random)),
                           static_cast<std::uint8_t>(i)});
    NearestColorSearch search;
    ASSERT_TRUE(search.Prepare(palette));
    for (int b : {0, 99, 100, 101, 102, 255})
        for (int g = 0; g < 256; g += 8)
            for (int r = 0; r < 256; r += 8) {
                NearestColorSearch fresh;
                ASSERT_TRUE(fresh.Prepare(palette));
                const PaletteColor& chosen = fresh.Entry(
                    fresh.Position(static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                                   static_cast<std::uint8_t>(r)));
                ASSERT_EQ(squaredDistance(chosen, b, g, r), bruteForceDistance(palette, b, g, r));
            }
}

TEST(NearestColor, LaterQueriesOfACellReuseTheFirstAnswer) {
    // Black and a grey of 6 lie either side of colours 0..7 of one cell.
    std::vector<PaletteColor> palette = {{0, 0, 0, 0}, {6, 6, 6, 1}};
    NearestColorSearch search;
    ASSERT_TRUE(search.Prepare(palette));
    EXPECT_EQ(search.Entry(search.Position(0, 0, 0)).tag, 0);
    EXPECT_EQ(search.Entry(search.Position(7, 7, 7)).tag, 0) << "the cell was answered by 0,0,0";
    NearestColorSearch other;
    ASSERT_TRUE(other.Prepare(palette));
    EXPECT_EQ(other.Entry(other.Position(7, 7, 7)).tag, 1);
    EXPECT_EQ(other.Entry(other.Position(0, 0, 0)).tag, 1);
}

TEST(NearestColor, AnExactMatchEndsTheSearchWhereTheBisectionStops) {
    // Sorted most blue first: white (1), white (2), black; the bisection's first
    // middle is the second white, already at distance 0.
    std::vector<PaletteColor> palette = {{0, 0, 0, 0}, {255, 255, 255, 1}, {255, 255, 255, 2}};
    NearestColorSearch search;
    ASSERT_TRUE(search.Prepare(palette));
    EXPECT_EQ(search.Entry(search.Position(255, 255, 255)).tag, 2);
    EXPECT_EQ(search.Entry(search.Position(0, 0, 0)).tag, 0);
}

}  // namespace
}  // namespace pm32
