#pragma once

namespace pm32::platform {

// Thickness of the scroll bars every window host lays out, read once: the
// widget style's when a widget application runs, else the classic 16 pixels.
int HorizontalScrollBarHeight();
int VerticalScrollBarWidth();

}  // namespace pm32::platform
