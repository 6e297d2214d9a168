#include "engine/zdib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/dib_layout.h"

namespace pm32 {
namespace {

using platform::GlobalAlloc;
using platform::Locked;

// A block holding a hand-made header, so validation meets exactly what a caller could pass.
struct RawDib {
    std::uint32_t size = 40;
    std::int32_t width = 4;
    std::int32_t height = 2;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 256;
    std::size_t extraBytes = 0;

    HGLOBAL make() const {
        std::uint32_t table =
            bitCount == 24 ? clrUsed : (clrUsed ? clrUsed : fullTableSize(bitCount));
        std::size_t rows =
            static_cast<std::size_t>(rowBytesFor(static_cast<std::uint32_t>(width), bitCount)) *
            static_cast<std::uint32_t>(std::max(height, 0));
        std::size_t bytes = std::max<std::size_t>(40 + 4 * table + rows + extraBytes, 16);
        HGLOBAL h = GlobalAlloc(platform::GMEM_MOVEABLE | platform::GMEM_ZEROINIT, bytes);
        Locked lock(h);
        std::uint8_t* p = lock.data();
        if (bytes >= 40) {
            writeLe32(p + dib::kSize, size);
            writeLe32(p + dib::kWidth, static_cast<std::uint32_t>(width));
            writeLe32(p + dib::kHeight, static_cast<std::uint32_t>(height));
            writeLe16(p + dib::kPlanes, planes);
            writeLe16(p + dib::kBitCount, bitCount);
            writeLe32(p + dib::kCompression, compression);
            writeLe32(p + dib::kClrUsed, clrUsed);
        }
        return h;
    }
};

class OwnedHandle {
  public:
    explicit OwnedHandle(HGLOBAL h) : h_(h) {}
    ~OwnedHandle() { platform::GlobalFree(h_); }
    HGLOBAL get() const { return h_; }

