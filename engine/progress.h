#pragma once

#include <cstdint>
#include <functional>

#include "platform/window_registry.h"

namespace pm32 {

// Reports progress every interval rows of a long operation and lets the
// caller cancel it, pumping the messages of one peek window first.
class ProgressPump {
  public:
    // Receives the rows done so far; returns non-zero to go on, 0 to cancel.
    using Callback = std::function<int(int rows)>;

    // SetUp({}, 0, 0) switches the pump off.
    void SetUp(Callback callback, std::int16_t interval, platform::HWND peekWindow);

    // Arms the pump for a new operation when its window and callback exist.
    void Begin();

    // Called once per row; false when the callback asked to cancel.
    bool Tick();

    std::int16_t Interval() const { return interval_; }

  private:
    Callback callback_;
    std::int16_t interval_ = 0;
    platform::HWND peekWindow_ = 0;
    int countdown_ = 0;
    int count_ = 0;
};

// The process-wide pump of the file readers.
ProgressPump& FileProgressPump();

}  // namespace pm32
