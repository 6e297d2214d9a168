#pragma once

#include <functional>

#include "platform/handle_registry.h"

namespace pm32::platform {

// Windows known to the process. A host registers each window it creates with
// the function that dispatches that window's waiting messages.
using HWND = Handle32;
using PumpWaitingMessages = std::function<void()>;

// The caller owns the returned handle and unregisters it when the window goes.
HWND RegisterWindow(PumpWaitingMessages pump);
bool UnregisterWindow(HWND window);
bool IsWindow(HWND window);

// Removes and dispatches every message waiting for the window; nothing for an
// unknown window.
void PumpWindowMessages(HWND window);

}  // namespace pm32::platform
