#include "control/memory_image.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/gif87a_bytes.h"
#include "tests/support/test_dibs.h"

namespace pm32::test {
namespace {

// A movable block holding the bytes, freed with the guard.
class MemoryBlock {
  public:
    explicit MemoryBlock(const std::vector<std::uint8_t>& bytes)
        : handle_(platform::GlobalAlloc(platform::GMEM_MOVEABLE, bytes.size())) {
        platform::Locked block(handle_);
        std::memcpy(block.data(), bytes.data(), bytes.size());
    }
    ~MemoryBlock() { platform::GlobalFree(handle_); }
    MemoryBlock(const MemoryBlock&) = delete;
    MemoryBlock& operator=(const MemoryBlock&) = delete;

    HGLOBAL get() const { return handle_; }

  private:
    HGLOBAL handle_;
};

TEST(DibFromMemory, AGif87aBlockBecomesADibOfFormatFour) {
    std::vector<std::uint8_t> gif = OnePixelGif87a();
    MemoryBlock block(gif);
    HGLOBAL out = 0;
    std::uint16_t format = 0;
    ASSERT_EQ(
        control::DibFromMemory(block.get(), static_cast<std::uint32_t>(gif.size()), out, format),
        0);
    OwnedDib dib(out);
    EXPECT_EQ(format, 4);
    EXPECT_EQ(VerifyDib(dib.get()), 0);
    EXPECT_EQ(HeaderField(dib.get(), 4), 1u);
    EXPECT_EQ(ColorAtPixel(dib.get(), 0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(platform::GlobalFlags(block.get()) & platform::GMEM_LOCKCOUNT, 0u) << "unlocked";
}

TEST(DibFromMemory, OtherContentsAndShortBlocksAreRefusedWithoutLeaks) {
    std::size_t blocks = platform::LiveBlockCount();
    HGLOBAL out = 0;
    std::uint16_t format = 0;
    MemoryBlock bitmap({'B', 'M', 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(control::DibFromMemory(bitmap.get(), 8, out, format), 20131);
    EXPECT_EQ(control::DibFromMemory(bitmap.get(), 9, out, format), 20105)
        << "length past the block";
    EXPECT_EQ(control::DibFromMemory(bitmap.get(), 0, out, format), 20131) << "nothing to look at";
    EXPECT_EQ(control::DibFromMemory(0, 1, out, format), 20105);
    std::vector<std::uint8_t> gif = OnePixelGif87a();
    MemoryBlock cut(gif);
    EXPECT_NE(control::DibFromMemory(cut.get(), 12, out, format), 0) << "only the header counts";
    EXPECT_EQ(out, 0u);
    EXPECT_EQ(format, 4);
    MemoryBlock object({0x15, 0x1C, 3, 0, 0, 0});
    EXPECT_NE(control::DibFromMemory(object.get(), 6, out, format), 0);
    EXPECT_EQ(format, 8);
    EXPECT_EQ(out, 0u);
    EXPECT_EQ(platform::LiveBlockCount(), blocks + 3);
}

}  // namespace
}  // namespace pm32::test
