#pragma once

#include <array>
#include <cstdint>

#include "engine/zdib.h"

namespace pm32 {

// The number of distinct pixel indices of a palette image, or of distinct
// 24-bit colours of a true-colour one.
ErrorNumber CountDistinctColors(HGLOBAL image, std::uint32_t& count);

// How many pixels use each index of a palette image; 24-bit images give err::BadDepth.
ErrorNumber CountIndexUses(HGLOBAL image, std::array<std::uint64_t, 256>& uses);

}  // namespace pm32
