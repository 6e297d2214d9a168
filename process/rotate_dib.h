#pragma once

#include "engine/zdib.h"

namespace pm32 {

// The angle brought into 1..359 degrees; 0 when it is equivalent to none.
int NormalizedAngle(int degrees);

// A copy of the image turned clockwise as displayed, into a DIB the caller
// owns. Quarter turns move pixels exactly; other angles take the nearest
// source pixel and grow the image to hold the turned corners, filling new
// pixels with background: a COLORREF for 24-bit images, an index otherwise.
// err::BadRotationAngle for an angle equivalent to 0.
ErrorNumber RotateDib(HGLOBAL image, int degrees, std::uint32_t background, HGLOBAL& result);

// A mirrored copy (rows reversed for horizontal, row order for vertical),
// into a DIB the caller owns; err::NoManipulation when neither is asked.
ErrorNumber MirrorDib(HGLOBAL image, bool horizontal, bool vertical, HGLOBAL& result);

}  // namespace pm32
