#pragma once

#include "engine/zdib.h"

namespace pm32::control {

// Frees a DIB block the running operation owns unless it was handed on.
class DibGuard {
  public:
    explicit DibGuard(HGLOBAL handle, bool owns = true) : handle_(handle), owns_(owns) {}
    ~DibGuard() {
        if (owns_ && handle_ != 0) FreeDib(handle_);
    }
    DibGuard(const DibGuard&) = delete;
    DibGuard& operator=(const DibGuard&) = delete;

    HGLOBAL get() const { return handle_; }
    // The block goes to whoever takes it; the guard no longer frees it.
    HGLOBAL handOn() {
        owns_ = false;
        return handle_;
    }

  private:
    HGLOBAL handle_;
    bool owns_;
};

}  // namespace pm32::control
