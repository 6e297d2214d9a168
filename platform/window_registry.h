#pragma once

#include <functional>

#include "platform/handle_registry.h"
#include "platform/toolkit_export.h"

namespace pm32::platform {

// Windows known to the process. A host registers each window it creates with
// the function that dispatches that window's waiting messages.
using HWND = Handle32;
using PumpWaitingMessages = std::function<void()>;

// The caller owns the returned handle and unregisters it when the window goes.
PM32_TOOLKIT_API HWND RegisterWindow(PumpWaitingMessages pump);
PM32_TOOLKIT_API bool UnregisterWindow(HWND window);
bool IsWindow(HWND window);

// Removes and dispatches every message waiting for the window; nothing for an
// unknown window.
void PumpWindowMessages(HWND window);

}  // namespace pm32::platform
