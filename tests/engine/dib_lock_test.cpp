#include "engine/dib_lock.h"

#include <gtest/gtest.h>

namespace pm32 {
namespace {

HGLOBAL newDib(std::uint32_t depth, COLORREF fill = 0) {
    HGLOBAL h = 0;
    EXPECT_EQ(CreateDib(depth, 3, 2, fill, h), 0);
    return h;
}

TEST(ZDibLock, BitsFollowTheColourTable) {
    HGLOBAL h = newDib(8);
    {
        ZDibLock lock(h);
        ASSERT_NE(lock.header(), nullptr);
        EXPECT_EQ(lock.bits() - lock.header(), 40 + 4 * 256);
        EXPECT_EQ(platform::GlobalFlags(h) & platform::GMEM_LOCKCOUNT, 1u);
    }
    EXPECT_EQ(platform::GlobalFlags(h) & platform::GMEM_LOCKCOUNT, 0u);
    FreeDib(h);
    ZDibLock dead(h);
    EXPECT_EQ(dead.header(), nullptr);
}

}  // namespace
}  // namespace pm32
