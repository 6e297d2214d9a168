#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "engine/zdib.h"
#include "formats/load_params.h"

namespace pm32 {

// Fills the empty image record from a Windows bitmap file (".bmp" or ".dib"),
// or sets its error number; on failure nothing is left allocated. With modern
// files wanted, 32-bit files load as 24-bit images, an alpha channel laid over
// the backdrop.
void LoadBMP(ZDib& image, const std::string& path, const ZLoadParams& params);
void LoadBMP(ZDib& image, const std::string& path);

// Writes the image record as a Windows bitmap file; the result is in its
// error number.
void StoreBMP(ZDib& image, const std::string& path);

// Decodes an OLE Paintbrush object held in memory into a new image record;
// the record has no handle when the object is not a valid one.
ZDib DecodePaintbrushObject(std::span<const std::uint8_t> object);

}  // namespace pm32
