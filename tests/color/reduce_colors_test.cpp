#include "color/reduce_colors.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "color/reduce_to_palette.h"
#include "color/standard_colors.h"
#include "engine/dib_layout.h"
#include "engine/errors.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

using test::OwnedDib;
using test::Rgb;

// A smooth picture with plenty of colours, white in its top-left corner.
OwnedDib gradient(int width = 64, int height = 48) {
    return test::TrueColorDib(width, height, [](int x, int y) {
        if (x == 0 && y == 0) return Rgb{255, 255, 255};
        return Rgb{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 5),
                   static_cast<std::uint8_t>((x + y) * 2)};
    });
}

OwnedDib reduce(HGLOBAL image, int colors, bool optimize, bool dither = false,
                bool noBleed = false) {
    HGLOBAL result = 0;
    EXPECT_EQ(ReduceColorsDib(image, colors, optimize, dither, noBleed, result), 0);
    return OwnedDib(result);
}

ErrorNumber reduceError(HGLOBAL image, int colors, bool optimize) {
    HGLOBAL result = 0;
    ErrorNumber n = ReduceColorsDib(image, colors, optimize, false, false, result);
    EXPECT_EQ(result, 0u);
    return n;
}

TEST(ReduceColors, RequestsAreCheckedInOrder) {
    OwnedDib image = gradient();
    EXPECT_EQ(reduceError(image.get(), 1, true), err::OutOfRange);
    EXPECT_EQ(reduceError(image.get(), 257, true), err::OutOfRange);
    EXPECT_EQ(reduceError(0, 257, true), err::OutOfRange) << "the count before the image";
    EXPECT_EQ(reduceError(0, 16, true), err::DibCannotLock);
    EXPECT_EQ(reduceError(image.get(), 3, false), err::BadDepth);
    EXPECT_EQ(reduceError(image.get(), 15, false), err::BadDepth);
}

TEST(ReduceColors, PaletteSourcesMustHaveMoreColoursThanAsked) {
    OwnedDib mono = test::PaletteDib(1, 8, 8, {{0, 0, 0}, {255, 255, 255}},
                                     [](int x, int) { return unsigned(x % 2); });
    EXPECT_EQ(reduceError(mono.get(), 2, true), err::BadDepth) << "never for a 1-bit image";
    OwnedDib sixteen =
        test::PaletteDib(4, 8, 8, {{0, 0, 0}}, [](int x, int) { return unsigned(x); });
    EXPECT_EQ(reduceError(sixteen.get(), 16, true), err::BadDepth);
    EXPECT_EQ(test::DepthOf(reduce(sixteen.get(), 8, true).get()), 4u)
        << "4-bit sources are reduced as 8-bit ones";
    // Without a colour table the depth decides.
    {
        platform::Locked block(sixteen.get());
        writeLe32(block.data() + dib::kClrUsed, 0);
    }
    EXPECT_EQ(reduceError(sixteen.get(), 17, true), err::DepthMismatch);
    std::vector<Rgb> table(256);
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), 0, 0};
    OwnedDib eight =
        test::PaletteDib(8, 16, 16, table, [](int x, int y) { return unsigned(x + 16 * y); });
    EXPECT_EQ(reduceError(eight.get(), 256, true), err::BadDepth);
    OwnedDib reduced = reduce(eight.get(), 255, true);
    EXPECT_EQ(test::DepthOf(reduced.get()), 8u);
}

TEST(ReduceColors, TwoDistinctColoursWithStandardColoursBecomeBlackAndWhite) {
    OwnedDib image = test::TrueColorDib(5, 5, [](int x, int) {
        return x < 3 ? Rgb{200, 0, 0} : Rgb{0, 0, 200};
    });
    OwnedDib reduced = reduce(image.get(), 16, false);
    ASSERT_EQ(test::DepthOf(reduced.get()), 4u);
    std::vector<Rgb> table = test::ColorTable(reduced.get());
    EXPECT_EQ(table[0], (Rgb{255, 255, 255}));
    EXPECT_EQ(table[1], (Rgb{0, 0, 0}));
    EXPECT_EQ(test::HeaderField(reduced.get(), dib::kClrImportant), 16u) << "of the 4-bit image";
    OwnedDib three = test::TrueColorDib(5, 5, [](int x, int) {
        return Rgb{static_cast<std::uint8_t>(x < 2 ? 0 : x < 4 ? 100 : 200), 0, 0};
    });
    EXPECT_EQ(reduceError(three.get(), 16, false), err::TooFewColors);
}

