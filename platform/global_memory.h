#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/handle_registry.h"

namespace pm32::platform {

// Movable memory blocks addressed by 32-bit handles, with real lock counts.
using HGLOBAL = Handle32;

inline constexpr std::uint32_t GMEM_MOVEABLE = 0x0002;
inline constexpr std::uint32_t GMEM_ZEROINIT = 0x0040;
inline constexpr std::uint32_t GMEM_DDESHARE = 0x2000;
inline constexpr std::uint32_t GMEM_INVALID_HANDLE = 0x8000;
inline constexpr std::uint32_t GMEM_LOCKCOUNT = 0x00FF;

// Allocates a block of the given size; the caller owns the handle and frees it
// with GlobalFree. Returns 0 when the size is 0, above the block limit, or the
// memory cannot be had.
HGLOBAL GlobalAlloc(std::uint32_t flags, std::size_t bytes);

// Locks the block and returns its address (valid until the matching unlock),
// or nullptr for a stale, foreign or zero handle.
void* GlobalLock(HGLOBAL handle);

// Drops one lock; returns true while the block stays locked.
bool GlobalUnlock(HGLOBAL handle);

// The lock count in the low byte and GMEM_DDESHARE when the block was
// allocated with it, or GMEM_INVALID_HANDLE for a bad handle.
std::uint32_t GlobalFlags(HGLOBAL handle);

// Size in bytes, 0 for a bad handle.
std::size_t GlobalSize(HGLOBAL handle);

// Frees the block (locked or not). Returns 0 on success, the handle itself
// when it names no live block.
HGLOBAL GlobalFree(HGLOBAL handle);

// The largest block GlobalAlloc will hand out. Defaults to 4 GiB - 1, the
// most a 32-bit size field can describe; fuzz targets and tests lower it.
void SetBlockSizeLimit(std::size_t bytes);
std::size_t BlockSizeLimit();

// Number of live blocks, for leak checks.
std::size_t LiveBlockCount();

// Holds one lock on a block for the guard's lifetime.
class Locked {
  public:
    explicit Locked(HGLOBAL handle);
    ~Locked();
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

    explicit operator bool() const { return data_ != nullptr; }
    std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

  private:
    HGLOBAL handle_;
    std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace pm32::platform
