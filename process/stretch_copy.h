#pragma once

#include "engine/zdib.h"
#include "process/picture_rect.h"

namespace pm32 {

// Copies a rectangle of the source into a rectangle of the destination (same
// depth), scaling it to fit; the destination is changed in place. With smooth
// set a 24-bit source is area-averaged when shrinking and blended when
// enlarging; otherwise, and for palette images, pixels are dropped or
// repeated. Unless the profile's Palette setting is negative, the source's
// colour table is first copied into the destination.
ErrorNumber StretchCopy(HGLOBAL source, const PictureRect& sourceRect, HGLOBAL destination,
                        const PictureRect& destinationRect, bool smooth);

}  // namespace pm32
