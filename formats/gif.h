#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "engine/zdib.h"
#include "formats/load_params.h"

namespace pm32 {

// Fills the empty image record from image imageNumber of a GIF file (0 and 1
// both mean the first), or sets its error number. A number beyond the last
// image gives a palette-only record carrying the global colour table. Ticks
// the file progress pump once per completed row; when it cancels, the record
// is left empty with no error. On failure nothing is left allocated. With
// modern files wanted, a file of 2-bit colour resolution loads as a 4-bit image.
void LoadGIF(ZDib& image, const std::string& path, int imageNumber, const ZLoadParams& params);
void LoadGIF(ZDib& image, const std::string& path, int imageNumber);

// Writes the 1-, 4- or 8-bit image record as a single-image GIF87a file; the
// result is in its error number.
void StoreGIF(ZDib& image, const std::string& path);

// Decodes the first image of a GIF87a file held in memory into a new image
// record, which owns its block; the record has no handle (and carries an
// error number) when the block holds no image it can decode.
ZDib DecodeGifMemory(std::span<const std::uint8_t> block);

}  // namespace pm32
