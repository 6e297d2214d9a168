#pragma once

#include <cstdint>

extern "C" {

// The module's version text, "1.0.1.13", for loaders that check what they got.
const char* pm32_module_version();

// Turns the first length bytes of the memory block (a GIF file, or a
// database OLE-object field holding a Paintbrush bitmap) into a new DIB,
// whose handle goes to *out; the caller owns it. *outFormat receives 4 for
// GIF, 8 for a Paintbrush object. Returns 0 or the error number; null out
// pointers give err::OperationFailure without reading the block.
std::uint16_t pmx_mem2dib(std::uint32_t memory, std::uint32_t length, std::uint32_t reserved,
                          std::uint32_t* out, std::uint16_t* outFormat);
}
