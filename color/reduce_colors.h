#pragma once

#include "engine/progress.h"
#include "engine/zdib.h"

namespace pm32 {

// The whole ReduceColors pipeline: checks the request against the image,
// reduces it (optimised, or over the 16 standard colours) and hands back a DIB
// the caller owns at 8 bits, or at 4 bits for up to 16 colours and 1 bit for
// 2. noBleed limits the error carried on. An image narrower or lower than 3
// pixels yields no DIB and no error. progress may be null.
ErrorNumber ReduceColorsDib(HGLOBAL image, int colors, bool optimize, bool dither, bool noBleed,
                            HGLOBAL& result, ProgressPump* progress = nullptr);

}  // namespace pm32
