#include <algorithm>

#include "engine/nothrow_array.h"
#include "process/axis_weights.h"
#include "process/stretch_passes.h"

namespace pm32 {
namespace {

std::uint8_t normalised(std::uint32_t sum, std::uint32_t bias) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>((sum + bias) >> 8, 255));
}

void scaleRow(const std::uint8_t* in, std::uint8_t* out, const AxisWeights& w,
              std::int32_t length) {
    for (std::int32_t j = 0; j < length; ++j) {
        std::uint32_t blue = 0, green = 0, red = 0;
        for (std::uint32_t k = w.offsets[static_cast<std::size_t>(j)];
             k < w.offsets[static_cast<std::size_t>(j) + 1]; ++k) {
            const std::uint8_t* p = in + 3 * static_cast<std::size_t>(w.sources[k]);
            const std::uint32_t weight = w.weights[k];
            blue += weight * p[0];
            green += weight * p[1];
            red += weight * p[2];
        }
        out[0] = normalised(blue, w.bias);
        out[1] = normalised(green, w.bias);
        out[2] = normalised(red, w.bias);
        out += 3;
    }
}

}  // namespace

ErrorNumber SmoothStretch(const RectRows& source, const RectRows& destination) {
    const std::int32_t sw = source.rect.Width(), dw = destination.rect.Width();
    const std::int32_t sh = source.rect.Height(), dh = destination.rect.Height();
    const auto rowBytes = 3 * static_cast<std::size_t>(dw);
    AxisWeights across, down;
    try {
        across = MakeAxisWeights(sw, dw, Axis::Horizontal);
        down = MakeAxisWeights(sh, dh, Axis::Vertical);
    } catch (const std::bad_alloc&) {
        return err::OperationFailure;
    }
    auto widened = AllocateArray<std::uint8_t>(rowBytes * static_cast<std::size_t>(sh));
    auto sums = AllocateArray<std::uint32_t>(rowBytes);
    if (!widened || !sums) return err::OperationFailure;

    for (std::int32_t y = 0; y < sh; ++y)
        scaleRow(source.Row(y) + 3 * static_cast<std::size_t>(source.rect.left),
                 widened.get() + rowBytes * static_cast<std::size_t>(y), across, dw);

    // Whole rows at a time, so the inner loop runs over contiguous bytes.
    for (std::int32_t y = 0; y < dh; ++y) {
        std::fill_n(sums.get(), rowBytes, 0u);
        for (std::uint32_t k = down.offsets[static_cast<std::size_t>(y)];
             k < down.offsets[static_cast<std::size_t>(y) + 1]; ++k) {
            const std::uint8_t* in =
                widened.get() + rowBytes * static_cast<std::size_t>(down.sources[k]);
            const std::uint32_t weight = down.weights[k];
            for (std::size_t i = 0; i < rowBytes; ++i) sums[i] += weight * in[i];
        }
        std::uint8_t* out =
            destination.Row(y) + 3 * static_cast<std::size_t>(destination.rect.left);
        for (std::size_t i = 0; i < rowBytes; ++i) out[i] = normalised(sums[i], down.bias);
    }
    return 0;
}

}  // namespace pm32
