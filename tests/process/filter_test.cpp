#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "process/builtin_kernels.h"
#include "process/filter_dib.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

using test::OwnedDib;
using test::Rgb;

OwnedDib filtered(HGLOBAL image, const FilterKernel& kernel) {
    HGLOBAL result = 0;
    EXPECT_EQ(FilterDib(image, kernel, result), 0);
    return OwnedDib(result);
}

std::vector<Rgb> pixelsOf(HGLOBAL image, int width, int height) {
    std::vector<Rgb> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(test::ColorAtPixel(image, x, y));
    return pixels;
}

int channel(Rgb p, int c) { return c == 0 ? p.blue : c == 1 ? p.green : p.red; }

// The filter written the obvious way, in picture coordinates: kernel row i
// reads the picture row y - (i - r), since the DIB stores rows bottom-up.
// Interior pixels only; frame handling is checked separately.
int referenceValue(HGLOBAL image, int x, int y, int c, const std::vector<std::int16_t>& weights,
                   int radius, int divisor, int scale, int offset) {
    const int side = 2 * radius + 1;
    long sum = 0, weightSum = 0;
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j) {
            int w = weights[static_cast<std::size_t>(i * side + j)];
            weightSum += w;
            sum += w * channel(test::ColorAtPixel(image, x + j - radius, y - (i - radius)), c);
        }
    long d = divisor < 0 ? weightSum : divisor;
    if (d != 0) sum /= d;  // C++ division truncates toward zero
    return std::clamp<long>(offset + sum * scale, 0, 255);
}

TEST(FilterDib, BothPathsAgreeWithTheReferenceOnRandomImagesAndKernels) {
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        const bool large = round % 2 == 1;
        const int radius = large ? 2 : 1, side = 2 * radius + 1;
        const int width = side + static_cast<int>(random() % 6);
        const int height = side + static_cast<int>(random() % 6);
        OwnedDib image = test::RandomTrueColorDib(width, height, random());
        std::vector<std::int16_t> weights;
        for (int i = 0; i < side * side; ++i)
            weights.push_back(static_cast<std::int16_t>(static_cast<int>(random() % 41) - 20));
        const bool fast = !large && round % 4 == 0;
        const int divisor =
            fast ? 1 + static_cast<int>(random() % 50) : static_cast<int>(random() % 60) - 20;
        const int scale = fast ? 1 : static_cast<int>(random() % 5) - 2;
        const int offset = fast ? 0 : static_cast<int>(random() % 300) - 150;
        OwnedDib result = filtered(image.get(), {.weights = weights,
                                                 .large = large,
                                                 .divisor = divisor,
                                                 .scale = scale,
                                                 .offset = offset});
        for (int y = radius; y < height - radius; ++y)
            for (int x = radius; x < width - radius; ++x) {
                Rgb p = test::ColorAtPixel(result.get(), x, y);
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(channel(p, c), referenceValue(image.get(), x, y, c, weights, radius,
                                                            divisor, scale, offset))
                        << "round " << round << " at " << x << "," << y;
            }
    }
}

TEST(FilterDib, FastPathKeepsTheFrameAndGeneralPathReplicatesIt) {
    std::mt19937 random(5);
    OwnedDib image = test::RandomTrueColorDib(6, 5, random());
    const std::vector<std::int16_t> weights{1, 2, 1, 2, 4, 2, 1, 2, 1};
    OwnedDib fast = filtered(image.get(), {.weights = weights, .divisor = 16});
    OwnedDib general = filtered(image.get(), {.weights = weights, .divisor = 16, .offset = 1});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool frame = x == 0 || y == 0 || x == 5 || y == 4;
            if (frame) {
                EXPECT_EQ(test::ColorAtPixel(fast.get(), x, y),
                          test::ColorAtPixel(image.get(), x, y));
            }
            const int nx = std::clamp(x, 1, 4), ny = std::clamp(y, 1, 3);
            EXPECT_EQ(test::ColorAtPixel(general.get(), x, y),
                      test::ColorAtPixel(general.get(), nx, ny))
                << x << "," << y;
        }
    // The offset of 1 shows the interior went through the general path.
    Rgb f = test::ColorAtPixel(fast.get(), 2, 2), g = test::ColorAtPixel(general.get(), 2, 2);
    EXPECT_EQ(std::min(255, f.red + 1), g.red);
}

// The general path's frame, one pixel wide for 3 x 3 kernels and two for
// 5 x 5, repeats the nearest filtered pixel on every side.
TEST(FilterDib, GeneralPathFramesRepeatTheNearestFilteredPixelAtBothKernelSizes) {
    std::mt19937 random(9);
    const std::pair<int, int> sizes[] = {{6, 5}, {9, 12}};
    for (int radius : {1, 2})
        for (const auto& size : sizes) {
            const int side = 2 * radius + 1, width = size.first, height = size.second;
            SCOPED_TRACE(testing::Message()
                         << side << " x " << side << " on " << width << " x " << height);
            OwnedDib image = test::RandomTrueColorDib(width, height, random());
            std::vector<std::int16_t> weights;
            for (int i = 0; i < side * side; ++i)
                weights.push_back(static_cast<std::int16_t>(static_cast<int>(random() % 9) - 3));
            OwnedDib result = filtered(
                image.get(),
                {.weights = weights, .large = radius == 2, .divisor = 7, .scale = 1, .offset = 3});
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const int nx = std::clamp(x, radius, width - 1 - radius);
                    const int ny = std::clamp(y, radius, height - 1 - radius);
                    const Rgb nearest = test::ColorAtPixel(result.get(), nx, ny);
                    ASSERT_EQ(test::ColorAtPixel(result.get(), x, y), nearest) << x << "," << y;
                    for (int c = 0; c < 3; ++c)
                        ASSERT_EQ(channel(nearest, c),
                                  referenceValue(image.get(), nx, ny, c, weights, radius, 7, 1, 3));
                }
        }
}

