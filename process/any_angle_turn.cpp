#include <algorithm>
#include <cmath>
#include <cstring>

#include "process/byte_pixels.h"
#include "process/pixel_moves.h"

namespace pm32 {
namespace {

struct TurnedSize {
    std::int32_t width;
    std::int32_t height;
};

// The turned corner offsets from the centre, truncated; the image grows to
// twice the largest of each plus one.
TurnedSize turnedSize(std::int32_t width, std::int32_t height, float cosine, float sine) {
    const std::int32_t cx = width / 2, cy = height / 2;
    std::int32_t u = 0, v = 0;
    for (std::int32_t x : {width - cx, -cx})
        for (std::int32_t y : {height - cy, -cy}) {
            const auto fx = static_cast<float>(x), fy = static_cast<float>(y);
            u = std::max(u, std::abs(static_cast<std::int32_t>(fx * cosine - fy * sine)));
            v = std::max(v, std::abs(static_cast<std::int32_t>(fx * sine + fy * cosine)));
        }
    return {2 * u + 1, 2 * v + 1};
}

void fillBackground(std::uint8_t* pixel, std::size_t pixelBytes, std::uint32_t background) {
    if (pixelBytes == 1) {
        pixel[0] = static_cast<std::uint8_t>(background);
        return;
    }
    pixel[0] = static_cast<std::uint8_t>(background >> 16);
    pixel[1] = static_cast<std::uint8_t>(background >> 8);
    pixel[2] = static_cast<std::uint8_t>(background);
}

}  // namespace

ErrorNumber TurnAnyAngle(ZDib& source, int degrees, std::uint32_t background, HGLOBAL& result) {
    const double theta = degrees * std::atan(1.0) / 45.0;
    const auto cosine = static_cast<float>(std::cos(theta));
    const auto sine = static_cast<float>(std::sin(theta));
    const TurnedSize size = turnedSize(source.width, source.height, cosine, sine);
    ZDib turned;
    if (ErrorNumber n = MakeImageLike(source, size.width, size.height, turned); n != 0) return n;
    auto in = source.BuildRowTable();
    auto out = turned.BuildRowTable();
    if (in.empty() || out.empty()) return err::InvalidPicture;

    const std::size_t pixelBytes = source.depth / 8;
    const auto cx = static_cast<float>(source.width / 2);
    const auto cy = static_cast<float>(source.height / 2);
    const std::int32_t dcx = size.width / 2, dcy = size.height / 2;
    for (std::int32_t r = 0; r < size.height; ++r) {
        const auto fr = static_cast<float>(r - dcy);
        const auto fc = static_cast<float>(-dcx);
        float sx = cx + fc * cosine - fr * sine;
        float sy = cy + fr * cosine + fc * sine;
        std::uint8_t* target = out[static_cast<std::size_t>(r)];
        for (std::int32_t c = 0; c < size.width; ++c, sx += cosine, sy += sine) {
            const auto x = static_cast<std::int32_t>(sx);
            const auto y = static_cast<std::int32_t>(sy);
            std::uint8_t* pixel = target + pixelBytes * static_cast<std::size_t>(c);
            // Truncation toward zero lets positions just above -1 read the first pixel.
            if (sx > -1.0f && sy > -1.0f && x < source.width && y < source.height)
                std::memcpy(
                    pixel,
                    in[static_cast<std::size_t>(y)] + pixelBytes * static_cast<std::size_t>(x),
                    pixelBytes);
            else
                fillBackground(pixel, pixelBytes, background);
        }
    }
    source.DiscardRowTable();
    turned.CommitRowTable();
    result = turned.Release();
    return 0;
}

}  // namespace pm32
