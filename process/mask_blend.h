#pragma once

#include "engine/zdib.h"
#include "process/picture_rect.h"

namespace pm32 {

// A copy of the 24-bit destination whose rectangle mixes the source's by the
// mask's bytes: white takes the source, black keeps the destination. The
// three rectangles must lie in their images and be of one size; a mask of
// another depth is converted to 24 bits first.
ErrorNumber MaskBlend(HGLOBAL source, const PictureRect& sourceRect, HGLOBAL destination,
                      const PictureRect& destinationRect, HGLOBAL mask, const PictureRect& maskRect,
                      HGLOBAL& result);

}  // namespace pm32
