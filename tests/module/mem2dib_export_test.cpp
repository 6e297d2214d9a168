#include <gtest/gtest.h>

#include <cstring>

#include "control/module_exports.h"
#include "platform/global_memory.h"
#include "tests/support/gif87a_bytes.h"

// Calls the module's exported function as a program that loaded libpm32 would.
namespace {

using pm32::platform::HGLOBAL;

HGLOBAL blockWith(const std::vector<std::uint8_t>& bytes) {
    HGLOBAL handle = pm32::platform::GlobalAlloc(pm32::platform::GMEM_MOVEABLE, bytes.size());
    pm32::platform::Locked block(handle);
    std::memcpy(block.data(), bytes.data(), bytes.size());
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
    EXPECT_GE(pm32::platform::GlobalSize(dib), 40u + 8u + 4u);
    EXPECT_EQ(pm32::platform::GlobalFree(dib), 0u) << "the caller owns it";
    pm32::platform::GlobalFree(memory);
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
    pm32::platform::GlobalFree(memory);
}

}  // namespace