  private:
    HGLOBAL h_;
};

ErrorNumber verify(const RawDib& raw) {
    OwnedHandle h(raw.make());
    return VerifyDib(h.get());
}

TEST(Validation, AcceptsEveryDepthWithFullOrZeroTables) {
    for (std::uint16_t depth : {1, 4, 8}) {
        EXPECT_EQ(verify({.bitCount = depth, .clrUsed = fullTableSize(depth)}), 0) << depth;
        EXPECT_EQ(verify({.bitCount = depth, .clrUsed = 0}), 0) << depth;
    }
    EXPECT_EQ(verify({.bitCount = 24, .clrUsed = 0}), 0);
    EXPECT_EQ(verify({.bitCount = 24, .clrUsed = 7}), 0) << "24-bit tables are not checked";
}

TEST(Validation, TheFirstFailingRuleGivesTheNumber) {
    EXPECT_EQ(VerifyDib(0), err::DibCannotLock);
    EXPECT_EQ(verify({.size = 12}), err::DibHeaderSize);
    // Every later field is bad as well: the header size is still the one reported.
    EXPECT_EQ(verify({.size = 12, .planes = 2, .bitCount = 16, .compression = 1}),
              err::DibHeaderSize);
    EXPECT_EQ(verify({.planes = 4, .bitCount = 16, .compression = 1}), err::DibPlanes);
    EXPECT_EQ(verify({.bitCount = 16, .compression = 1}), err::DibCompressed);
    EXPECT_EQ(verify({.bitCount = 16, .clrUsed = 3}), err::DibDepth);
    EXPECT_EQ(verify({.bitCount = 32, .clrUsed = 0}), err::DibDepth);
    EXPECT_EQ(verify({.bitCount = 4, .clrUsed = 8}), err::DibColorTable);
    EXPECT_EQ(verify({.bitCount = 8, .clrUsed = 16}), err::DibColorTable);
}

TEST(Validation, DepthRuleEightOr24) {
    OwnedHandle four(RawDib{.bitCount = 4, .clrUsed = 16}.make());
    ZDib image;
    image.Attach(four.get(), false, false, DepthRule::EightOr24);
    EXPECT_EQ(image.error, err::DibDepth8Or24);
    EXPECT_EQ(image.handle, 0u);
    OwnedHandle eight(RawDib{}.make());
    image.Attach(eight.get(), false, false, DepthRule::EightOr24);
    EXPECT_EQ(image.error, 0);
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.rowBytes, 4u);
}

TEST(Validation, BlocksTooSmallForTheirHeaderAreRefused) {
    HGLOBAL tiny = GlobalAlloc(platform::GMEM_MOVEABLE | platform::GMEM_ZEROINIT, 12);
    {
        Locked lock(tiny);
        writeLe32(lock.data(), 40);
    }
    EXPECT_EQ(VerifyDib(tiny), err::DibHeaderSize);
    platform::GlobalFree(tiny);

    RawDib liar{.width = 4, .height = 2};
    HGLOBAL h = liar.make();
    {
        Locked lock(h);
        writeLe32(lock.data() + dib::kHeight, 100000);  // rows the block does not hold
    }
    EXPECT_EQ(VerifyDib(h), err::InvalidPicture);
    platform::GlobalFree(h);
    EXPECT_EQ(verify({.height = -2}), err::InvalidPicture);
}

TEST(Validation, AFailedAttachNeverFreesTheCallersBlock) {
    HGLOBAL h = RawDib{.size = 12}.make();
    {
        ZDib image;
        image.Attach(h, true, false, DepthRule::Any);
        EXPECT_EQ(image.error, err::DibHeaderSize);
    }
    EXPECT_NE(platform::GlobalFlags(h), platform::GMEM_INVALID_HANDLE);
    EXPECT_EQ(platform::GlobalFlags(h) & platform::GMEM_LOCKCOUNT, 0u) << "unlocked on every path";
    platform::GlobalFree(h);
}

TEST(Create, RefusesBadDepthBeforeBadArea) {
    ZDib image;
    image.Create(0, 0, 16, 0);
    EXPECT_EQ(image.error, err::BadDepth);
    image.Create(0, 5, 8, 0);
    EXPECT_EQ(image.error, err::BadArea);
    image.Create(5, -1, 8, 0);
    EXPECT_EQ(image.error, err::BadArea);
    EXPECT_EQ(image.handle, 0u);
}

TEST(Create, LayoutMatchesTheHeader) {
    struct Case {
        std::int32_t width;
        std::uint32_t depth;
        std::uint32_t rowBytes;
        std::uint32_t colors;
    };
    for (Case c : {Case{1, 1, 4, 2}, Case{33, 1, 8, 2}, Case{9, 4, 8, 16}, Case{5, 8, 8, 256},
                   Case{3, 24, 12, 0}, Case{4, 24, 12, 0}}) {
        ZDib image;
        image.Create(c.width, 3, c.depth, 0);
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(image.rowBytes, c.rowBytes) << c.width << "x" << c.depth;
        EXPECT_EQ(image.colorsUsed, c.colors);
        EXPECT_EQ(platform::GlobalSize(image.handle), 40 + 4 * c.colors + 3 * c.rowBytes);
        Locked lock(image.handle);
        EXPECT_EQ(readLe32(lock.data() + dib::kClrImportant), c.colors);
        EXPECT_EQ(readLe32(lock.data() + dib::kSizeImage), 0u);
        EXPECT_EQ(VerifyDib(image.handle), 0);
    }
}

TEST(Create, FillRulesPerDepth) {
    ZDib one;
    one.Create(10, 2, 1, 0x000000FF);
    PALETTEENTRY table[256];
    ASSERT_EQ(one.GetPalette(table), 2u);
    EXPECT_EQ(table[0].peRed, 0);
    EXPECT_EQ(table[1].peRed, 255);
    EXPECT_EQ(table[1].peGreen, 255);
    EXPECT_EQ(table[1].peBlue, 255);
    EXPECT_EQ(one.BuildRowTable()[1][0], 0xFF);
    one.DiscardRowTable();

    ZDib eight;
    eight.Create(3, 2, 8, 0x000000FF);
    ASSERT_EQ(eight.GetPalette(table), 256u);
    for (int i = 0; i < 255; ++i) ASSERT_EQ(table[i].peRed | table[i].peGreen | table[i].peBlue, 0);
    EXPECT_EQ(table[255].peRed, 255);
    EXPECT_EQ(table[255].peGreen, 0);
    EXPECT_EQ(table[255].peFlags, 0);
    auto rows = eight.BuildRowTable();
    for (auto* row : rows)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(row[x], 255);
    eight.DiscardRowTable();

    ZDib four;
    four.Create(3, 1, 4, 0x00123456);
    four.GetPalette(table);
    EXPECT_EQ(table[15].peRed, 0x56);
    EXPECT_EQ(table[15].peGreen, 0x34);
    EXPECT_EQ(table[15].peBlue, 0x12);

    ZDib black;
    black.Create(10, 2, 1, 0);
    black.GetPalette(table);
    EXPECT_EQ(table[1].peRed, 0);
    EXPECT_EQ(black.BuildRowTable()[0][0], 0);
    black.DiscardRowTable();
}

TEST(Create, TrueColourFillPutsBlueGreenRedInEveryPixel) {
    ZDib image;
    image.Create(3, 2, 24, 0x00112233);
    auto rows = image.BuildRowTable();
    for (auto* row : rows) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(row[3 * x], 0x11);
            EXPECT_EQ(row[3 * x + 1], 0x22);
            EXPECT_EQ(row[3 * x + 2], 0x33);
        }
        EXPECT_EQ(row[9], 0) << "padding stays zero";
    }
}

