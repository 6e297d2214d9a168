#pragma once

#include <QPainter>
#include <cstddef>

#include "platform/gdi/window_dc.h"
#include "platform/toolkit_export.h"

class QPaintDevice;

namespace pm32::platform::gdi {

// Device contexts of paint devices that are not windows, such as printers
// and PDF writers, as handles from the same table as every other handle. A
// context paints on its device from its creation until it is deleted, which
// ends the painting (a PDF is written, a print job sent).

// 0 when painting on the device cannot begin; the device must outlive the
// context.
PM32_TOOLKIT_API HDC CreateDeviceDC(QPaintDevice& device);

// Ends the painting; false for a handle that is not a live device context.
PM32_TOOLKIT_API bool DeleteDeviceDC(HDC dc);

// The painter of a live device context; null for a stale or foreign handle.
QPainter* PainterOfDC(HDC dc);

// Live device contexts, for leak checks.
std::size_t LiveDeviceDCCount();

}  // namespace pm32::platform::gdi
