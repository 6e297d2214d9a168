#include "process/mask_blend.h"

#include <gtest/gtest.h>

#include "engine/errors.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

using test::OwnedDib;
using test::Rgb;

OwnedDib flat(int width, int height, Rgb colour) {
    return test::TrueColorDib(width, height, [=](int, int) { return colour; });
}

TEST(MaskBlend, WhiteTakesTheSourceAndBlackKeepsTheDestinationEachLosingOneStep) {
    OwnedDib source = flat(4, 4, {255, 10, 100});
    OwnedDib destination = flat(5, 5, {255, 200, 0});
    OwnedDib mask = test::TrueColorDib(4, 4, [](int x, int) {
        return x < 2 ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
    });
    HGLOBAL result = 0;
    ASSERT_EQ(MaskBlend(source.get(), {0, 0, 4, 4}, destination.get(), {1, 1, 5, 5}, mask.get(),
                        {0, 0, 4, 4}, result),
              0);
    OwnedDib blended(result);
    EXPECT_EQ(test::ColorAtPixel(blended.get(), 1, 1), (Rgb{254, 9, 99}));
    EXPECT_EQ(test::ColorAtPixel(blended.get(), 4, 4), (Rgb{254, 199, 0}));
    EXPECT_EQ(test::ColorAtPixel(blended.get(), 0, 0), (Rgb{255, 200, 0})) << "outside the area";
    EXPECT_EQ(test::ColorAtPixel(destination.get(), 1, 1), (Rgb{255, 200, 0})) << "input untouched";
}

TEST(MaskBlend, GreyMaskMixesChannelByChannelAndPaletteMasksAreWidened) {
    OwnedDib source = flat(2, 2, {200, 0, 100});
    OwnedDib destination = flat(2, 2, {0, 200, 100});
    OwnedDib mask = test::PaletteDib(8, 2, 2, {{128, 128, 128}}, [](int, int) { return 0u; });
    HGLOBAL result = 0;
    ASSERT_EQ(MaskBlend(source.get(), {0, 0, 2, 2}, destination.get(), {0, 0, 2, 2}, mask.get(),
                        {0, 0, 2, 2}, result),
              0);
    OwnedDib blended(result);
    EXPECT_EQ(test::ColorAtPixel(blended.get(), 1, 0),
              (Rgb{200 * 128 >> 8, 200 * 127 >> 8, (100 * 128 >> 8) + (100 * 127 >> 8)}));
}

TEST(MaskBlend, RefusesAreasSizesAndDepthsInThatOrder) {
    OwnedDib image = flat(4, 4, {1, 2, 3});
    OwnedDib palette = test::PaletteDib(8, 4, 4, {{0, 0, 0}}, [](int, int) { return 0u; });
    HGLOBAL result = 0;
    EXPECT_EQ(MaskBlend(image.get(), {0, 0, 5, 4}, image.get(), {0, 0, 4, 4}, image.get(),
                        {0, 0, 4, 4}, result),
              err::BadArea);
    EXPECT_EQ(MaskBlend(image.get(), {0, 0, 2, 2}, image.get(), {0, 0, 3, 2}, image.get(),
                        {0, 0, 2, 2}, result),
              err::OutOfRange);
    EXPECT_EQ(MaskBlend(palette.get(), {0, 0, 2, 2}, image.get(), {0, 0, 2, 2}, image.get(),
                        {0, 0, 2, 2}, result),
              err::DepthMismatch);
    EXPECT_EQ(MaskBlend(palette.get(), {0, 0, 2, 2}, palette.get(), {0, 0, 2, 2}, image.get(),
                        {0, 0, 2, 2}, result),
              err::DepthMismatch);
    EXPECT_EQ(result, 0u);
}

}  // namespace
}  // namespace pm32
