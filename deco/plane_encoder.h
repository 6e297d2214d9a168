#pragma once

#include <cstdint>

#include "deco/fif_layout.h"
#include "deco/plane_code.h"

namespace deco {

// Codes one plane of width x height 8-bit samples (rows of stride bytes) as a
// quadtree of transforms: a block is split while its best transform leaves a
// mean squared error above maxError and it is larger than the smallest size.
PlaneCode encodePlane(const std::uint8_t* samples, int width, int height, int stride,
                      double maxError, const ContrastTable& contrast);

}  // namespace deco
