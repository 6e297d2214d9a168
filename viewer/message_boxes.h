#pragma once

namespace pm32::viewer {

// Shows the platform's message boxes as Qt message boxes over the active window.
void UseQtMessageBoxes();

}  // namespace pm32::viewer
