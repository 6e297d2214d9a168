#include "process/rect_copy.h"

#include <gtest/gtest.h>

#include "engine/errors.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

using test::OwnedDib;
using test::Rgb;

// Each pixel a colour of its own, so a misplaced copy shows.
Rgb numbered(int x, int y) {
    return {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 77};
}

OwnedDib flat(int width, int height, Rgb colour) {
    return test::TrueColorDib(width, height, [=](int, int) { return colour; });
}

TEST(CopyRect, CopiesUnscaledAndClipsToBothImagesOnEverySide) {
    struct Case {
        int x, y;
    };
    const Rgb blank{1, 2, 3};
    for (Case c : {Case{0, 0}, Case{-2, -1}, Case{3, 2}, Case{-3, 4}, Case{5, -2}}) {
        OwnedDib source = test::TrueColorDib(4, 3, numbered);
        OwnedDib destination = flat(6, 5, blank);
        ASSERT_EQ(CopyRect(source.get(), {0, 0, 4, 3}, destination.get(), c.x, c.y), 0);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                int sx = x - c.x, sy = y - c.y;
                bool inside = sx >= 0 && sx < 4 && sy >= 0 && sy < 3;
                EXPECT_EQ(test::ColorAtPixel(destination.get(), x, y),
                          inside ? numbered(sx, sy) : blank)
                    << "at " << x << "," << y << " placed " << c.x << "," << c.y;
            }
    }
}

TEST(CopyRect, TakesOnlyTheSourceRectangleAndIgnoresWhatMissesEntirely) {
    OwnedDib source = test::TrueColorDib(4, 3, numbered);
    OwnedDib destination = flat(4, 3, {0, 0, 0});
    ASSERT_EQ(CopyRect(source.get(), {1, 1, 3, 2}, destination.get(), 0, 0), 0);
    EXPECT_EQ(test::ColorAtPixel(destination.get(), 0, 0), numbered(1, 1));
    EXPECT_EQ(test::ColorAtPixel(destination.get(), 1, 0), numbered(2, 1));
    EXPECT_EQ(test::ColorAtPixel(destination.get(), 2, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(test::ColorAtPixel(destination.get(), 0, 1), (Rgb{0, 0, 0}));
    // A rectangle reaching past the source reads only what the source has.
    ASSERT_EQ(CopyRect(source.get(), {-1, -1, 50, 50}, destination.get(), 0, 0), 0);
    EXPECT_EQ(test::ColorAtPixel(destination.get(), 0, 0), numbered(1, 1)) << "left as it was";
    EXPECT_EQ(test::ColorAtPixel(destination.get(), 1, 1), numbered(0, 0));
    EXPECT_EQ(test::ColorAtPixel(destination.get(), 3, 2), numbered(2, 1));
    OwnedDib untouched = flat(4, 3, {9, 9, 9});
    EXPECT_EQ(CopyRect(source.get(), {0, 0, 4, 3}, untouched.get(), 4, 0), 0);
    EXPECT_EQ(CopyRect(source.get(), {0, 0, 4, 3}, untouched.get(), -2147483647, 2147483647), 0);
    EXPECT_EQ(test::ColorsShown(untouched.get()), (std::vector<Rgb>{{9, 9, 9}}));
}

TEST(CopyRect, PaletteImagesMoveIndicesAtOddBitPositions) {
    const std::vector<Rgb> table{{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 255, 0}};
    for (int depth : {1, 4, 8}) {
        unsigned top = depth == 1 ? 1 : 3;
        OwnedDib source =
            test::PaletteDib(depth, 5, 2, table, [=](int x, int) { return x % 2 ? top : 0u; });
        OwnedDib destination = test::PaletteDib(depth, 9, 3, table, [](int, int) { return 0u; });
        ASSERT_EQ(CopyRect(source.get(), {0, 0, 5, 2}, destination.get(), 3, 1), 0) << depth;
        for (int x = 0; x < 9; ++x) {
            unsigned expected = x >= 3 && x < 8 && (x - 3) % 2 ? top : 0u;
            EXPECT_EQ(test::IndexAtPixel(destination.get(), x, 1), expected) << depth << " " << x;
            EXPECT_EQ(test::IndexAtPixel(destination.get(), x, 0), 0u) << depth << " " << x;
        }
    }
}

TEST(CopyRect, RefusesImagesOfDifferentDepthsAndBadHandles) {
    OwnedDib source = flat(2, 2, {1, 1, 1});
    OwnedDib palette = test::PaletteDib(8, 2, 2, {{0, 0, 0}}, [](int, int) { return 0u; });
    EXPECT_EQ(CopyRect(source.get(), {0, 0, 2, 2}, palette.get(), 0, 0), err::DepthMismatch);
    EXPECT_NE(CopyRect(0, {0, 0, 2, 2}, palette.get(), 0, 0), 0);
    EXPECT_NE(CopyRect(source.get(), {0, 0, 2, 2}, 12345, 0, 0), 0);
}

}  // namespace
}  // namespace pm32
