#include "tests/support/codec_test.h"

#include "platform/global_memory.h"

namespace pm32::test {

Bytes BlockBytes(HGLOBAL handle) {
    platform::Locked block(handle);
    return block ? Bytes(block.data(), block.data() + block.size()) : Bytes{};
}

Bytes RowBytes(const ZDib& image, std::int32_t topRow, std::size_t bytes) {
    platform::Locked block(image.handle);
    if (!block) return {};
    const std::uint8_t* row = block.data() + image.PixelOffset() +
                              static_cast<std::size_t>(image.height - 1 - topRow) * image.rowBytes;
    return Bytes(row, row + bytes);
}

void CodecTest::TearDown() { EXPECT_EQ(platform::LiveBlockCount(), blocksAtStart_); }

std::string CodecTest::writeInput(const std::string& name, const Bytes& bytes) const {
    std::string file = path(name);
    writeFile(file, bytes);
    return file;
}

ZDib CodecTest::loadFile(const std::string& name, const Bytes& bytes, Reader reader) const {
    ZDib image;
    reader(image, writeInput(name, bytes));
    return image;
}

void CodecTest::expectReadRefused(const std::string& file, ErrorNumber number,
                                  Reader reader) const {
    std::size_t before = platform::LiveBlockCount();
    ZDib image;
    reader(image, file);
    EXPECT_EQ(image.error, number);
    EXPECT_EQ(image.handle, 0u);
    EXPECT_EQ(platform::LiveBlockCount(), before);
}

}  // namespace pm32::test
