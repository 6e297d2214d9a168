#include "engine/progress.h"

namespace pm32 {

void ProgressPump::SetUp(Callback callback, std::int16_t interval, platform::HWND peekWindow) {
    callback_ = std::move(callback);
    interval_ = interval;
    peekWindow_ = peekWindow;
}

void ProgressPump::Begin() {
    if (platform::IsWindow(peekWindow_) && callback_ && interval_ > 0) {
        count_ = 0;
        countdown_ = interval_;
    } else {
        countdown_ = 0;
    }
}

bool ProgressPump::Tick() {
    if (countdown_ == 0) return true;
    ++count_;
    if (countdown_-- != 1) return true;
    countdown_ = interval_;
    platform::PumpWindowMessages(peekWindow_);
    return callback_(count_) != 0;
}

ProgressPump& FileProgressPump() {
    static ProgressPump pump;
    return pump;
}

}  // namespace pm32
