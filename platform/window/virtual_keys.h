#pragma once

namespace pm32::platform {

// The virtual-key code the stock key events carry for a Qt key, 0 for a key
// without one.
int VirtualKeyFromQt(int qtKey);

}  // namespace pm32::platform
