#include "color/histogram.h"

#include <gtest/gtest.h>

#include "engine/dib_layout.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

using test::OwnedDib;
using test::Rgb;

ColorHistogram emptyHistogram() {
    ColorHistogram histogram;
    EXPECT_TRUE(histogram.Allocate());
    return histogram;
}

std::uint32_t usedCells(const ColorHistogram& histogram) {
    std::uint32_t used = 0;
    for (std::uint32_t key = 0; key < kKeyCells; ++key)
        used += histogram[static_cast<std::uint16_t>(key)] != 0 ? 1 : 0;
    return used;
}

TEST(Histogram, TrueColourCountsAtFourBitsPerChannel) {
    // 8 and 15 share a four-bit cell (the lowest key bit is dropped); 16 does not.
    OwnedDib image = test::TrueColorDib(3, 1, [](int x, int) {
        std::uint8_t v = x == 0 ? 8 : x == 1 ? 15 : 16;
        return Rgb{v, v, v};
    });
    ZDib view;
    view.Attach(image.get(), false, false, DepthRule::Any);
    ColorHistogram histogram = emptyHistogram();
    std::uint32_t distinct = histogram.CountTrueColor(view.BuildRowTable(), 3, kFourBitKeyMask);
    EXPECT_EQ(distinct, 2u);
    EXPECT_EQ(histogram[ColorKey(8, 8, 8) & kFourBitKeyMask], 2);
    EXPECT_EQ(histogram[ColorKey(16, 16, 16)], 1);
}

TEST(Histogram, CountersStopAt65535) {
    OwnedDib image = test::TrueColorDib(300, 300, [](int, int) { return Rgb{1, 2, 3}; });
    ZDib view;
    view.Attach(image.get(), false, false, DepthRule::Any);
    ColorHistogram histogram = emptyHistogram();
    EXPECT_EQ(histogram.CountTrueColor(view.BuildRowTable(), 300, 0x7FFF), 1u);
    EXPECT_EQ(histogram[ColorKey(1, 2, 3)], 65535);
}

TEST(Histogram, PaletteImagesSetTheCellsOfUsedIndices) {
    // Indices 0 and 2 share a colour: the later one's count replaces the earlier's.
    std::vector<Rgb> table(256);
    table[0] = {200, 10, 10};
    table[1] = {0, 0, 255};
    table[2] = {200, 10, 10};
    OwnedDib image = test::PaletteDib(8, 4, 2, table, [](int x, int y) {
        return y == 0 ? (x == 0 ? 0u : 2u) : (x < 2 ? 1u : 2u);
    });
    ZDib view;
    view.Attach(image.get(), false, false, DepthRule::Any);
    ColorHistogram histogram = emptyHistogram();
    std::uint32_t used = histogram.CountIndexed(view.BuildRowTable(), 4, ColorTableOf(view));
    EXPECT_EQ(used, 3u) << "indices in use, not cells";
    EXPECT_EQ(histogram[ColorKey(10, 10, 200)], 5) << "index 2's five pixels, not 6";
    EXPECT_EQ(histogram[ColorKey(255, 0, 0)], 2);
    EXPECT_EQ(usedCells(histogram), 2u);
}

TEST(Histogram, AccumulatingAddsTrueColourAtFiveBits) {
    OwnedDib first = test::TrueColorDib(3, 3, [](int x, int) {
        return x == 0 ? Rgb{8, 8, 8} : Rgb{0, 0, 0};
    });
    OwnedDib second = test::TrueColorDib(3, 3, [](int, int) { return Rgb{0, 0, 0}; });
    ColorHistogram histogram = emptyHistogram();
    ASSERT_EQ(AccumulateHistogram(histogram, first.get()), 0);
    ASSERT_EQ(AccumulateHistogram(histogram, second.get()), 0);
    EXPECT_EQ(histogram[ColorKey(8, 8, 8)], 3) << "the cell of 8 is kept apart from 0's";
    EXPECT_EQ(histogram[0], 15);
}

TEST(Histogram, AccumulatingCountsPackedIndicesAsEightBit) {
    OwnedDib image = test::PaletteDib(4, 5, 3, {{255, 0, 0}, {0, 255, 0}},
                                      [](int x, int) { return x == 4 ? 1u : 0u; });
    ColorHistogram histogram = emptyHistogram();
    ASSERT_EQ(AccumulateHistogram(histogram, image.get()), 0);
    EXPECT_EQ(histogram[ColorKey(0, 0, 255)], 12);
    EXPECT_EQ(histogram[ColorKey(0, 255, 0)], 3);
    EXPECT_EQ(usedCells(histogram), 2u);
}

TEST(Histogram, APaletteCountsItsEntryNearestToBlack) {
    std::vector<PALETTEENTRY> entries = {{200, 200, 200, 0}, {30, 0, 10, 0}, {0, 90, 0, 0}};
    platform::HPALETTE palette = platform::CreatePalette(entries);
    ColorHistogram histogram = emptyHistogram();
    ASSERT_EQ(AccumulatePalette(histogram, palette), 0);
    EXPECT_EQ(histogram[ColorKey(10, 0, 30)], 1);
    EXPECT_EQ(usedCells(histogram), 1u);
    platform::DeletePalette(palette);
}

TEST(Histogram, BadImagesAreRefusedWithTheirValidationNumber) {
    ColorHistogram histogram = emptyHistogram();
    EXPECT_EQ(AccumulateHistogram(histogram, 0), err::DibCannotLock);
    OwnedDib image = test::TrueColorDib(3, 3, [](int, int) { return Rgb{}; });
    {
        platform::Locked block(image.get());
        block.data()[dib::kPlanes] = 2;
    }
    EXPECT_EQ(AccumulateHistogram(histogram, image.get()), err::DibPlanes);
    EXPECT_EQ(usedCells(histogram), 0u);
}

}  // namespace
}  // namespace pm32
