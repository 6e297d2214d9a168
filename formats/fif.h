#pragma once

#include <string>

#include "engine/zdib.h"
#include "formats/load_params.h"

namespace pm32 {

// Fills the empty image record from a FIF file through the fractal decoder
// library (formats/deco_library.h); the result is in its error number.
// The load parameters choose the size (scale 0 as stored, 1 a quarter, 2 four
// times, 3 width x height), the crop or the decoder's fastest size, and the
// output: options 0 true colour; 1 and 2 eight bits with a table fitted to
// the picture (1) or the standard table (2); 3 and 4 likewise at four bits;
// any other value is 20190. For options 1 and 3 the palette value caps the
// colours the table uses (0: all). Rows are reported to the file progress
// pump; a load cancelled there leaves no image and error 0. On success the
// record owns the new DIB; on failure it holds none.
void LoadFIF(ZDib& image, const std::string& path, const ZLoadParams& params);

}  // namespace pm32