TEST(ReduceColors, OptimisedPalettesOfFewColoursArePackedToFourBits) {
    OwnedDib image = gradient();
    OwnedDib reduced = reduce(image.get(), 8, true, true, true);
    ASSERT_EQ(test::DepthOf(reduced.get()), 4u);
    EXPECT_LE(test::ColorsShown(reduced.get()).size(), 8u);
    OwnedDib two = reduce(image.get(), 2, true);
    EXPECT_EQ(test::DepthOf(two.get()), 1u);
    OwnedDib many = reduce(image.get(), 17, true);
    EXPECT_EQ(test::DepthOf(many.get()), 8u);
}

TEST(ReduceToPalette, FewerColoursThanAskedAreKeptExactlyAndPaddedWithWhite) {
    OwnedDib image = test::TrueColorDib(6, 6, [](int x, int) {
        return x < 2 ? Rgb{255, 255, 255} : x < 4 ? Rgb{16, 64, 128} : Rgb{0, 0, 0};
    });
    HGLOBAL result = 0;
    ASSERT_EQ(ReduceToPalette(image.get(), 10, false, 0, false, result), 0);
    OwnedDib reduced(result);
    EXPECT_EQ(test::HeaderField(reduced.get(), dib::kClrImportant), 10u);
    std::vector<Rgb> table = test::ColorTable(reduced.get());
    EXPECT_EQ(table[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(table[1], (Rgb{16, 66, 132})) << "the four-bit cell of 16, 64, 128";
    EXPECT_EQ(table[2], (Rgb{247, 247, 247})) << "white's cell reaches 247 at most";
    for (std::size_t i = 3; i < 10; ++i) EXPECT_EQ(table[i], (Rgb{255, 255, 255})) << i;
    EXPECT_EQ(table[10], Rgb{});
}

TEST(ReduceToPalette, CutColoursOfTrueColourImagesStayAt247OrBelow) {
    OwnedDib image = gradient(128, 96);
    for (bool standard : {false, true}) {
        HGLOBAL result = 0;
        ASSERT_EQ(ReduceToPalette(image.get(), 64, false, 0, standard, result), 0);
        OwnedDib reduced(result);
        std::vector<Rgb> table = test::ColorTable(reduced.get());
        for (std::size_t i = standard ? 16 : 0; i < 64; ++i)
            EXPECT_LE(std::max({table[i].red, table[i].green, table[i].blue}), 247) << i;
    }
}

TEST(ReduceToPalette, RefusesMoreColoursThanThePaletteHolds) {
    OwnedDib image = gradient();
    HGLOBAL result = 0;
    EXPECT_EQ(ReduceToPalette(image.get(), 241, false, 0, true, result), err::TooManyColors);
    EXPECT_EQ(ReduceToPalette(image.get(), 257, false, 0, false, result), err::TooManyColors);
    EXPECT_EQ(result, 0u);
}

TEST(ReduceToPalette, ImagesNarrowerOrLowerThanThreeGiveNothing) {
    for (auto [w, h] : {std::pair{2, 10}, {10, 2}}) {
        OwnedDib image = test::TrueColorDib(w, h, [](int x, int) {
            return Rgb{static_cast<std::uint8_t>(x * 50), 0, 0};
        });
        HGLOBAL result = 0;
        EXPECT_EQ(ReduceColorsDib(image.get(), 16, true, true, false, result), 0);
        EXPECT_EQ(result, 0u);
    }
}

TEST(ReduceToPalette, EightBitSourcesKeepFiveBitsAndTranslateTheirTable) {
    std::vector<Rgb> table(256, Rgb{0, 0, 0});
    table[1] = {200, 0, 0};
    table[2] = {255, 255, 255};
    table[3] = {0, 200, 0};
    OwnedDib image =
        test::PaletteDib(8, 5, 4, table, [](int x, int y) { return unsigned((x + y) % 4); });
    HGLOBAL result = 0;
    ASSERT_EQ(ReduceToPalette(image.get(), 4, false, 0, false, result), 0);
    OwnedDib reduced(result);
    const std::vector<Rgb> quantised = {{0, 0, 0}, {206, 0, 0}, {255, 255, 255}, {0, 206, 0}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(test::ColorAtPixel(reduced.get(), x, y),
                      quantised[static_cast<std::size_t>((x + y) % 4)])
                << x << "," << y;
}

}  // namespace
}  // namespace pm32
