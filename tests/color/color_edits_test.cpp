#include <gtest/gtest.h>

#include <vector>

#include "color/color_count.h"
#include "color/color_replace.h"
#include "color/gray_scale.h"
#include "color/map_index.h"
#include "color/pixel_query.h"
#include "color/remap_palette.h"
#include "engine/errors.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

using test::OwnedDib;
using test::Rgb;

COLORREF rgb(int red, int green, int blue) {
    return static_cast<COLORREF>(red | green << 8 | blue << 16);
}

TEST(GrayScale, TrueColourBecomesEightBitGreyWithWhiteAt254) {
    OwnedDib image = test::TrueColorDib(3, 2, [](int x, int) {
        return x == 0 ? Rgb{255, 255, 255} : x == 1 ? Rgb{255, 0, 0} : Rgb{10, 200, 30};
    });
    HGLOBAL result = 0;
    ASSERT_EQ(GrayScaleDib(image.get(), result), 0);
    OwnedDib grey(result);
    ASSERT_EQ(test::DepthOf(grey.get()), 8u);
    EXPECT_EQ(test::ColorTable(grey.get())[77], (Rgb{77, 77, 77}));
    EXPECT_EQ(test::IndexAtPixel(grey.get(), 0, 1), 254u);
    EXPECT_EQ(test::IndexAtPixel(grey.get(), 1, 0), 255u * 19660 / 65536);
    EXPECT_EQ(test::IndexAtPixel(grey.get(), 2, 0),
              30u * 7208 / 65536 + 200u * 38666 / 65536 + 10u * 19660 / 65536);
}

TEST(GrayScale, PaletteImagesKeepPixelsAndGreyTheirTable) {
    OwnedDib image = test::PaletteDib(4, 3, 3, {{100, 50, 200}, {0, 0, 0}},
                                      [](int x, int) { return unsigned(x == 1); });
    HGLOBAL result = 0;
    ASSERT_EQ(GrayScaleDib(image.get(), result), 0);
    OwnedDib grey(result);
    ASSERT_EQ(test::DepthOf(grey.get()), 4u);
    auto g = static_cast<std::uint8_t>(0.3 * 100 + 0.59 * 50 + 0.11 * 200);
    EXPECT_EQ(test::ColorTable(grey.get())[0], (Rgb{g, g, g}));
    EXPECT_EQ(test::IndexAtPixel(grey.get(), 1, 2), 1u);
}

TEST(ColorReplace, RangesAreCheckedRedGreenBlueBeforeTheImage) {
    HGLOBAL result = 0;
    EXPECT_EQ(ReplaceColors(0, rgb(10, 10, 10), rgb(9, 0, 0), false, 0, result), err::BadRedRange);
    EXPECT_EQ(ReplaceColors(0, rgb(10, 10, 10), rgb(10, 9, 0), false, 0, result),
              err::BadGreenRange);
    EXPECT_EQ(ReplaceColors(0, rgb(10, 10, 10), rgb(10, 10, 9), false, 0, result),
              err::BadBlueRange);
    OwnedDib mono =
        test::PaletteDib(1, 3, 3, {{0, 0, 0}, {255, 255, 255}}, [](int, int) { return 0u; });
    EXPECT_EQ(ReplaceColors(mono.get(), 0, rgb(255, 255, 255), false, 0, result), err::BadDepth);
    EXPECT_EQ(result, 0u);
}

TEST(ColorReplace, TrueColourPixelsInsideOrOutsideTheBox) {
    OwnedDib image = test::TrueColorDib(3, 1, [](int x, int) {
        return x == 0 ? Rgb{10, 20, 30} : x == 1 ? Rgb{10, 20, 31} : Rgb{200, 0, 0};
    });
    HGLOBAL result = 0;
    ASSERT_EQ(
        ReplaceColors(image.get(), rgb(10, 20, 30), rgb(10, 20, 30), false, rgb(1, 2, 3), result),
        0);
    OwnedDib exact(result);
    EXPECT_EQ(test::ColorAtPixel(exact.get(), 0, 0), (Rgb{1, 2, 3}));
    EXPECT_EQ(test::ColorAtPixel(exact.get(), 1, 0), (Rgb{10, 20, 31}));
    ASSERT_EQ(ReplaceColors(image.get(), rgb(0, 0, 0), rgb(50, 50, 50), true, rgb(7, 7, 7), result),
              0);
    OwnedDib outside(result);
    EXPECT_EQ(test::ColorAtPixel(outside.get(), 1, 0), (Rgb{10, 20, 31}));
    EXPECT_EQ(test::ColorAtPixel(outside.get(), 2, 0), (Rgb{7, 7, 7}));
    EXPECT_EQ(test::ColorAtPixel(image.get(), 2, 0), (Rgb{200, 0, 0})) << "the source is untouched";
}

TEST(ColorReplace, PaletteImagesChangeTheirTableNotTheirPixels) {
    OwnedDib image = test::PaletteDib(8, 2, 1, {{5, 5, 5}, {100, 100, 100}},
                                      [](int x, int) { return unsigned(x); });
    HGLOBAL result = 0;
    ASSERT_EQ(ReplaceColors(image.get(), rgb(0, 0, 0), rgb(9, 9, 9), false, rgb(0, 0, 99), result),
              0);
    OwnedDib replaced(result);
    std::vector<Rgb> table = test::ColorTable(replaced.get());
    EXPECT_EQ(table[0], (Rgb{0, 0, 99}));
    EXPECT_EQ(table[1], (Rgb{100, 100, 100}));
    EXPECT_EQ(table[2], (Rgb{0, 0, 99})) << "unused black entries match too";
    EXPECT_EQ(test::IndexAtPixel(replaced.get(), 1, 0), 1u);
}

