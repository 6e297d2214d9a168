#include "process/stretch_copy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/errors.h"
#include "process/axis_weights.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

using test::OwnedDib;
using test::Rgb;

OwnedDib blank(int depth, int width, int height) {
    HGLOBAL created = 0;
    EXPECT_EQ(CreateDib(static_cast<std::uint32_t>(depth), width, height, 0, created), 0);
    return OwnedDib(created);
}

// Nearest source position written the obvious way.
int nearest(int x, int source, int destination) {
    int p = static_cast<int>(std::floor(0.5 + static_cast<double>(x) * source / destination));
    return std::min(p, source - 1);
}

TEST(StretchCopy, NearestNeighbourAgreesWithReferenceForRandomSizes) {
    std::mt19937 random(7);
    for (int round = 0; round < 30; ++round) {
        int sw = 1 + static_cast<int>(random() % 17), sh = 1 + static_cast<int>(random() % 17);
        int dw = 1 + static_cast<int>(random() % 23), dh = 1 + static_cast<int>(random() % 23);
        OwnedDib source = test::RandomTrueColorDib(sw + 2, sh + 1, random());
        OwnedDib destination = blank(24, dw + 3, dh + 2);
        PictureRect from{1, 1, 1 + sw, 1 + sh};
        PictureRect into{2, 1, 2 + dw, 1 + dh};
        ASSERT_EQ(StretchCopy(source.get(), from, destination.get(), into, false), 0);
        for (int y = 0; y < dh + 2; ++y)
            for (int x = 0; x < dw + 3; ++x) {
                bool inside = x >= 2 && x < 2 + dw && y >= 1 && y < 1 + dh;
                Rgb expected = inside ? test::ColorAtPixel(source.get(), 1 + nearest(x - 2, sw, dw),
                                                           1 + nearest(y - 1, sh, dh))
                                      : Rgb{};
                ASSERT_EQ(test::ColorAtPixel(destination.get(), x, y), expected)
                    << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << x << "," << y;
            }
    }
}

TEST(StretchCopy, PaletteImagesMoveIndicesAndTakeTheSourceTable) {
    for (int depth : {1, 4, 8}) {
        const unsigned colours = 1u << depth;
        std::vector<Rgb> table;
        for (unsigned i = 0; i < colours; ++i)
            table.push_back(
                {static_cast<std::uint8_t>(i * 7), 1, static_cast<std::uint8_t>(255 - i)});
        OwnedDib source = test::PaletteDib(depth, 5, 3, table, [&](int x, int y) {
            return static_cast<unsigned>(x * 3 + y) % colours;
        });
        OwnedDib destination = blank(depth, 11, 7);
        ASSERT_EQ(StretchCopy(source.get(), {0, 0, 5, 3}, destination.get(), {1, 1, 11, 7}, true),
                  0);
        EXPECT_EQ(test::ColorTable(destination.get()), test::ColorTable(source.get())) << depth;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(test::IndexAtPixel(destination.get(), 1 + x, 1 + y),
                          test::IndexAtPixel(source.get(), nearest(x, 5, 10), nearest(y, 3, 6)))
                    << depth;
    }
}

TEST(StretchCopy, SameSizeCopiesExactlyWhateverTheSmoothFlag) {
    OwnedDib source = test::RandomTrueColorDib(9, 6, 3);
    for (bool smooth : {false, true}) {
        OwnedDib destination = blank(24, 9, 6);
        ASSERT_EQ(StretchCopy(source.get(), {0, 0, 9, 6}, destination.get(), {0, 0, 9, 6}, smooth),
                  0);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(test::ColorAtPixel(destination.get(), x, y),
                          test::ColorAtPixel(source.get(), x, y));
    }
}

TEST(StretchCopy, SmoothShrinkAveragesAndKeepsFlatColours) {
    OwnedDib stripes = test::TrueColorDib(8, 4, [](int x, int) {
        return x % 2 == 0 ? Rgb{200, 100, 0} : Rgb{0, 100, 200};
    });
    OwnedDib destination = blank(24, 4, 2);
    ASSERT_EQ(StretchCopy(stripes.get(), {0, 0, 8, 4}, destination.get(), {0, 0, 4, 2}, true), 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            Rgb p = test::ColorAtPixel(destination.get(), x, y);
            EXPECT_NEAR(p.red, 100, 1);
            EXPECT_NEAR(p.green, 100, 1);
            EXPECT_NEAR(p.blue, 100, 1);
        }
    // A shrink by a ratio that splits source pixels still keeps a flat image flat.
    OwnedDib flat = test::TrueColorDib(7, 5, [](int, int) { return Rgb{255, 128, 3}; });
    OwnedDib small = blank(24, 3, 2);
    ASSERT_EQ(StretchCopy(flat.get(), {0, 0, 7, 5}, small.get(), {0, 0, 3, 2}, true), 0);
    for (Rgb p : test::ColorsShown(small.get())) {
        EXPECT_NEAR(p.red, 255, 2);
        EXPECT_NEAR(p.green, 128, 1);
        EXPECT_NEAR(p.blue, 3, 1);
    }
}

