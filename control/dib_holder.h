#pragma once

#include <cstdint>

#include "control/raised_error.h"
#include "engine/dib_lock.h"
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
    // the holder owned before. Raises err::Unrecoverable for a null handle or missing
    // header and err::LockFailed when the block cannot be locked.
    void Attach(HGLOBAL newHandle, bool newOwns);

    HGLOBAL handle = 0;
    bool owns = false;
    std::uint32_t depth = 0;
    std::int32_t height = 0;
    std::int32_t width = 0;
};

}  // namespace pm32
