#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/zdib.h"

namespace pm32 {

// One lock on a DIB for the guard's lifetime, with its header and pixels.
// Never owns the block.
class ZDibLock {
  public:
    explicit ZDibLock(HGLOBAL handle);
    ~ZDibLock();
    ZDibLock(const ZDibLock&) = delete;
    ZDibLock& operator=(const ZDibLock&) = delete;

    // nullptr when the block could not be locked.
    std::uint8_t* header() const { return header_; }
    // nullptr when the block is too small for a header.
    std::uint8_t* bits() const { return bits_; }
    std::size_t blockSize() const { return size_; }

  private:
    HGLOBAL handle_;
    std::uint8_t* header_;
    std::uint8_t* bits_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace pm32
