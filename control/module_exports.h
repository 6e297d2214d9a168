#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/automation/api_export.h"

extern "C" {

// The module's version text, "1.0.1.13", for loaders that check what they got.
PM32_API const char* pm32_module_version();

// Turns the first length bytes of the memory block (a GIF file, or a
// database OLE-object field holding a Paintbrush bitmap) into a new DIB,
// whose handle goes to *out; the caller owns it. *outFormat receives 4 for
// GIF, 8 for a Paintbrush object. Returns 0 or the error number; null out
// pointers give err::OperationFailure without reading the block.
PM32_API std::uint16_t pmx_mem2dib(std::uint32_t memory, std::uint32_t length,
                                   std::uint32_t reserved, std::uint32_t* out,
                                   std::uint16_t* outFormat);

// The movable memory blocks images and files travel in between a program and
// the controls (hDib, pmx_mem2dib): 32-bit handles, never 0, with lock counts.
// Allocation returns 0 for a size of 0 or one that cannot be had; a lock
// returns null for a stale or foreign handle; free returns 0, or the handle
// when it names no live block.
PM32_API std::uint32_t pm32_global_alloc(std::uint32_t flags, std::size_t bytes);
PM32_API void* pm32_global_lock(std::uint32_t block);
PM32_API int pm32_global_unlock(std::uint32_t block);
PM32_API std::size_t pm32_global_size(std::uint32_t block);
PM32_API std::uint32_t pm32_global_free(std::uint32_t block);
}
