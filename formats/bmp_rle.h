#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/errors.h"
#include "formats/engine_file.h"

namespace pm32 {

enum class BmpRle { EightBit, FourBit };

// Decodes a bitmap run-length stream from the file's current position into
// rows of rowBytes bytes, bottom row first. Runs are cut at the row end and
// rows never reached keep their bytes. The four-bit form works in whole bytes:
// a run of n pixels repeats its byte n / 2 times.
ErrorNumber DecodeBmpRle(EngineFile& file, BmpRle kind, std::uint8_t* pixels, std::size_t rowBytes,
                         std::size_t rows);

}  // namespace pm32
