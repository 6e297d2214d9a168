#pragma once

#include <string>

#include "engine/zdib.h"
#include "formats/load_params.h"

namespace pm32 {

// Fills the empty image record from a JPEG (JFIF) file through libjpeg,
// ticking the file progress pump once per scanline; the result is in its
// error number. On success the record owns the new DIB; on failure it holds
// no image, and a load cancelled through the pump leaves none either, with
// error 0. With modern files wanted, CMYK and YCCK files load as 24-bit colour.
void LoadJPEG(ZDib& image, const std::string& path, const ZLoadParams& params);
void LoadJPEG(ZDib& image, const std::string& path);

// Writes the image record as a JPEG file at quality 5 to 100 (baseline
// tables): write option 1 or 3 is progressive, 2 or 3 writes the stored pixel
// values as one grey component. The result is in its error number; a failed
// write leaves the file that was there.
void StoreJPEG(ZDib& image, const std::string& path, int quality, int writeOption);

}  // namespace pm32
