#pragma once

#include "engine/zdib.h"

namespace pm32 {

// Pixel moves on images of whole-byte pixels (8 or 24 bits); each makes a new
// image with the source's colour table.

// 90, 180 or 270 degrees clockwise, exactly.
ErrorNumber TurnQuarters(ZDib& source, int degrees, HGLOBAL& result);

// Any angle, nearest neighbour; background is the value of a new pixel (a
// COLORREF for 24 bits, an index for 8).
ErrorNumber TurnAnyAngle(ZDib& source, int degrees, std::uint32_t background, HGLOBAL& result);

ErrorNumber MirrorPixels(ZDib& source, bool horizontal, bool vertical, HGLOBAL& result);

}  // namespace pm32
