#include "color/reduction_palette.h"

#include <gtest/gtest.h>

#include "color/standard_colors.h"

namespace pm32 {
namespace {

ColorHistogram histogramOf(const std::vector<std::uint16_t>& keys) {
    ColorHistogram histogram;
    EXPECT_TRUE(histogram.Allocate());
    for (std::uint16_t key : keys) histogram.Set(key, 1);
    return histogram;
}

std::uint16_t key(int blue, int green, int red) {
    return static_cast<std::uint16_t>(blue << 10 | green << 5 | red);
}

bool isWhite(const PaletteColor& c) { return c.blue == 255 && c.green == 255 && c.red == 255; }

TEST(ReductionPalette, StandardColoursComeFirstThenImageColoursByLuminance) {
    // Bright green, dark red and mid blue, in key order blue-first.
    ColorHistogram histogram = histogramOf({key(16, 0, 0), key(0, 30, 0), key(0, 0, 8)});
    WorkingPalette palette;
    ASSERT_EQ(BuildReductionPalette(histogram, 20, true, palette), 0);
    ASSERT_EQ(palette.count, 20u);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(palette.entries[i].blue, StandardColors()[i].blue) << i;
        EXPECT_EQ(palette.entries[i].red, StandardColors()[i].red) << i;
    }
    EXPECT_EQ(palette.entries[16].blue, ExpandField(16));   // luminance 11 * 132
    EXPECT_EQ(palette.entries[17].red, ExpandField(8));     // 30 * 66
    EXPECT_EQ(palette.entries[18].green, ExpandField(30));  // 59 * 247
    EXPECT_TRUE(isWhite(palette.entries[19]));
    for (unsigned i = 0; i < palette.count; ++i) EXPECT_EQ(palette.entries[i].tag, i);
}

TEST(ReductionPalette, FewerThanSixteenStandardColoursIsTooFew) {
    WorkingPalette palette;
    EXPECT_EQ(BuildReductionPalette(histogramOf({1, 2, 3}), 3, true, palette), err::TooFewColors);
    EXPECT_EQ(BuildReductionPalette(histogramOf({1, 2, 3}), 15, true, palette), err::TooFewColors);
    EXPECT_EQ(BuildReductionPalette(histogramOf({1}), 1, false, palette), err::TooFewColors);
    ASSERT_EQ(BuildReductionPalette(histogramOf({1, 2, 3}), 16, true, palette), 0);
    EXPECT_EQ(palette.count, 16u);
}

TEST(ReductionPalette, LuminanceOrderSwapsEntriesIntoPlace) {
    // A and B share luminance 3009 and come first in key order; the darker C
    // is swapped into position 0 and A goes to its place, so B now precedes A.
    std::uint16_t a = key(4, 3, 5), b = key(15, 3, 1), c = key(16, 0, 0);
    WorkingPalette palette;
    ASSERT_EQ(PaletteFromHistogram(histogramOf({a, b, c}), palette, 3), 0);
    EXPECT_EQ(palette.entries[0].blue, ExpandField(16));
    EXPECT_EQ(palette.entries[1].blue, ExpandField(15));
    EXPECT_EQ(palette.entries[2].blue, ExpandField(4));
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_EQ(palette.entries[i].tag, 0) << "shared palettes carry no tags";
}

TEST(ReductionPalette, PaletteFromHistogramRefusesImpossibleSizes) {
    WorkingPalette palette;
    EXPECT_EQ(PaletteFromHistogram(histogramOf({1, 2}), palette, 1), err::TooFewColors);
    EXPECT_EQ(PaletteFromHistogram(histogramOf({1, 2}), palette, 257), err::TooManyColors);
}

}  // namespace
}  // namespace pm32
