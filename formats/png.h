#pragma once

#include <string>

#include "engine/zdib.h"
#include "formats/load_params.h"

namespace pm32 {

// Fills the empty image record from a PNG file through libpng, ticking the
// file progress pump once per row of every pass; the result is in its error
// number. On success the record owns the new DIB; on failure it holds no
// image, and a load cancelled through the pump leaves none either, with
// error 0. With modern files wanted, alpha and tRNS transparency are laid
// over the backdrop (colour onto 24 bits, grey onto 8-bit grey, a palette's
// entries in its colour table) and 2-bit palettes load as 4-bit images.
void LoadPNG(ZDib& image, const std::string& path, const ZLoadParams& params);
void LoadPNG(ZDib& image, const std::string& path);

// Writes the image record as a PNG file: write option 1 or 3 interlaces
// (Adam7), 2 or 3 writes the stored pixel values as grey levels. The result
// is in its error number; a failed write leaves the file that was there.
void StorePNG(ZDib& image, const std::string& path, int writeOption);

}  // namespace pm32
