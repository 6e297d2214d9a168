#include "process/filter_paths.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "process/exact_divider.h"

namespace pm32 {
namespace {

std::uint8_t clampToByte(std::int64_t value) {
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(value, 0, 255));
}

// The weighted sums of one row's interior bytes; channels are interleaved,
// so a neighbour column is 3 bytes away for every channel alike.
void weightedSums(const TrueColorRows& source, std::int32_t y, const FilterKernel& kernel,
                  std::vector<std::int32_t>& sums) {
    const std::int32_t radius = kernel.Radius();
    const std::int32_t side = 2 * radius + 1;
    const std::size_t first = 3 * static_cast<std::size_t>(radius);
    const std::size_t last = 3 * static_cast<std::size_t>(source.width - radius);
    std::fill(sums.begin(), sums.end(), 0);
    for (std::int32_t i = 0; i < side; ++i) {
        const std::uint8_t* row = source.rows[static_cast<std::size_t>(y + i - radius)];
        for (std::int32_t j = 0; j < side; ++j) {
            const std::int32_t weight = kernel.weights[static_cast<std::size_t>(i * side + j)];
            if (weight == 0) continue;
            const std::uint8_t* tap = row + 3 * (j - radius);
            for (std::size_t b = first; b < last; ++b) sums[b] += weight * tap[b];
        }
    }
}

std::int32_t weightSum(const FilterKernel& kernel) {
    std::int32_t sum = 0;
    for (std::int16_t w : kernel.weights) sum += w;
    return sum;
}

bool hasInterior(const TrueColorRows& image, std::int32_t radius) {
    return image.width > 2 * radius && static_cast<std::int64_t>(image.rows.size()) > 2 * radius;
}

// Columns 0..radius-1 copy column radius; the last radius columns copy the
// one before them.
void replicateColumns(std::uint8_t* row, std::int32_t width, std::int32_t radius) {
    for (std::int32_t x = 0; x < radius; ++x) {
        std::memcpy(row + 3 * x, row + 3 * radius, 3);
        std::memcpy(row + 3 * (width - 1 - x), row + 3 * (width - 1 - radius), 3);
    }
}

}  // namespace

bool TakesFastPath(const FilterKernel& kernel) {
    return !kernel.large && kernel.divisor >= 1 && kernel.scale == 1 && kernel.offset == 0;
}

void FilterFast(const TrueColorRows& source, const TrueColorRows& result,
                const FilterKernel& kernel) {
    if (!hasInterior(source, 1)) return;
    const ExactDivider divide(static_cast<std::uint32_t>(kernel.divisor));
    std::vector<std::int32_t> sums(3 * static_cast<std::size_t>(source.width));
    const auto height = static_cast<std::int32_t>(source.rows.size());
    for (std::int32_t y = 1; y < height - 1; ++y) {
        weightedSums(source, y, kernel, sums);
        std::uint8_t* out = result.rows[static_cast<std::size_t>(y)];
        for (std::size_t b = 3; b < 3 * static_cast<std::size_t>(source.width - 1); ++b)
            out[b] = clampToByte(divide(sums[b]));
    }
}

void FilterGeneral(const TrueColorRows& source, const TrueColorRows& result,
                   const FilterKernel& kernel) {
    const std::int32_t radius = kernel.Radius();
    if (!hasInterior(source, radius)) return;
    std::int32_t divisor = kernel.divisor >= 0 ? kernel.divisor : weightSum(kernel);
    // A divisor of 0 means no division; the divider is then never used.
    const ExactDivider divide(static_cast<std::uint32_t>(divisor == 0 ? 1 : std::abs(divisor)));
    std::vector<std::int32_t> sums(3 * static_cast<std::size_t>(source.width));
    const auto height = static_cast<std::int32_t>(source.rows.size());
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(source.width);
    for (std::int32_t y = radius; y < height - radius; ++y) {
        weightedSums(source, y, kernel, sums);
        std::uint8_t* out = result.rows[static_cast<std::size_t>(y)];
        for (std::size_t b = 3 * static_cast<std::size_t>(radius);
             b < 3 * static_cast<std::size_t>(source.width - radius); ++b) {
            std::int64_t s = sums[b];
            if (divisor != 0) s = divisor < 0 ? -divide(sums[b]) : divide(sums[b]);
            out[b] = clampToByte(kernel.offset + s * kernel.scale);
        }
        replicateColumns(out, source.width, radius);
    }
    for (std::int32_t y = 0; y < radius; ++y) {
        std::memcpy(result.rows[static_cast<std::size_t>(y)],
                    result.rows[static_cast<std::size_t>(radius)], rowBytes);
        std::memcpy(result.rows[static_cast<std::size_t>(height - 1 - y)],
                    result.rows[static_cast<std::size_t>(height - 1 - radius)], rowBytes);
    }
}

}  // namespace pm32
