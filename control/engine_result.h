#pragma once

#include "control/zpm32.h"

namespace pm32::control {

// The control's image for an engine operation; err::NoDib when it has none.
HGLOBAL ImageHandle(ZPm32& control);

// Raises the engine's error number unless it is 0.
void RaiseIfFailed(ErrorNumber n);

// Installs a new DIB an engine operation made, owned by the control from now
// on, with a palette built from its colour table or copied from the given one.
// A reduction of an image narrower or lower than 3 pixels makes none, which
// is refused with err::BadArea and leaves the image as it was.
void InstallResult(ZPm32& control, HGLOBAL result, HPALETTE palette = 0);

}  // namespace pm32::control
