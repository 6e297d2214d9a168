#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace deco::test {

// A picture with what photos have: smooth shading, hard edges, a textured
// patch and a grey area, as red, green, blue bytes.
inline std::vector<std::uint8_t> shadedPicture(int width, int height) {
    std::vector<std::uint8_t> rgb(3 * static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double u = double(x) / width, v = double(y) / height;
            double r = 40 + 180 * u, g = 60 + 150 * v, b = 120 + 60 * std::sin(6 * u + 3 * v);
            double dx = u - 0.6, dy = v - 0.4;
            if (dx * dx + dy * dy < 0.05) r = 230, g = 200 - 100 * v, b = 40;
            if (u < 0.3 && v > 0.6) r = g = b = 90 + 40 * std::sin(x * 0.7) * std::cos(y * 0.5);
            if (x > width * 3 / 4 && y > height * 3 / 4) r = g = b = 128 + 60 * u;
            std::uint8_t* p = &rgb[3 * (static_cast<std::size_t>(y) * width + x)];
            p[0] = static_cast<std::uint8_t>(std::lround(r));
            p[1] = static_cast<std::uint8_t>(std::lround(g));
            p[2] = static_cast<std::uint8_t>(std::lround(b));
        }
    return rgb;
}

// Peak signal-to-noise ratio in decibels over all bytes.
inline double psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    double mse = sum / double(a.size());
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace deco::test
