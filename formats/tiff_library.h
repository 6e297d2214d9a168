#pragma once

#include <string>

#include "engine/zdib.h"

namespace pm32 {

// Reads image imageNumber (0 and 1 name the first) of a TIFF file through
// libtiff into the empty record, for the forms the engine's own reader
// refuses: any compression libtiff decodes, predictors, tiles, separate
// planes, 2-, 16-bit and floating-point samples, extra samples. The result
// is an image of the engine's depths: 1-, 4- or 8-bit palette or grey, or
// 24-bit colour, 16-bit samples cut to their high byte, an alpha channel laid
// over background (0x00BBGGRR). Sizes are checked against the engine's limit
// before anything is allocated, and the library's messages are dropped. A
// form neither reader can reduce gives back unsupported, the own reader's number.
ErrorNumber ReadTiffThroughLibrary(const std::string& path, int imageNumber,
                                   std::uint32_t background, ErrorNumber unsupported, ZDib& image);

// The number of images (directories) libtiff finds in the file.
ErrorNumber CountTiffThroughLibrary(const std::string& path, int& count);

}  // namespace pm32
