#pragma once

#include "engine/zdib.h"

namespace pm32 {

// Gives every pixel of index `from` the index `to`, in the image's own block.
// Both must be indices the image's depth holds.
ErrorNumber MapIndexInPlace(HGLOBAL image, unsigned from, unsigned to);

}  // namespace pm32
