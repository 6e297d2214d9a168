#pragma once

#include <string>

#include "engine/errors.h"
#include "platform/gdi_palette.h"

namespace pm32 {

// Reads a raw logical-palette file (version, count, red/green/blue/flags
// entries) into a new palette the caller owns.
ErrorNumber ReadPaletteFile(const std::string& path, platform::HPALETTE& palette);

// Writes the palette as a raw logical-palette file with version 0x0300.
ErrorNumber WritePaletteFile(platform::HPALETTE palette, const std::string& path);

}  // namespace pm32
