#include <gtest/gtest.h>

#include <random>

#include "engine/errors.h"
#include "process/rotate_dib.h"
#include "process/scan_lines.h"
#include "process/tone_operations.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

using test::OwnedDib;
using test::Rgb;

std::vector<Rgb> pixelsOf(HGLOBAL image) {
    std::vector<Rgb> pixels;
    const int width = static_cast<int>(test::HeaderField(image, 4));
    const int height = static_cast<int>(test::HeaderField(image, 8));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(test::ColorAtPixel(image, x, y));
    return pixels;
}

std::pair<int, int> sizeOf(HGLOBAL image) {
    return {static_cast<int>(test::HeaderField(image, 4)),
            static_cast<int>(test::HeaderField(image, 8))};
}

template <typename Operation>
OwnedDib made(Operation operation) {
    HGLOBAL result = 0;
    EXPECT_EQ(operation(result), 0);
    return OwnedDib(result);
}

TEST(ToneOperations, IdentitiesExtremesAndNegateTwice) {
    OwnedDib image = test::RandomTrueColorDib(7, 3, 1);
    auto same = made([&](HGLOBAL& r) { return BrightContDib(image.get(), 0.5, 0.5, r); });
    EXPECT_EQ(pixelsOf(same.get()), pixelsOf(image.get()));
    auto gamma = made([&](HGLOBAL& r) { return GammaDib(image.get(), 5.0, r); });
    EXPECT_EQ(pixelsOf(gamma.get()), pixelsOf(image.get()));
    auto white = made([&](HGLOBAL& r) { return BrightContDib(image.get(), 1.0, 0.0, r); });
    EXPECT_EQ(test::ColorsShown(white.get()), std::vector<Rgb>{(Rgb{255, 255, 255})});
    auto black = made([&](HGLOBAL& r) { return BrightContDib(image.get(), 0.0, 0.0, r); });
    EXPECT_EQ(test::ColorsShown(black.get()), std::vector<Rgb>{Rgb{}});
    // Full contrast: a step at 127.5.
    OwnedDib ramp = test::TrueColorDib(256, 1, [](int x, int) {
        auto v = static_cast<std::uint8_t>(x);
        return Rgb{v, v, v};
    });
    auto step = made([&](HGLOBAL& r) { return BrightContDib(ramp.get(), 0.5, 1.0, r); });
    for (int x : {0, 127, 128, 255})
        EXPECT_EQ(test::ColorAtPixel(step.get(), x, 0).red, x <= 127 ? 0 : 255) << x;
    auto brighter = made([&](HGLOBAL& r) { return GammaDib(ramp.get(), 2.5, r); });
    EXPECT_GT(test::ColorAtPixel(brighter.get(), 100, 0).green, 100);
    EXPECT_EQ(test::ColorAtPixel(brighter.get(), 255, 0).green, 255);
    auto negative = made([&](HGLOBAL& r) { return NegateDib(image.get(), r); });
    EXPECT_EQ(test::ColorAtPixel(negative.get(), 2, 1).red,
              255 - test::ColorAtPixel(image.get(), 2, 1).red);
    auto twice = made([&](HGLOBAL& r) { return NegateDib(negative.get(), r); });
    EXPECT_EQ(pixelsOf(twice.get()), pixelsOf(image.get()));
}

TEST(ToneOperations, PaletteImagesChangeOnlyTheirTable) {
    OwnedDib image = test::PaletteDib(8, 3, 2, {{10, 20, 30}, {200, 100, 0}},
                                      [](int x, int) { return unsigned(x % 2); });
    auto negative = made([&](HGLOBAL& r) { return NegateDib(image.get(), r); });
    EXPECT_EQ(test::ColorTable(negative.get())[0], (Rgb{245, 235, 225}));
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(test::IndexAtPixel(negative.get(), x, 1), test::IndexAtPixel(image.get(), x, 1));
    OwnedDib mono = test::PaletteDib(1, 9, 1, {{0, 0, 0}, {255, 255, 255}},
                                     [](int x, int) { return unsigned(x % 2); });
    auto flat = made([&](HGLOBAL& r) { return BrightContDib(mono.get(), 0.2, 0.0, r); });
    EXPECT_EQ(test::ColorTable(flat.get())[1], (Rgb{51, 51, 51}));
    EXPECT_EQ(test::IndexAtPixel(flat.get(), 3, 0), 1u);
}

