#pragma once

#include <cstdint>
#include <span>

#include "process/filter_dib.h"

namespace pm32 {

// 24-bit rows of one image in memory order, with its width in pixels.
struct TrueColorRows {
    std::span<std::uint8_t* const> rows;
    std::int32_t width = 0;
};

// Whether the kernel may take the fast path: 3 x 3, a divisor of at least 1,
// scale 1, offset 0.
bool TakesFastPath(const FilterKernel& kernel);

// Filters the interior of source into result (same size); the frame of
// result is left as it is.
void FilterFast(const TrueColorRows& source, const TrueColorRows& result,
                const FilterKernel& kernel);

// Filters the interior of source into result with divisor, scale and offset,
// then replicates the nearest filtered pixels over the frame of width radius.
// An image without interior is left as it is.
void FilterGeneral(const TrueColorRows& source, const TrueColorRows& result,
                   const FilterKernel& kernel);

}  // namespace pm32
