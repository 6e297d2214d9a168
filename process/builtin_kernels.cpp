#include "process/builtin_kernels.h"

#include <algorithm>

namespace pm32 {
namespace {

constexpr std::array<std::int16_t, 10> kSoftenCentre{21, 18, 15, 12, 10, 8, 7, 6, 5, 4};
constexpr std::array<std::int16_t, 10> kSharpenCentre{50, 45, 40, 35, 30, 25, 24, 23, 22, 21};

std::size_t levelIndex(int level) { return static_cast<std::size_t>(std::clamp(level, 1, 10) - 1); }

BuiltinKernel ringAndCentre(std::int16_t corner, std::int16_t side, std::int16_t centre) {
    BuiltinKernel k;
    k.weights = {corner, side, corner, side, centre, side, corner, side, corner};
    k.divisor = 4 * corner + 4 * side + centre;
    return k;
}

}  // namespace

BuiltinKernel BlurKernel() {
    BuiltinKernel k;
    k.weights.fill(1);
    k.divisor = 9;
    return k;
}

BuiltinKernel SoftenKernel(int level) {
    return ringAndCentre(1, 2, kSoftenCentre[levelIndex(level)]);
}

BuiltinKernel SharpenKernel(int level) {
    return ringAndCentre(-2, -3, kSharpenCentre[levelIndex(level)]);
}

BuiltinKernel EdgeKernel(int level) {
    const auto m = static_cast<std::int16_t>(levelIndex(level) + 1);
    BuiltinKernel k = ringAndCentre(static_cast<std::int16_t>(-m), static_cast<std::int16_t>(-m),
                                    static_cast<std::int16_t>(8 * m));
    k.divisor = 1;
    return k;
}

}  // namespace pm32
