#pragma once

#include <functional>

#include "control/zpm32.h"
#include "platform/gdi/drawing_context.h"

namespace pm32::control {

// Where a drawing method draws.
enum class DrawDestination { Image, Window };

// The optional destination argument: omitted is the image; otherwise a 16-bit
// 0 (image) or 1 (window), else err::BadDestination.
DrawDestination DestinationOf(const Variant& argument);

// Runs draw once on a fresh device context of the destination. The image
// destination paints on a copy of the image's pixels that is written back
// afterwards, and the view shows the result; the window destination paints
// on the control's window until its next repaint. Raises err::NoDeviceContext when there is
// no surface to draw on; the image is untouched then.
void DrawOn(ZPm32& control, DrawDestination destination,
            const std::function<void(platform::gdi::DrawingContext&)>& draw);

}  // namespace pm32::control
