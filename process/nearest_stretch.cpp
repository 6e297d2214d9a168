#include <cstring>
#include <vector>

#include "engine/nothrow_array.h"
#include "engine/pixel_access.h"
#include "process/stretch_passes.h"

namespace pm32 {
namespace {

// For each destination position the source position nearest its left or
// top edge: floor(0.5 + x * s / d), computed exactly, clamped to s - 1.
std::vector<std::int32_t> nearestPositions(std::int32_t s, std::int32_t d) {
    std::vector<std::int32_t> positions(static_cast<std::size_t>(d));
    for (std::int64_t x = 0; x < d; ++x) {
        std::int64_t p = (2 * x * s + d) / (2 * static_cast<std::int64_t>(d));
        positions[static_cast<std::size_t>(x)] = static_cast<std::int32_t>(p < s ? p : s - 1);
    }
    return positions;
}

void copyTrueColorRow(const std::uint8_t* in, std::uint8_t* out,
                      const std::vector<std::int32_t>& columns) {
    for (std::int32_t column : columns) {
        const std::uint8_t* p = in + 3 * static_cast<std::size_t>(column);
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
        out += 3;
    }
}

}  // namespace

ErrorNumber NearestStretch(const RectRows& source, const RectRows& destination,
                           std::uint32_t depth) {
    const std::int32_t sw = source.rect.Width(), dw = destination.rect.Width();
    const std::int32_t sh = source.rect.Height(), dh = destination.rect.Height();
    std::vector<std::int32_t> columns, rows;
    try {
        columns = nearestPositions(sw, dw);
        rows = nearestPositions(sh, dh);
    } catch (const std::bad_alloc&) {
        return err::OutOfMemory;
    }
    const std::int32_t sl = source.rect.left, dl = destination.rect.left;
    for (std::int32_t y = 0; y < dh; ++y) {
        const std::uint8_t* in = source.Row(rows[static_cast<std::size_t>(y)]);
        std::uint8_t* out = destination.Row(y);
        if (depth == 24 && sw == dw) {
            std::memmove(out + 3 * static_cast<std::size_t>(dl),
                         in + 3 * static_cast<std::size_t>(sl), 3 * static_cast<std::size_t>(dw));
        } else if (depth == 24) {
            copyTrueColorRow(in + 3 * static_cast<std::size_t>(sl),
                             out + 3 * static_cast<std::size_t>(dl), columns);
        } else if (depth == 8) {
            for (std::int32_t x = 0; x < dw; ++x)
                out[dl + x] = in[sl + columns[static_cast<std::size_t>(x)]];
        } else {
            for (std::int32_t x = 0; x < dw; ++x)
                SetIndexAt(out, dl + x, depth,
                           IndexAt(in, sl + columns[static_cast<std::size_t>(x)], depth));
        }
    }
    return 0;
}

}  // namespace pm32