TEST(StretchCopy, SmoothEnlargeBlendsNeighboursAndStaysInRange) {
    OwnedDib ramp = test::TrueColorDib(2, 1, [](int x, int) {
        return x == 0 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
    });
    OwnedDib destination = blank(24, 5, 1);
    ASSERT_EQ(StretchCopy(ramp.get(), {0, 0, 2, 1}, destination.get(), {0, 0, 5, 1}, true), 0);
    // Spans of 0.4 source pixels: the third crosses the boundary half way.
    EXPECT_EQ(test::ColorAtPixel(destination.get(), 0, 0).red, 0);
    EXPECT_EQ(test::ColorAtPixel(destination.get(), 2, 0).red, (127 * 0 + 128 * 255 + 128) >> 8);
    EXPECT_EQ(test::ColorAtPixel(destination.get(), 4, 0).red, (255 * 255 + 128) >> 8);
}

// Rounding each contribution may move the sum by half a unit per contribution.
TEST(AxisWeights, EveryDestinationPixelIsCoveredAndWeightsSumNearFullScale) {
    for (auto [s, d] : {std::pair{10, 3}, {3, 10}, {7, 7}, {4000, 2000}, {1, 9}, {9, 1}}) {
        for (Axis axis : {Axis::Horizontal, Axis::Vertical}) {
            AxisWeights w = MakeAxisWeights(s, d, axis);
            ASSERT_EQ(w.offsets.size(), static_cast<std::size_t>(d) + 1);
            for (int j = 0; j < d; ++j) {
                std::uint32_t sum = 0;
                ASSERT_LT(w.offsets[j], w.offsets[j + 1]) << s << "->" << d;
                for (auto k = w.offsets[j]; k < w.offsets[j + 1]; ++k) {
                    ASSERT_GE(w.sources[k], 0);
                    ASSERT_LT(w.sources[k], s);
                    sum += w.weights[k];
                }
                double slack = 0.5 * (w.offsets[j + 1] - w.offsets[j]) + 1.0;
                EXPECT_NEAR(sum, 255.9, slack) << s << "->" << d << " at " << j;
            }
        }
    }
}

TEST(StretchCopy, RefusesBadArgumentsAndLeavesTheDestination) {
    OwnedDib source = test::RandomTrueColorDib(4, 4, 1);
    OwnedDib destination = blank(24, 4, 4);
    OwnedDib palette = blank(8, 4, 4);
    EXPECT_EQ(StretchCopy(0, {0, 0, 1, 1}, destination.get(), {0, 0, 1, 1}, false),
              err::InvalidPicture);
    EXPECT_EQ(StretchCopy(palette.get(), {0, 0, 4, 4}, destination.get(), {0, 0, 4, 4}, false),
              err::DepthMismatch);
    for (PictureRect bad : {PictureRect{0, 0, 5, 4}, PictureRect{-1, 0, 2, 2},
                            PictureRect{2, 2, 2, 3}, PictureRect{0, 3, 4, 2}})
        EXPECT_EQ(StretchCopy(source.get(), bad, destination.get(), {0, 0, 4, 4}, true),
                  err::BadArea);
    EXPECT_EQ(StretchCopy(source.get(), {0, 0, 4, 4}, destination.get(), {0, 0, 4, 5}, true),
              err::BadArea);
    EXPECT_EQ(test::ColorsShown(destination.get()), std::vector<Rgb>{Rgb{}});
}

TEST(StretchCopy, WithinOneImageReadsTheUnchangedPixels) {
    OwnedDib image = test::RandomTrueColorDib(6, 1, 9);
    std::vector<Rgb> before;
    for (int x = 0; x < 6; ++x) before.push_back(test::ColorAtPixel(image.get(), x, 0));
    ASSERT_EQ(StretchCopy(image.get(), {0, 0, 3, 1}, image.get(), {0, 0, 6, 1}, false), 0);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(test::ColorAtPixel(image.get(), x, 0),
                  before[static_cast<std::size_t>(nearest(x, 3, 6))]);
}

}  // namespace
}  // namespace pm32
