#pragma once

#include <QFont>

#include "control/font_description.h"

namespace pm32::control {

// The font text is drawn and measured with: the description on the system
// font's rendering (no antialiasing, full hinting), its size turned from
// points into pixels at 96 pixels per inch, as logical units are pixels.
// Makes the GUI application on first use.
QFont DrawingFont(const FontDescription& description);

// Pixels of a size in 1/10000 point at 96 dpi, at least 1.
int PixelSizeOf(std::int64_t sizeUnits);

}  // namespace pm32::control
