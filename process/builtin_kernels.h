#pragma once

#include <array>
#include <cstdint>

#include "process/filter_dib.h"

namespace pm32 {

// The fixed 3 x 3 kernels behind Blur, Soften, Sharpen and ExtractEdges. A
// level runs from 1 to 10, 10 being the strongest; the divisor of Soften and
// Sharpen is the weights' sum, so flat areas keep their colour.
struct BuiltinKernel {
    std::array<std::int16_t, 9> weights{};
    std::int32_t divisor = 1;

    FilterKernel Kernel() const { return {.weights = weights, .divisor = divisor}; }
};

BuiltinKernel BlurKernel();
BuiltinKernel SoftenKernel(int level);
BuiltinKernel SharpenKernel(int level);
// Levels outside 1..10 are taken as the nearest of them.
BuiltinKernel EdgeKernel(int level);

}  // namespace pm32
