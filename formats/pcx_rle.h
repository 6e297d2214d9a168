#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/engine_file.h"

namespace pm32 {

// Fills line from the run-length stream at the file's position. A run that
// goes past the line's end is cut there, so it never carries into the next
// plane or line. False when the data ends before the line is full.
bool DecodePcxLine(EngineFile& file, std::span<std::uint8_t> line);

// Codes one line; out must hold 2 * line.size() bytes, the worst case.
// Returns the number of bytes coded.
std::size_t EncodePcxLine(std::span<const std::uint8_t> line, std::uint8_t* out);

}  // namespace pm32
