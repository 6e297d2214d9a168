#pragma once

#include <cstdint>

#include "engine/zdib.h"

namespace pm32::control {

// Decodes the first length bytes of a memory block holding a GIF file or a
// database OLE-object field with a Paintbrush bitmap inside. On success out
// receives a new DIB the caller owns and format the format code (4 GIF, 8
// Paintbrush object). Returns 0, err::FormatNotSupported when the block is smaller than length,
// err::OperationFailure for anything else in the block, or the decoder's error number.
ErrorNumber DibFromMemory(HGLOBAL memory, std::uint32_t length, HGLOBAL& out,
                          std::uint16_t& format);

}  // namespace pm32::control
