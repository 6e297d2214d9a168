#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace pm32::platform {

// The image as a packed DIB: monochrome and indexed images keep their
// colour tables at 1 and 8 bits, everything else becomes 24 bits (alpha is
// dropped). Empty for a null image.
std::vector<std::uint8_t> PackedDibFromImage(const QImage& image);

}  // namespace pm32::platform
