#include <gtest/gtest.h>
#include <pm32.h>

#include <cstring>

#include "tests/support/gif87a_bytes.h"

// Calls the module's exported function as a program that loaded libpm32 would.
namespace {

using HGLOBAL = std::uint32_t;

HGLOBAL blockWith(const std::vector<std::uint8_t>& bytes) {
    const HGLOBAL handle = pm32_global_alloc(0x0002, bytes.size());
    std::memcpy(pm32_global_lock(handle), bytes.data(), bytes.size());
    pm32_global_unlock(handle);
    return handle;
}

TEST(Mem2DibExport, DecodesAGif87aBlockAndHandsTheDibToTheCaller) {
    std::vector<std::uint8_t> gif = pm32::test::OnePixelGif87a();
    HGLOBAL memory = blockWith(gif);
    std::uint32_t dib = 0;
    std::uint16_t format = 0;
    EXPECT_EQ(pmx_mem2dib(memory, static_cast<std::uint32_t>(gif.size()), 0, &dib, &format), 0);
    EXPECT_EQ(format, 4);
    ASSERT_NE(dib, 0u);
    EXPECT_GE(pm32_global_size(dib), 40u + 8u + 4u);
    EXPECT_EQ(pm32_global_free(dib), 0u) << "the caller owns it";
    pm32_global_free(memory);
}

TEST(Mem2DibExport, RefusesABitmapFileBlockAndNullOutputs) {
    HGLOBAL memory = blockWith({'B', 'M', 1, 2, 3, 4});
    std::uint32_t dib = 99;
    std::uint16_t format = 0;
    EXPECT_EQ(pmx_mem2dib(memory, 6, 0, &dib, &format), 20131);
    EXPECT_EQ(dib, 0u);
    EXPECT_EQ(pmx_mem2dib(memory, 6, 0, nullptr, &format), 20131);
    EXPECT_EQ(pmx_mem2dib(memory, 6, 0, &dib, nullptr), 20131);
    EXPECT_EQ(pmx_mem2dib(memory, 600, 0, &dib, &format), 20105);
    pm32_global_free(memory);
}

}  // namespace
