#pragma once

#include "color/color_errors.h"

namespace pm32::err {
inline constexpr ErrorNumber OutOfRange = 20121;
inline constexpr ErrorNumber BadEdgeMagnitude = 20122;
inline constexpr ErrorNumber BadSoftness = 20123;
inline constexpr ErrorNumber BadSharpness = 20124;
inline constexpr ErrorNumber NoManipulation = 20125;
inline constexpr ErrorNumber BadRotationAngle = 20126;
inline constexpr ErrorNumber BadBrightness = 20127;
inline constexpr ErrorNumber BadContrast = 20128;
}  // namespace pm32::err
