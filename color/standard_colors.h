#pragma once

#include <array>

#include "color/color_key.h"
#include "platform/gdi_palette.h"

namespace pm32 {

// The 16 standard colours that palettes built with the standard colours start with.
const std::array<PaletteColor, 16>& StandardColors();

// The 20 static colours of the system palette: static indices 0-9 sit at palette
// positions 0-9 and 10-19 at positions 246-255.
const std::array<platform::PALETTEENTRY, 20>& StaticColors();

inline constexpr unsigned kFirstFreePosition = 10;
inline constexpr unsigned kLastFreePosition = 245;
inline constexpr unsigned kUpperStaticStart = 246;

// Palette position of a static index.
inline unsigned StaticPosition(unsigned staticIndex) {
    return staticIndex < 10 ? staticIndex : staticIndex + (kUpperStaticStart - 10);
}

// The static index whose red, green and blue equal the entry's (flags
// ignored), or -1.
int StaticIndexOf(const platform::PALETTEENTRY& entry);

}  // namespace pm32
