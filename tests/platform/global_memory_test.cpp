#include "platform/global_memory.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi_palette.h"

namespace pm32::platform {
namespace {

TEST(GlobalMemory, ZeroInitBlocksStartAsZeros) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4096);
    ASSERT_NE(h, 0u);
    Locked lock(h);
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock.size(), 4096u);
    for (std::size_t i = 0; i < lock.size(); ++i) ASSERT_EQ(lock.data()[i], 0) << i;
    EXPECT_EQ(GlobalFree(h), 0u);
}

TEST(GlobalMemory, LockCountIsTheLowByteOfTheFlags) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, 16);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(GlobalFlags(h), GMEM_DDESHARE);
    void* first = GlobalLock(h);
    void* second = GlobalLock(h);
    EXPECT_EQ(first, second);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 2u);
    EXPECT_TRUE(GlobalUnlock(h));
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 0u);
    EXPECT_FALSE(GlobalUnlock(h)) << "unlocking an unlocked block changes nothing";
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 0u);
    EXPECT_EQ(GlobalFree(h), 0u);
}

TEST(GlobalMemory, StaleForeignAndZeroHandlesAreDetected) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_NE(h, 0u);
    ASSERT_EQ(GlobalFree(h), 0u);
    HPALETTE foreign = CreatePalette(std::vector<PALETTEENTRY>(2, PALETTEENTRY{1, 2, 3, 0}));
    ASSERT_NE(foreign, 0u);
    for (HGLOBAL bad : {h, HGLOBAL{0}, HGLOBAL{foreign}, HGLOBAL{0xDEADBEEF}}) {
        EXPECT_EQ(GlobalLock(bad), nullptr) << bad;
        EXPECT_FALSE(GlobalUnlock(bad));
        EXPECT_EQ(GlobalFlags(bad), GMEM_INVALID_HANDLE);
        EXPECT_EQ(GlobalSize(bad), 0u);
        EXPECT_EQ(GlobalFree(bad), bad);
    }
    EXPECT_TRUE(DeletePalette(foreign));
}

TEST(GlobalMemory, HandlesAreNotReusedAfterFree) {
    HGLOBAL first = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_EQ(GlobalFree(first), 0u);
    HGLOBAL second = GlobalAlloc(GMEM_MOVEABLE, 8);
    EXPECT_NE(first, second);
    EXPECT_EQ(GlobalLock(first), nullptr);
    GlobalFree(second);
}

TEST(GlobalMemory, FreeingALockedBlockReleasesIt) {
    std::size_t before = LiveBlockCount();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 8);
    GlobalLock(h);
    GlobalLock(h);
    EXPECT_EQ(GlobalFree(h), 0u);
    EXPECT_EQ(LiveBlockCount(), before);
}

TEST(GlobalMemory, SizesBeyondTheLimitOrZeroAreRefused) {
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, 0), 0u);
    std::size_t limit = BlockSizeLimit();
    SetBlockSizeLimit(1024);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, 1025), 0u);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 1024);
    EXPECT_NE(h, 0u);
    GlobalFree(h);
    SetBlockSizeLimit(limit);
}

TEST(GlobalMemory, LockedGuardUnlocksOnce) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 8);
    {
        Locked outer(h);
        {
            Locked inner(h);
            EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 2u);
        }
        EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 1u);
    }
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 0u);
    Locked none(0);
    EXPECT_FALSE(none);
    GlobalFree(h);
}

}  // namespace
}  // namespace pm32::platform
