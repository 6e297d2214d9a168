#pragma once

#include "engine/zdib.h"
#include "process/picture_rect.h"

namespace pm32 {

// Copies the source rectangle, unscaled, into the destination (same depth)
// with its top-left corner at (x, y), changing the destination in place.
// Only the part that lies inside both images is copied; nothing overlapping
// is not an error. Palette images move indices.
ErrorNumber CopyRect(HGLOBAL source, const PictureRect& sourceRect, HGLOBAL destination,
                     std::int32_t x, std::int32_t y);

}  // namespace pm32
