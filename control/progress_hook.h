#pragma once

#include "control/zpm32.h"
#include "engine/progress.h"
#include "platform/window_registry.h"

namespace pm32::control {

// The window of a peek control, read through its hWnd property; err::NoCallbackWindow when
// the object has none, answers with something other than a 32-bit integer or
// names no existing window.
platform::HWND PeekWindow(automation::Dispatch& peek);

// A progress callback that fires Callback on the control for as long as the
// control lives, and lets the operation go on once it is gone.
ProgressPump::Callback CallbackOf(ZPm32& control);

}  // namespace pm32::control
