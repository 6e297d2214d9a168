#pragma once

#include <string>

#include "platform/window/headless_window_host.h"

namespace pm32::tools {

// Paints the window's client area afresh and writes it to a PNG file; on
// failure returns false with what went wrong in problem.
bool WriteSnapshot(platform::HeadlessWindowHost& window, const std::string& path,
                   std::string& problem);

}  // namespace pm32::tools