TEST(RotateDib, AnglesAreNormalisedAndZeroEquivalentsRefused) {
    EXPECT_EQ(NormalizedAngle(-270), 90);
    EXPECT_EQ(NormalizedAngle(450), 90);
    EXPECT_EQ(NormalizedAngle(-90), 270);
    EXPECT_EQ(NormalizedAngle(361), 1);
    for (int zero : {0, 360, 720, -360, -32760}) EXPECT_EQ(NormalizedAngle(zero), 0) << zero;
    OwnedDib image = test::RandomTrueColorDib(3, 2, 2);
    HGLOBAL result = 0;
    EXPECT_EQ(RotateDib(image.get(), 720, 0, result), err::BadRotationAngle);
    EXPECT_EQ(result, 0u);
}

// Sizes below, across and well beyond the 64-pixel tiles of the turn, in both directions.
TEST(RotateDib, QuarterTurnsMovePixelsExactlyAtEveryDepth) {
    const std::pair<int, int> sizes[] = {{5, 3}, {3, 100}, {100, 3}, {130, 70}};
    for (const auto& size : sizes)
        for (int depth : {1, 4, 8, 24}) {
            const int width = size.first, height = size.second;
            SCOPED_TRACE(testing::Message() << width << " x " << height << " at " << depth);
            const unsigned colours = depth == 24 ? 0 : 1u << depth;
            OwnedDib image =
                depth == 24 ? test::RandomTrueColorDib(width, height, 4)
                            : test::PaletteDib(
                                  depth, width, height, std::vector<Rgb>(colours, Rgb{1, 2, 3}),
                                  [=](int x, int y) { return unsigned(x * 7 + y * 3) % colours; });
            for (int angle : {90, 180, 270, -270}) {
                auto turned = made([&](HGLOBAL& r) { return RotateDib(image.get(), angle, 0, r); });
                const int a = NormalizedAngle(angle);
                const std::pair<int, int> expected =
                    a == 180 ? std::pair{width, height} : std::pair{height, width};
                EXPECT_EQ(sizeOf(turned.get()), expected);
                EXPECT_EQ(test::DepthOf(turned.get()), static_cast<std::uint32_t>(depth));
                // Clockwise on screen: picture pixel (x, y) goes to (h-1-y, x) at 90.
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        int tx = a == 90 ? height - 1 - y : a == 180 ? width - 1 - x : y;
                        int ty = a == 90 ? x : a == 180 ? height - 1 - y : width - 1 - x;
                        if (depth == 24)
                            ASSERT_EQ(test::ColorAtPixel(turned.get(), tx, ty),
                                      test::ColorAtPixel(image.get(), x, y));
                        else
                            ASSERT_EQ(test::IndexAtPixel(turned.get(), tx, ty),
                                      test::IndexAtPixel(image.get(), x, y))
                                << depth << " " << angle;
                    }
            }
        }
}

