#pragma once

#include "engine/zdib.h"

namespace pm32 {

// A grey copy of the image, into a DIB the caller owns. A 24-bit image becomes
// 8 bits over the grey ramp (index i is (i, i, i)) with fixed-point weights;
// a palette image keeps its pixels and has its colour table turned grey.
ErrorNumber GrayScaleDib(HGLOBAL image, HGLOBAL& result);

}  // namespace pm32
