#pragma once

#include <cstddef>

#include "platform/handle_registry.h"
#include "platform/window_registry.h"

namespace pm32::platform::gdi {

// Device contexts of windows as 32-bit handles.
using HDC = Handle32;

// A new device context of the window; the caller owns it and gives it back
// with ReleaseDC. 0 for a window that does not exist.
HDC GetDC(HWND window);

// Gives the context back; false when it is not a live context of that window.
bool ReleaseDC(HWND window, HDC dc);

// The window of a live context, 0 for anything else.
HWND WindowOfDC(HDC dc);

// Live window contexts, for leak checks.
std::size_t LiveWindowDCCount();

}  // namespace pm32::platform::gdi
