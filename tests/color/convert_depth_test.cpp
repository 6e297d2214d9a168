#include "color/convert_depth.h"

#include <gtest/gtest.h>

#include <cstring>

#include "color/standard_colors.h"
#include "engine/errors.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

using test::OwnedDib;
using test::Rgb;

const std::vector<Rgb> kFour = {{10, 20, 30}, {250, 0, 0}, {0, 250, 0}, {0, 0, 250}};

OwnedDib convert(HGLOBAL source, std::uint32_t depth, std::vector<PALETTEENTRY> palette = {},
                 bool dither = false, bool standard = false) {
    HGLOBAL result = 0;
    EXPECT_EQ(ConvertDepth(source, depth, palette, dither, standard, result), 0);
    return OwnedDib(result);
}

ErrorNumber convertError(HGLOBAL source, std::uint32_t depth,
                         std::vector<PALETTEENTRY> palette = {}) {
    HGLOBAL result = 0;
    ErrorNumber n = ConvertDepth(source, depth, palette, false, false, result);
    EXPECT_EQ(result, 0u);
    return n;
}

TEST(ConvertDepth, RefusesDepthsItCannotMake) {
    OwnedDib image = test::PaletteDib(4, 5, 5, kFour, [](int x, int) { return unsigned(x % 4); });
    EXPECT_EQ(convertError(image.get(), 16), err::BadDepth);
    EXPECT_EQ(convertError(image.get(), 24, {{1, 2, 3, 0}, {4, 5, 6, 0}}), err::NoPalette);
    EXPECT_EQ(convertError(0, 8), err::DibCannotLock);
}

TEST(ConvertDepth, TheSameDepthIsAByteCopy) {
    OwnedDib image = test::PaletteDib(4, 5, 5, kFour, [](int x, int) { return unsigned(x % 4); });
    OwnedDib copy = convert(image.get(), 0);
    ASSERT_NE(copy.get(), image.get());
    platform::Locked a(image.get()), b(copy.get());
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size()), 0);
}

TEST(ConvertDepth, GreaterPaletteDepthsKeepTableAndIndices) {
    OwnedDib image = test::PaletteDib(1, 11, 3, {{9, 9, 9}, {200, 100, 0}},
                                      [](int x, int y) { return unsigned((x + y) % 2); });
    for (std::uint32_t depth : {4u, 8u}) {
        OwnedDib wider = convert(image.get(), depth);
        ASSERT_EQ(test::DepthOf(wider.get()), depth);
        EXPECT_EQ(test::ColorTable(wider.get())[1], (Rgb{200, 100, 0}));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 11; ++x)
                EXPECT_EQ(test::IndexAtPixel(wider.get(), x, y), unsigned((x + y) % 2));
    }
}

TEST(ConvertDepth, TrueColourTakesEachPixelsTableColour) {
    OwnedDib image = test::PaletteDib(4, 7, 2, kFour, [](int x, int) { return unsigned(x % 4); });
    OwnedDib full = convert(image.get(), 24);
    ASSERT_EQ(test::DepthOf(full.get()), 24u);
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(test::ColorAtPixel(full.get(), x, 1), kFour[static_cast<std::size_t>(x % 4)]);
}

TEST(ConvertDepth, APaletteIsMappedOntoAtTheTargetDepth) {
    OwnedDib image = test::TrueColorDib(6, 6, [](int x, int) {
        return x < 3 ? Rgb{240, 10, 10} : Rgb{10, 10, 240};
    });
    std::vector<PALETTEENTRY> palette = {{0, 0, 0, 0}, {0, 0, 255, 0}, {255, 0, 0, 0}};
    OwnedDib mapped = convert(image.get(), 4, palette, true);
    ASSERT_EQ(test::DepthOf(mapped.get()), 4u);
    std::vector<Rgb> table = test::ColorTable(mapped.get());
    EXPECT_EQ(table[1], (Rgb{0, 0, 255}));
    EXPECT_EQ(table[2], (Rgb{255, 0, 0}));
    EXPECT_EQ(table[3], Rgb{}) << "entries after the palette stay black";
    EXPECT_EQ(test::IndexAtPixel(mapped.get(), 0, 0), 2u);
    EXPECT_EQ(test::IndexAtPixel(mapped.get(), 5, 5), 1u);
    // Only as many entries as the depth holds are used.
    OwnedDib mono = convert(image.get(), 1, palette);
    EXPECT_EQ(test::ColorsShown(mono.get()), (std::vector<Rgb>{{0, 0, 0}, {0, 0, 255}}));
}

TEST(ConvertDepth, WithoutAPaletteItReduces) {
    OwnedDib image = test::TrueColorDib(8, 8, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x * 30), static_cast<std::uint8_t>(y * 30), 99};
    });
    OwnedDib standard = convert(image.get(), 4, {}, false, true);
    ASSERT_EQ(test::DepthOf(standard.get()), 4u);
    std::vector<Rgb> table = test::ColorTable(standard.get());
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(table[i], (Rgb{StandardColors()[i].red, StandardColors()[i].green,
                                 StandardColors()[i].blue}));
    OwnedDib eight = convert(image.get(), 8);
    EXPECT_EQ(test::DepthOf(eight.get()), 8u);
    HGLOBAL result = 0;
    EXPECT_EQ(ConvertDepth(image.get(), 8, {}, false, true, result), err::TooManyColors)
        << "256 colours cannot all be standard";
}

}  // namespace
}  // namespace pm32
