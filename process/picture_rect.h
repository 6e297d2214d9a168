#pragma once

#include <cstdint>

namespace pm32 {

// A rectangle in picture coordinates: rows counted from the top, right and
// bottom exclusive.
struct PictureRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
};

// Whether the rectangle is non-empty and inside a width x height image.
bool LiesWithin(const PictureRect& rect, std::int32_t width, std::int32_t height);

}  // namespace pm32
