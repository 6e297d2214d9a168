#pragma once

#include <cstdint>

namespace pm32 {

// Load options the control fills from its load properties before every load.
// The FIF reader reads the size, crop and speed options; every reader reads
// whether the caller wants the files of today (alpha, 2-bit palettes, CMYK,
// the TIFF forms of libtiff) and the colour their transparency shows.
struct ZLoadParams {
    std::int32_t scale = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::int32_t options = 0;
    std::uint32_t palette = 0;
    std::int16_t cropX = 0;
    std::int16_t cropY = 0;
    std::int16_t cropWidth = 0;
    std::int16_t cropHeight = 0;
    std::int32_t fastest = 0;
    bool modern = false;
    std::uint32_t backColor = 0x00FFFFFF;  // 0x00BBGGRR, system colours already resolved
};

}  // namespace pm32
