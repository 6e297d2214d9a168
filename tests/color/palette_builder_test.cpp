#include "color/palette_builder.h"

#include <gtest/gtest.h>

#include <vector>

#include "color/standard_colors.h"
#include "engine/diagnostics.h"

namespace pm32 {
namespace {

using platform::PC_NOCOLLAPSE;
using platform::PC_RESERVED;

std::vector<PALETTEENTRY> entriesOf(HPALETTE palette) {
    std::vector<PALETTEENTRY> entries(platform::GetPaletteEntryCount(palette));
    platform::GetPaletteEntries(palette, 0, entries);
    return entries;
}

bool same(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue &&
           a.peFlags == b.peFlags;
}

std::vector<PALETTEENTRY> greys(int count, int first = 1) {
    std::vector<PALETTEENTRY> entries;
    for (int i = 0; i < count; ++i) {
        auto v = static_cast<std::uint8_t>(first + i);
        entries.push_back({v, v, static_cast<std::uint8_t>(v + 1), 0});
    }
    return entries;
}

TEST(PaletteBuilder, PlainCopiesUpTo256Entries) {
    ZPalBuilder builder;
    std::vector<PALETTEENTRY> colors = {{1, 2, 3, PC_RESERVED}, {4, 5, 6, 0}};
    ASSERT_EQ(builder.Plain(colors), ZPalBuilder::kDone);
    std::vector<PALETTEENTRY> entries = entriesOf(builder.palette());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(same(entries[0], colors[0]));
    ZPalBuilder tooMany;
    EXPECT_EQ(tooMany.Plain(greys(257)), ZPalBuilder::kTooMany);
    EXPECT_EQ(tooMany.palette(), 0u);
}

TEST(PaletteBuilder, AddingSystemColoursNeedsRoomAndTwoEntries) {
    ZPalBuilder crowded;
    EXPECT_EQ(crowded.AddSystemColors(greys(237, 1), {0, 0, 0, 0}), ZPalBuilder::kTooMany);
    ZPalBuilder fits;
    EXPECT_EQ(fits.AddSystemColors(greys(236, 1), {0, 0, 0, 0}), ZPalBuilder::kDone);
    ZPalBuilder single;
    EXPECT_EQ(single.AddSystemColors(greys(1), {0, 0, 0, 0}), ZPalBuilder::kTooFew);
}

TEST(PaletteBuilder, IdentityFlagsTheFreePositionsAndNudgesUpperStaticColours) {
    std::vector<PALETTEENTRY> palette = greys(256, 0);
    palette[20] = {255, 255, 255, 0};  // static 19
    palette[21] = {255, 251, 240, 0};  // static 10
    palette[22] = {128, 0, 0, 0};      // static 1: lower ten, left alone
    palette[3] = {255, 255, 255, 0};   // outside 10..245, left alone
    std::vector<std::int16_t> reserved = {30, 245};
    ZPalBuilder builder;
    ASSERT_EQ(builder.Identity(palette, reserved), ZPalBuilder::kDone);
    std::vector<PALETTEENTRY> entries = entriesOf(builder.palette());
    EXPECT_TRUE(same(entries[20], {255, 255, 254, PC_NOCOLLAPSE}));
    EXPECT_TRUE(same(entries[21], {255, 251, 241, PC_NOCOLLAPSE}));
    EXPECT_TRUE(same(entries[22], {128, 0, 0, PC_NOCOLLAPSE}));
    EXPECT_TRUE(same(entries[3], palette[3]));
    EXPECT_EQ(entries[30].peFlags, PC_RESERVED);
    EXPECT_EQ(entries[245].peFlags, PC_RESERVED);
    EXPECT_EQ(entries[10].peFlags, PC_NOCOLLAPSE);
    EXPECT_EQ(entries[246].peFlags, 0);
}

TEST(PaletteBuilder, IdentityRefusesReservedPositionsOutside10To245) {
    for (std::int16_t position : {5, 9, 246, -1}) {
        ZPalBuilder builder;
        std::vector<std::int16_t> reserved = {position};
        EXPECT_EQ(builder.Identity(greys(256), reserved), ZPalBuilder::kReservedOutOfBounds);
        EXPECT_EQ(StatusToError(builder.status()), 20167);
    }
    ZPalBuilder small;
    EXPECT_EQ(small.Identity(greys(1), {}), ZPalBuilder::kTooFew);
}

TEST(PaletteBuilder, ThePaletteGoesWithTheBuilder) {
    std::size_t before = platform::LivePaletteCount();
    {
        ZPalBuilder builder;
        builder.Plain(greys(4));
        EXPECT_EQ(platform::LivePaletteCount(), before + 1);
    }
    EXPECT_EQ(platform::LivePaletteCount(), before);
}

}  // namespace
}  // namespace pm32
