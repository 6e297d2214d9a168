#pragma once

#include <cstdint>

namespace pm32 {

// Load options the control fills from its load properties before every load;
// only the FIF reader reads them.
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
};

}  // namespace pm32
