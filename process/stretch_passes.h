#pragma once

#include <cstdint>
#include <span>

#include "engine/errors.h"
#include "process/picture_rect.h"

namespace pm32 {

// Rows of an image in picture order (entry 0 is the top row) with the
// rectangle to read or write.
struct RectRows {
    std::span<std::uint8_t* const> memoryRows;  // entry 0 is the bottom row
    PictureRect rect;

    std::uint8_t* Row(std::int32_t y) const {
        return memoryRows[memoryRows.size() - 1 - static_cast<std::size_t>(rect.top + y)];
    }
};

// Drops or repeats pixels: destination column x takes source column
// round(x * source width / destination width), rows likewise, clamped.
ErrorNumber NearestStretch(const RectRows& source, const RectRows& destination,
                           std::uint32_t depth);

// Area averaging or blending of 24-bit pixels, first along rows, then along
// columns. err::OperationFailure when the intermediate image cannot be had.
ErrorNumber SmoothStretch(const RectRows& source, const RectRows& destination);

}  // namespace pm32