TEST(Create, SidesBeyond32767AreRefusedBeforeAllocating) {
    for (auto [width, height] : {std::pair{0x7FFFFFFF, 0x7FFFFFFF}, {32768, 1}, {1, 32768}}) {
        ZDib image;
        image.Create(width, height, 24, 0);
        EXPECT_EQ(image.error, err::BadArea) << width << " x " << height;
        EXPECT_EQ(image.handle, 0u);
    }
    ZDib largest;
    largest.Create(32767, 1, 1, 0);
    EXPECT_EQ(largest.error, 0);
}

TEST(Create, SizesBeyondTheBlockLimitAreOutOfMemory) {
    std::size_t limit = platform::BlockSizeLimit();
    platform::SetBlockSizeLimit(1000);
    ZDib largest;
    largest.Create(32767, 32767, 24, 0);
    EXPECT_EQ(largest.error, err::OutOfMemory);
    ZDib limited;
    limited.Create(100, 100, 8, 0);
    EXPECT_EQ(limited.error, err::OutOfMemory);
    platform::SetBlockSizeLimit(limit);
}

TEST(Allocate, PaletteOnlyBlocksHaveNoRows) {
    ZDib image;
    image.depth = 4;
    image.width = 50;
    image.height = 50;
    image.Allocate(true);
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_EQ(image.rowBytes, 0u);
    EXPECT_EQ(platform::GlobalSize(image.handle), 40u + 64);
    EXPECT_TRUE(image.owns);
    {
        // The record and its header agree: a table and no rows.
        Locked block(image.handle);
        EXPECT_EQ(readLe32(block.data() + dib::kWidth), 0u);
        EXPECT_EQ(readLe32(block.data() + dib::kHeight), 0u);
        EXPECT_EQ(readLe32(block.data() + dib::kSizeImage), 0u);
        EXPECT_EQ(readLe16(block.data() + dib::kBitCount), 4u);
        EXPECT_EQ(readLe32(block.data() + dib::kClrUsed), 16u);
    }
    image.Allocate(false);
    EXPECT_EQ(image.error, err::InvalidPicture) << "a handle is already present";

    ZDib trueColour;
    trueColour.depth = 24;
    trueColour.Allocate(true);
    EXPECT_EQ(trueColour.error, err::InvalidPicture);
}

TEST(Palette, SetPaletteClearsOrKeepsTheReservedByte) {
    ZDib image;
    image.Create(2, 2, 1, 0);
    PALETTEENTRY entries[2] = {{1, 2, 3, 9}, {4, 5, 6, 7}};
    image.SetPalette(entries, false);
    PALETTEENTRY out[2];
    image.GetPalette(out);
    EXPECT_EQ(out[1].peRed, 4);
    EXPECT_EQ(out[1].peBlue, 6);
    EXPECT_EQ(out[1].peFlags, 7);
    Locked lock(image.handle);
    EXPECT_EQ(lock.data()[40], 3) << "blue first in the table";
    EXPECT_EQ(lock.data()[42], 1);
    image.SetPalette(entries, true);
    image.GetPalette(out);
    EXPECT_EQ(out[0].peFlags, 0);
}

TEST(RowTable, RowsRunBottomUpAndHoldOneLock) {
    ZDib image;
    image.Create(4, 3, 8, 0);
    auto rows = image.BuildRowTable();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(platform::GlobalFlags(image.handle) & platform::GMEM_LOCKCOUNT, 1u);
    EXPECT_EQ(rows.data(), image.BuildRowTable().data()) << "later calls return the same table";
    EXPECT_EQ(rows[1] - rows[0], 4);
    rows[0][0] = 42;
    image.CommitRowTable();
    EXPECT_EQ(platform::GlobalFlags(image.handle) & platform::GMEM_LOCKCOUNT, 0u);
    Locked lock(image.handle);
    EXPECT_EQ(lock.data()[image.PixelOffset()], 42) << "entry 0 is the first row in memory";
}

