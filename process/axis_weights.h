#pragma once

#include <cstdint>
#include <vector>

namespace pm32 {

// How the pixels of one axis of a smooth stretch are made: destination pixel
// j is (bias + sum of weight x source value over its contributions) >> 8, its
// contributions being entries offsets[j] .. offsets[j + 1] - 1.
struct AxisWeights {
    std::vector<std::uint32_t> offsets;
    std::vector<std::int32_t> sources;
    std::vector<std::uint32_t> weights;
    std::uint32_t bias = 0;
};

enum class Axis { Horizontal, Vertical };

// The weights for scaling sourceLength pixels to destinationLength: area
// averaging when shrinking (or keeping the length), blending of neighbours
// when enlarging. Both lengths are positive.
AxisWeights MakeAxisWeights(std::int32_t sourceLength, std::int32_t destinationLength, Axis axis);

}  // namespace pm32
