#include "platform/gdi_palette.h"

#include <gtest/gtest.h>

#include <vector>

namespace pm32::platform {
namespace {

std::vector<PALETTEENTRY> greyRamp(unsigned count) {
    std::vector<PALETTEENTRY> entries;
    for (unsigned i = 0; i < count; ++i) {
        auto v = static_cast<std::uint8_t>(i * 255 / (count - 1));
        entries.push_back({v, v, v, 0});
    }
    return entries;
}

TEST(GdiPalette, KeepsItsEntries) {
    auto ramp = greyRamp(16);
    HPALETTE p = CreatePalette(ramp);
    ASSERT_NE(p, 0u);
    EXPECT_EQ(GetPaletteEntryCount(p), 16u);
    std::vector<PALETTEENTRY> out(20);
    EXPECT_EQ(GetPaletteEntries(p, 4, out), 12u);
    EXPECT_EQ(out[0].peRed, ramp[4].peRed);
    EXPECT_EQ(out[11].peBlue, ramp[15].peBlue);
    EXPECT_EQ(GetPaletteEntries(p, 16, out), 0u);
    EXPECT_TRUE(DeletePalette(p));
    EXPECT_FALSE(DeletePalette(p));
    EXPECT_EQ(GetPaletteEntryCount(p), 0u);
}

TEST(GdiPalette, RefusesEmptyAndOversizedPalettes) {
    EXPECT_EQ(CreatePalette({}), 0u);
    EXPECT_EQ(CreatePalette(greyRamp(kMaxPaletteEntries + 1)), 0u);
}

TEST(GdiPalette, NearestIndexTakesTheFirstOfEqualDistances) {
    std::vector<PALETTEENTRY> entries = {
        {0, 0, 0, 0}, {255, 0, 0, 0}, {0, 0, 255, 0}, {255, 0, 0, 0}};
    HPALETTE p = CreatePalette(entries);
    EXPECT_EQ(GetNearestPaletteIndex(p, 0x000000F0), 1u);  // reddish
    EXPECT_EQ(GetNearestPaletteIndex(p, 0x00F00000), 2u);  // bluish
    EXPECT_EQ(GetNearestPaletteIndex(p, 0x00000010), 0u);
    EXPECT_EQ(GetNearestPaletteIndex(0, 0), CLR_INVALID);
    DeletePalette(p);
}

TEST(GdiPalette, SetEntriesStaysInsideThePalette) {
    HPALETTE p = CreatePalette(greyRamp(2));
    std::vector<PALETTEENTRY> three(3, PALETTEENTRY{9, 8, 7, 1});
    EXPECT_EQ(SetPaletteEntries(p, 1, three), 1u);
    PALETTEENTRY out[2];
    GetPaletteEntries(p, 0, out);
    EXPECT_EQ(out[0].peRed, 0);
    EXPECT_EQ(out[1].peRed, 9);
    EXPECT_EQ(out[1].peFlags, 1);
    DeletePalette(p);
}

}  // namespace
}  // namespace pm32::platform