TEST(RowTable, NoHandleGivesNoTable) {
    ZDib image;
    EXPECT_TRUE(image.BuildRowTable().empty());
}

TEST(Lifetime, OwnedBlocksAreFreedAndReleasedOnesKept) {
    std::size_t before = platform::LiveBlockCount();
    {
        ZDib image;
        image.Create(8, 8, 8, 0);
    }
    EXPECT_EQ(platform::LiveBlockCount(), before);

    HGLOBAL kept = 0;
    {
        ZDib image;
        image.Create(8, 8, 8, 0);
        image.BuildRowTable();
        kept = image.Release();
    }
    EXPECT_EQ(platform::GlobalFlags(kept), 0u | platform::GMEM_DDESHARE);
    EXPECT_EQ(FreeDib(kept), 0);
    EXPECT_EQ(platform::LiveBlockCount(), before);
}

TEST(Lifetime, ResetFreesOwnedBlockButKeepsDepth) {
    ZDib image;
    image.Create(8, 8, 4, 0);
    HGLOBAL h = image.handle;
    image.Reset();
    EXPECT_EQ(image.handle, 0u);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.depth, 4u);
    EXPECT_EQ(platform::GlobalFlags(h), platform::GMEM_INVALID_HANDLE);
}

TEST(EntryPoints, FreeDibUndoesLocksAndRefusesBadHandles) {
    HGLOBAL h = 0;
    ASSERT_EQ(CreateDib(8, 4, 4, 0, h), 0);
    platform::GlobalLock(h);
    platform::GlobalLock(h);
    EXPECT_EQ(FreeDib(h), 0);
    EXPECT_EQ(FreeDib(h), err::OperationFailure);
    EXPECT_EQ(FreeDib(0), err::InvalidPicture);
}

TEST(EntryPoints, CreateDibHandsOutAValidBlock) {
    HGLOBAL h = 0;
    EXPECT_EQ(CreateDib(16, 4, 4, 0, h), err::BadDepth);
    EXPECT_EQ(h, 0u);
    ASSERT_EQ(CreateDib(24, 4, 4, 0xFFFFFF, h), 0);
    EXPECT_EQ(VerifyDib(h), 0);
    FreeDib(h);
}

TEST(Duplicate, CopiesHeaderTableAndPixels) {
    ZDib image;
    image.Create(5, 3, 8, 0x0000FF00);
    image.BuildRowTable()[2][4] = 7;
    image.CommitRowTable();
    HGLOBAL copy = 0;
    ASSERT_EQ(DuplicateDib(image.handle, copy), 0);
    ASSERT_EQ(platform::GlobalSize(copy), platform::GlobalSize(image.handle));
    Locked a(image.handle), b(copy);
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size()), 0);
    FreeDib(copy);
}

TEST(Duplicate, DropsTheColourTableOfATrueColourImage) {
    RawDib raw{.width = 2, .height = 2, .bitCount = 24, .clrUsed = 3};
    HGLOBAL source = raw.make();
    {
        Locked lock(source);
        lock.data()[40 + 12] = 0xAB;  // first pixel byte, after the 3-entry table
    }
    HGLOBAL copy = 0;
    ASSERT_EQ(DuplicateDib(source, copy), 0);
    EXPECT_EQ(platform::GlobalSize(copy), 40u + 2 * 8);
    Locked lock(copy);
    EXPECT_EQ(readLe32(lock.data() + dib::kClrUsed), 0u);
    EXPECT_EQ(readLe32(lock.data() + dib::kClrImportant), 0u);
    EXPECT_EQ(lock.data()[40], 0xAB);
    EXPECT_EQ(VerifyDib(copy), 0);
    FreeDib(copy);
    platform::GlobalFree(source);
}

TEST(Duplicate, RefusesBrokenSources) {
    HGLOBAL copy = 0;
    EXPECT_EQ(DuplicateDib(0, copy), err::InvalidPicture);
    OwnedHandle core(RawDib{.size = 12}.make());
    EXPECT_EQ(DuplicateDib(core.get(), copy), err::InvalidPicture);
    OwnedHandle rle(RawDib{.compression = 1}.make());
    EXPECT_EQ(DuplicateDib(rle.get(), copy), err::InvalidPicture);
    HGLOBAL liar = RawDib{}.make();
    {
        Locked lock(liar);
        writeLe32(lock.data() + dib::kHeight, 0x10000);
    }
    EXPECT_EQ(DuplicateDib(liar, copy), err::InvalidPicture);
    EXPECT_EQ(copy, 0u);
    platform::GlobalFree(liar);
}

}  // namespace
}  // namespace pm32