TEST(FilterDib, ImagesWithoutInteriorComeBackUnchangedAsNewBlocks) {
    std::mt19937 random(3);
    for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {1, 7}, {9, 2}}) {
        OwnedDib image = test::RandomTrueColorDib(w, h, random());
        OwnedDib result = filtered(image.get(), BlurKernel().Kernel());
        EXPECT_NE(result.get(), image.get());
        EXPECT_EQ(pixelsOf(result.get(), w, h), pixelsOf(image.get(), w, h)) << w << "x" << h;
    }
    OwnedDib four = test::RandomTrueColorDib(4, 4, random());
    const std::vector<std::int16_t> ones(25, 1);
    OwnedDib large = filtered(four.get(), {.weights = ones, .large = true, .divisor = -1});
    EXPECT_EQ(pixelsOf(large.get(), 4, 4), pixelsOf(four.get(), 4, 4)) << "5 x 5 on 4 x 4";
}

TEST(FilterDib, FlatImagesStayFlatExceptEdgesWhichTurnBlackInsideTheFrame) {
    OwnedDib flat = test::TrueColorDib(5, 4, [](int, int) { return Rgb{90, 180, 30}; });
    for (int level : {1, 5, 10}) {
        for (const BuiltinKernel& k : {SoftenKernel(level), SharpenKernel(level)}) {
            OwnedDib result = filtered(flat.get(), k.Kernel());
            EXPECT_EQ(test::ColorsShown(result.get()), std::vector<Rgb>{(Rgb{90, 180, 30})});
        }
        OwnedDib edges = filtered(flat.get(), EdgeKernel(level).Kernel());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) {
                const bool frame = x == 0 || y == 0 || x == 4 || y == 3;
                EXPECT_EQ(test::ColorAtPixel(edges.get(), x, y),
                          frame ? (Rgb{90, 180, 30}) : Rgb{});
            }
    }
}

TEST(FilterDib, KernelsWithoutDivisionAndTheUpsideDownRow) {
    std::mt19937 random(8);
    OwnedDib image = test::RandomTrueColorDib(5, 5, random());
    // Weights summing to 0 with a negative divisor divide by nothing, like 0.
    const std::vector<std::int16_t> zeroSum{0, 0, 0, 0, 1, -1, 0, 0, 0};
    OwnedDib byNothing = filtered(image.get(), {.weights = zeroSum, .divisor = 0, .offset = 128});
    OwnedDib bySum = filtered(image.get(), {.weights = zeroSum, .divisor = -3, .offset = 128});
    EXPECT_EQ(pixelsOf(byNothing.get(), 5, 5), pixelsOf(bySum.get(), 5, 5));
    // Kernel row 2 reads the memory row above, which on screen is also the
    // row above, since rows are stored bottom-up: every pixel takes the one
    // a row above it.
    const std::vector<std::int16_t> below{0, 0, 0, 0, 0, 0, 0, 1, 0};
    OwnedDib moved = filtered(image.get(), {.weights = below, .divisor = 1});
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x)
            EXPECT_EQ(test::ColorAtPixel(moved.get(), x, y),
                      test::ColorAtPixel(image.get(), x, y - 1));
}

TEST(FilterDib, PaletteImagesKeepDepthAndTableAndOneBitIsRefused) {
    std::vector<Rgb> table{{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 255}};
    for (int depth : {4, 8}) {
        OwnedDib image = test::PaletteDib(depth, 8, 6, table, [](int x, int y) {
            return static_cast<unsigned>((x / 2 + y) % 4);
        });
        OwnedDib result = filtered(image.get(), BlurKernel().Kernel());
        ASSERT_NE(result.get(), 0u);
        EXPECT_EQ(test::DepthOf(result.get()), static_cast<std::uint32_t>(depth));
        std::vector<Rgb> after = test::ColorTable(result.get());
        EXPECT_TRUE(std::equal(table.begin(), table.end(), after.begin())) << depth;
        for (Rgb shown : test::ColorsShown(result.get()))
            EXPECT_NE(std::find(table.begin(), table.end(), shown), table.end());
    }
    OwnedDib tiny = test::PaletteDib(8, 2, 5, table, [](int x, int) { return unsigned(x); });
    OwnedDib same = filtered(tiny.get(), BlurKernel().Kernel());
    EXPECT_EQ(pixelsOf(same.get(), 2, 5), pixelsOf(tiny.get(), 2, 5));
    OwnedDib mono =
        test::PaletteDib(1, 4, 4, {{0, 0, 0}, {255, 255, 255}}, [](int, int) { return 1u; });
    HGLOBAL result = 0;
    EXPECT_EQ(FilterDib(mono.get(), BlurKernel().Kernel(), result), err::BadDepth);
    EXPECT_EQ(result, 0u);
}

}  // namespace
}  // namespace pm32