TEST(ColorCount, DistinctIndicesOrTrueColours) {
    std::uint32_t count = 0;
    OwnedDib mono = test::PaletteDib(1, 9, 2, {{0, 0, 0}, {1, 1, 1}}, [](int, int) { return 1u; });
    ASSERT_EQ(CountDistinctColors(mono.get(), count), 0);
    EXPECT_EQ(count, 1u);
    OwnedDib four = test::PaletteDib(4, 5, 3, {}, [](int x, int) { return unsigned(x * 3); });
    ASSERT_EQ(CountDistinctColors(four.get(), count), 0);
    EXPECT_EQ(count, 5u);
    OwnedDib full = test::TrueColorDib(64, 64, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 255};
    });
    ASSERT_EQ(CountDistinctColors(full.get(), count), 0);
    EXPECT_EQ(count, 4096u);
}

TEST(ColorCount, UsesPerIndexCountOnlyPixels) {
    // Width 3 at 1 bit leaves five padding bits per row that must not count.
    OwnedDib mono = test::PaletteDib(1, 3, 2, {}, [](int x, int) { return unsigned(x == 2); });
    std::array<std::uint64_t, 256> uses{};
    ASSERT_EQ(CountIndexUses(mono.get(), uses), 0);
    EXPECT_EQ(uses[0], 4u);
    EXPECT_EQ(uses[1], 2u);
    OwnedDib full = test::TrueColorDib(3, 3, [](int, int) { return Rgb{}; });
    EXPECT_EQ(CountIndexUses(full.get(), uses), err::BadDepth);
}

TEST(MapIndex, ChangesOnlyThatIndexInPlace) {
    OwnedDib image = test::PaletteDib(4, 5, 2, {}, [](int x, int) { return unsigned(x); });
    ASSERT_EQ(MapIndexInPlace(image.get(), 3, 9), 0);
    std::vector<unsigned> row;
    for (int x = 0; x < 5; ++x) row.push_back(test::IndexAtPixel(image.get(), x, 1));
    EXPECT_EQ(row, (std::vector<unsigned>{0, 1, 2, 9, 4}));
    EXPECT_EQ(MapIndexInPlace(image.get(), 3, 16), err::BadDepth);
}

TEST(RemapPalette, PixelsFollowTheirNearestEntries) {
    OwnedDib image = test::PaletteDib(8, 3, 1, {{250, 0, 0}, {0, 0, 0}, {0, 0, 240}},
                                      [](int x, int) { return unsigned(x); });
    std::vector<PALETTEENTRY> entries = {{0, 0, 255, 0}, {255, 0, 0, 0}, {0, 0, 0, 0}};
    platform::HPALETTE palette = platform::CreatePalette(entries);
    HGLOBAL result = 0;
    ASSERT_EQ(RemapToPalette(image.get(), palette, result), 0);
    OwnedDib remapped(result);
    EXPECT_EQ(test::IndexAtPixel(remapped.get(), 0, 0), 1u);
    EXPECT_EQ(test::IndexAtPixel(remapped.get(), 1, 0), 2u);
    EXPECT_EQ(test::IndexAtPixel(remapped.get(), 2, 0), 0u);
    std::vector<Rgb> table = test::ColorTable(remapped.get());
    EXPECT_EQ(table[0], (Rgb{0, 0, 255}));
    EXPECT_EQ(table[3], Rgb{});
    platform::DeletePalette(palette);
}

TEST(RemapPalette, RefusesTrueColourBadPalettesAndOversizedOnes) {
    OwnedDib full = test::TrueColorDib(3, 3, [](int, int) { return Rgb{}; });
    OwnedDib four = test::PaletteDib(4, 3, 3, {}, [](int, int) { return 0u; });
    std::vector<PALETTEENTRY> big(17, PALETTEENTRY{1, 1, 1, 0});
    platform::HPALETTE palette = platform::CreatePalette(big);
    HGLOBAL result = 0;
    EXPECT_EQ(RemapToPalette(full.get(), palette, result), err::BadDepth);
    EXPECT_EQ(RemapToPalette(four.get(), palette, result), err::PaletteDepthMismatch);
    platform::DeletePalette(palette);
    EXPECT_EQ(RemapToPalette(four.get(), palette, result), err::InvalidPalette);
    EXPECT_EQ(result, 0u);
}

TEST(PixelQuery, RowsCountFromTheTopAndBoundsAreChecked) {
    OwnedDib image = test::TrueColorDib(4, 3, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7};
    });
    std::uint32_t color = 0;
    ASSERT_EQ(PixelColor(image.get(), 3, 0, color), 0);
    EXPECT_EQ(color, rgb(3, 0, 7));
    EXPECT_EQ(PixelColor(image.get(), 4, 0, color), err::XOutOfBounds);
    EXPECT_EQ(PixelColor(image.get(), -1, 0, color), err::XOutOfBounds);
    EXPECT_EQ(PixelColor(image.get(), 0, 3, color), err::YOutOfBounds);
    EXPECT_EQ(PixelColor(image.get(), 9, 9, color), err::XOutOfBounds) << "x is checked first";
    unsigned index = 0;
    EXPECT_EQ(PixelIndex(image.get(), 9, 9, index), err::BadDepth);
    OwnedDib palette = test::PaletteDib(4, 3, 2, {{9, 8, 7}, {1, 2, 3}},
                                        [](int x, int y) { return unsigned(x == 2 && y == 1); });
    ASSERT_EQ(PixelIndex(palette.get(), 2, 1, index), 0);
    EXPECT_EQ(index, 1u);
    ASSERT_EQ(PixelColor(palette.get(), 0, 0, color), 0);
    EXPECT_EQ(color, rgb(9, 8, 7));
}

}  // namespace
}  // namespace pm32
