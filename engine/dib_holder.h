#pragma once

#include <cstdint>

#include "engine/zdib.h"

namespace pm32 {

// The control's long-lived image holder. Its operations raise (throw
// RaisedError) for the control's entries to report.
class ZDibHolder {
  public:
    ZDibHolder() = default;
    ~ZDibHolder();
    ZDibHolder(const ZDibHolder&) = delete;
    ZDibHolder& operator=(const ZDibHolder&) = delete;

    // Takes the handle, and with owns set the duty to free it; frees a block
    // the holder owned before. Raises 20365 for a null handle or missing
    // header and 20360 when the block cannot be locked.
    void Attach(HGLOBAL newHandle, bool newOwns);

    HGLOBAL handle = 0;
    bool owns = false;
    std::uint32_t depth = 0;
    std::int32_t height = 0;
    std::int32_t width = 0;
};

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
