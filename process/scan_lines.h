#pragma once

#include <cstdint>
#include <span>

#include "engine/zdib.h"

namespace pm32 {

// Row access for scripts, one long per pixel; line 0 is the top row of the
// picture. A 24-bit pixel is red | green << 8 | blue << 16, a palette pixel its
// index. The span holds at least the image's width; err::OutOfRange for a line outside
// the image.
ErrorNumber ReadScanLine(HGLOBAL image, std::int32_t line, std::span<std::int32_t> pixels);

// The reverse, written into the image in place; the top byte of each long is
// not stored (nor more than the depth holds of an index).
ErrorNumber WriteScanLine(HGLOBAL image, std::int32_t line, std::span<const std::int32_t> pixels);

}  // namespace pm32
