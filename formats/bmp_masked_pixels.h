#pragma once

#include <cstdint>

#include "engine/zdib.h"
#include "formats/engine_file.h"

namespace pm32 {

// Where a 32-bit bitmap keeps each channel of its pixels (little-endian
// 32-bit words); an alpha mask of 0 means every pixel is opaque.
struct BmpMasks {
    std::uint32_t red = 0x00FF0000;
    std::uint32_t green = 0x0000FF00;
    std::uint32_t blue = 0x000000FF;
    std::uint32_t alpha = 0;
};

// Reads height bottom-up rows of width 32-bit pixels from the file's
// position into the empty record as a 24-bit image, laying each pixel over
// background (0x00BBGGRR) by its alpha. The whole pixel array must lie within
// the file's remaining bytes, which is checked before anything is allocated.
ErrorNumber DecodeMaskedPixels(EngineFile& file, const BmpMasks& masks, std::int32_t width,
                               std::int32_t height, std::uint32_t background, ZDib& image);

}  // namespace pm32
