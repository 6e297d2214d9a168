#pragma once

#include "engine/errors.h"

// Error numbers of the colour and palette operations.
namespace pm32::err {
inline constexpr ErrorNumber NoPalette = 20103;
inline constexpr ErrorNumber DepthMismatch = 20120;
inline constexpr ErrorNumber BadColorCount = 20121;
inline constexpr ErrorNumber XOutOfBounds = 20137;
inline constexpr ErrorNumber YOutOfBounds = 20138;
inline constexpr ErrorNumber PaletteDepthMismatch = 20139;
inline constexpr ErrorNumber BadPaletteSize = 20144;
inline constexpr ErrorNumber TooManyWithSystemColors = 20145;
inline constexpr ErrorNumber NeedsEightBits = 20148;
inline constexpr ErrorNumber ReductionNeedsEightBits = 20163;
inline constexpr ErrorNumber SourceIndexUnused = 20175;
inline constexpr ErrorNumber DestinationIndexUnused = 20176;
inline constexpr ErrorNumber BadRedRange = 20185;
inline constexpr ErrorNumber BadGreenRange = 20186;
inline constexpr ErrorNumber BadBlueRange = 20187;
}  // namespace pm32::err