TEST(RotateDib, OddAnglesGrowTheImageAndFillCornersWithTheBackground) {
    OwnedDib image = test::TrueColorDib(10, 10, [](int, int) { return Rgb{0, 255, 0}; });
    const COLORREF blue = 0xFF0000;
    auto turned = made([&](HGLOBAL& r) { return RotateDib(image.get(), 45, blue, r); });
    auto [w, h] = sizeOf(turned.get());
    EXPECT_EQ(w, h);
    EXPECT_EQ(w % 2, 1);
    EXPECT_GE(w, 14);
    for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
        EXPECT_EQ(test::ColorAtPixel(turned.get(), x, y), (Rgb{0, 0, 255}));
    EXPECT_EQ(test::ColorAtPixel(turned.get(), w / 2, h / 2), (Rgb{0, 255, 0}));
    // Palette images keep depth and table, the background being an index.
    OwnedDib indexed =
        test::PaletteDib(4, 6, 4, {{0, 0, 0}, {9, 9, 9}, {7, 7, 7}}, [](int, int) { return 1u; });
    auto turnedIndexed = made([&](HGLOBAL& r) { return RotateDib(indexed.get(), 30, 2, r); });
    EXPECT_EQ(test::DepthOf(turnedIndexed.get()), 4u);
    EXPECT_EQ(test::ColorTable(turnedIndexed.get())[1], (Rgb{9, 9, 9}));
    EXPECT_EQ(test::IndexAtPixel(turnedIndexed.get(), 0, 0), 2u);
}

TEST(MirrorDib, DirectionsAndBothEqualTheHalfTurn) {
    OwnedDib image = test::RandomTrueColorDib(4, 3, 6);
    auto across = made([&](HGLOBAL& r) { return MirrorDib(image.get(), true, false, r); });
    auto down = made([&](HGLOBAL& r) { return MirrorDib(image.get(), false, true, r); });
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(test::ColorAtPixel(across.get(), x, y),
                      test::ColorAtPixel(image.get(), 3 - x, y));
            EXPECT_EQ(test::ColorAtPixel(down.get(), x, y),
                      test::ColorAtPixel(image.get(), x, 2 - y));
        }
    auto both = made([&](HGLOBAL& r) { return MirrorDib(image.get(), true, true, r); });
    auto half = made([&](HGLOBAL& r) { return RotateDib(image.get(), 180, 0, r); });
    EXPECT_EQ(pixelsOf(both.get()), pixelsOf(half.get()));
    HGLOBAL result = 0;
    EXPECT_EQ(MirrorDib(image.get(), false, false, result), err::NoManipulation);
}

TEST(ScanLines, RoundTripFromTheTopAndRangeChecks) {
    OwnedDib image = test::RandomTrueColorDib(3, 4, 12);
    std::vector<std::int32_t> line(3);
    ASSERT_EQ(ReadScanLine(image.get(), 0, line), 0);
    Rgb top = test::ColorAtPixel(image.get(), 1, 0);
    EXPECT_EQ(line[1], top.red | top.green << 8 | top.blue << 16);
    const std::vector<std::int32_t> written{0x7F010203, 0x00FFFFFF, 0x00123456};
    ASSERT_EQ(WriteScanLine(image.get(), 2, written), 0);
    ASSERT_EQ(ReadScanLine(image.get(), 2, line), 0);
    EXPECT_EQ(line, (std::vector<std::int32_t>{0x010203, 0xFFFFFF, 0x123456}));
    EXPECT_EQ(test::ColorAtPixel(image.get(), 2, 2), (Rgb{0x56, 0x34, 0x12}));
    EXPECT_EQ(ReadScanLine(image.get(), 4, line), err::OutOfRange);
    EXPECT_EQ(ReadScanLine(image.get(), -1, line), err::OutOfRange);
    std::vector<std::int32_t> shortLine(2);
    EXPECT_EQ(WriteScanLine(image.get(), 0, shortLine), err::OutOfRange);

    OwnedDib indexed = test::PaletteDib(4, 5, 2, std::vector<Rgb>(16), [](int, int) { return 0u; });
    const std::vector<std::int32_t> indices{1, 15, 0x1F3, 7, 0};
    ASSERT_EQ(WriteScanLine(indexed.get(), 1, indices), 0);
    std::vector<std::int32_t> back(5);
    ASSERT_EQ(ReadScanLine(indexed.get(), 1, back), 0);
    EXPECT_EQ(back, (std::vector<std::int32_t>{1, 15, 3, 7, 0}));
    EXPECT_EQ(test::IndexAtPixel(indexed.get(), 1, 0), 0u);
}

}  // namespace
}  // namespace pm32
