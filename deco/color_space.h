#pragma once

#include <algorithm>
#include <cstdint>

namespace deco {

// Luminance and chroma as in JFIF, in fixed point with 16 fractional bits.
struct Ycc {
    int y, cb, cr;
};

inline Ycc toYcc(int r, int g, int b) {
    int y = (19595 * r + 38470 * g + 7471 * b + 32768) >> 16;
    int cb = ((-11059 * r - 21709 * g + 32768 * b + 32768) >> 16) + 128;
    int cr = ((32768 * r - 27439 * g - 5329 * b + 32768) >> 16) + 128;
    return {std::clamp(y, 0, 255), std::clamp(cb, 0, 255), std::clamp(cr, 0, 255)};
}

// Inputs with `shift` fractional bits; outputs 0 to 255.
inline void toRgb(int y, int cb, int cr, int shift, std::uint8_t* rgb) {
    long long one = 1LL << shift;
    long long c = static_cast<long long>(cb) - 128 * one,
              d = static_cast<long long>(cr) - 128 * one;
    long long base = static_cast<long long>(y) << 16;
    long long round = one << 15;
    auto channel = [&](long long v) {
        return static_cast<std::uint8_t>(
            std::clamp<long long>((v + round) >> (16 + shift), 0, 255));
    };
    rgb[0] = channel(base + 91881 * d);
    rgb[1] = channel(base - 22554 * c - 46802 * d);
    rgb[2] = channel(base + 116130 * c);
}

}  // namespace deco
