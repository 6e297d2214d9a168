#include "tests/support/pattern_image.h"

#include <vector>

#include "platform/global_memory.h"

namespace pm32::test {

ZDib PatternImage(std::int32_t width, std::int32_t height, std::uint32_t depth,
                  const PatternByte& byteAt) {
    ZDib image;
    image.Create(width, height, depth, 0);
    std::vector<PALETTEENTRY> table;
    for (std::uint32_t i = 0; i < image.colorsUsed; ++i)
        table.push_back({static_cast<std::uint8_t>(i * 37 + 11), static_cast<std::uint8_t>(250 - i),
                         static_cast<std::uint8_t>(i * 5), 0});
    image.SetPalette(table, true);
    platform::Locked block(image.handle);
    if (!block) return image;
    std::uint8_t* pixels = block.data() + image.PixelOffset();
    for (std::size_t i = 0; i < image.PixelBytes(); ++i) pixels[i] = byteAt(i);
    return image;
}

}  // namespace pm32::test
