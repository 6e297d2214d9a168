#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "control/dib_holder.h"
#include "control/zpal.h"

namespace pm32 {
namespace {

ErrorNumber raisedBy(const std::function<void()>& action) {
    try {
        action();
    } catch (const RaisedError& raised) {
        return raised.number;
    }
    return 0;
}

HGLOBAL newDib(std::uint32_t depth, COLORREF fill = 0) {
    HGLOBAL h = 0;
    EXPECT_EQ(CreateDib(depth, 3, 2, fill, h), 0);
    return h;
}

TEST(ZDibHolder, AttachCopiesTheGeometry) {
    ZDibHolder holder;
    holder.Attach(newDib(4), true);
    EXPECT_EQ(holder.depth, 4u);
    EXPECT_EQ(holder.width, 3);
    EXPECT_EQ(holder.height, 2);
    EXPECT_EQ(platform::GlobalFlags(holder.handle) & platform::GMEM_LOCKCOUNT, 0u);
}

TEST(ZDibHolder, RaisesForNullAndDeadHandles) {
    ZDibHolder holder;
    EXPECT_EQ(raisedBy([&] { holder.Attach(0, false); }), err::Unrecoverable);
    HGLOBAL dead = newDib(8);
    FreeDib(dead);
    EXPECT_EQ(raisedBy([&] { holder.Attach(dead, false); }), err::LockFailed);
}

TEST(ZDibHolder, OwnedBlocksAreFreedOnReattachAndDestruction) {
    std::size_t before = platform::LiveBlockCount();
    HGLOBAL borrowed = newDib(8);
    {
        ZDibHolder holder;
        holder.Attach(newDib(8), true);
        holder.Attach(newDib(24), true);
        EXPECT_EQ(platform::LiveBlockCount(), before + 2);
        holder.Attach(borrowed, false);
        EXPECT_EQ(platform::LiveBlockCount(), before + 1);
    }
    EXPECT_EQ(platform::LiveBlockCount(), before + 1) << "a borrowed block stays the caller's";
    FreeDib(borrowed);
}

TEST(ZPal, FromImageTakesTheFullTableOfTheDepth) {
    ZDibHolder holder;
    holder.Attach(newDib(8, 0x00102030), true);
    ZPal palette;
    palette.FromImage(holder);
    EXPECT_EQ(palette.entryCount(), 256u);
    PALETTEENTRY last{};
    platform::GetPaletteEntries(palette.handle(), 255, std::span(&last, 1));
    EXPECT_EQ(last.peRed, 0x30);
    EXPECT_EQ(last.peGreen, 0x20);
    EXPECT_EQ(last.peBlue, 0x10);
    EXPECT_EQ(last.peFlags, 0);

    ZDibHolder one;
    one.Attach(newDib(1), true);
    palette.FromImage(one);
    EXPECT_EQ(palette.entryCount(), 2u);
}

TEST(ZPal, TrueColourImagesHaveNoPalette) {
    std::size_t before = platform::LivePaletteCount();
    ZDibHolder holder;
    holder.Attach(newDib(24), true);
    ZPal palette;
    palette.FromImage(holder);
    EXPECT_EQ(palette.entryCount(), 0u);
    EXPECT_EQ(palette.handle(), 0u);
    EXPECT_EQ(platform::LivePaletteCount(), before);
    ZDibHolder empty;
    EXPECT_EQ(raisedBy([&] { palette.FromImage(empty); }), err::Unrecoverable);
}

TEST(ZPal, FromPaletteRefusesFewerThanTwoEntriesAndStillDeletesWhenAsked) {
    std::size_t before = platform::LivePaletteCount();
    std::vector<PALETTEENTRY> one(1, PALETTEENTRY{1, 2, 3, 0});
    HPALETTE single = platform::CreatePalette(one);
    ZPal palette;
    EXPECT_EQ(raisedBy([&] { palette.FromPalette(single, true); }), err::PaletteTooSmall);
    EXPECT_EQ(platform::GetPaletteEntryCount(single), 0u) << "deleted although refused";
    EXPECT_EQ(raisedBy([&] { palette.FromPalette(0, false); }), err::PaletteTooSmall);

    std::vector<PALETTEENTRY> two = {{1, 2, 3, 4}, {5, 6, 7, 0}};
    HPALETTE source = platform::CreatePalette(two);
    palette.FromPalette(source, false);
    EXPECT_EQ(palette.entryCount(), 2u);
    EXPECT_NE(palette.handle(), source);
    EXPECT_EQ(platform::GetPaletteEntryCount(source), 2u) << "kept when not asked to delete";
    platform::DeletePalette(source);
    EXPECT_EQ(platform::LivePaletteCount(), before + 1);
}

}  // namespace
}  // namespace pm32
