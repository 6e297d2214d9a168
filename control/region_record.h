#pragma once

#include <cstdint>

namespace pm32::control {

// Region types, as the type library names them RTRect to RTPolygon.
inline constexpr int kRegionPolygon = 3;

// One entry of the control's region list, addressed by a 1-based number.
struct RegionRecord {
    bool enabled = false;
    bool visible = false;
    std::int32_t fillColor = 0;
    std::int16_t fillStyle = 0;
    std::int32_t frameColor = 0;
    std::int16_t frameWidth = 0;
    std::int16_t rasterOp = 0;
};

}  // namespace pm32::control
