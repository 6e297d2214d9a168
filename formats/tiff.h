#pragma once

#include <string>

#include "engine/zdib.h"
#include "formats/load_params.h"

namespace pm32 {

// Fills the empty image record from image imageNumber of a TIFF file (0 and
// 1 both name the first; -1 reads the 106 x 80 preview of a file that
// carries one, else the first image), or sets its error number; on failure
// nothing is left allocated. With modern files wanted, a file whose
// compression or layout this reader does not know is read through libtiff.
void LoadTIFF(ZDib& image, const std::string& path, int imageNumber, const ZLoadParams& params);
void LoadTIFF(ZDib& image, const std::string& path, int imageNumber);

// Writes the image record as a little-endian TIFF file, uncompressed
// (compression 0) or LZW (1); with append set the image is added to the
// existing file instead. The result is in the record's error number.
void StoreTIFF(ZDib& image, const std::string& path, int compression, bool append);

}  // namespace pm32
