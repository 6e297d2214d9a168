#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "engine/zdib.h"

namespace pm32::test {

// The byte at an offset of an image's pixel block (rows bottom-up, padded).
using PatternByte = std::function<std::uint8_t(std::size_t offset)>;

// An image of the depth whose colour table is scattered (entry i is
// 37i+11, 250-i, 5i) and whose pixel bytes come from byteAt; what a codec test
// writes out and expects back.
ZDib PatternImage(std::int32_t width, std::int32_t height, std::uint32_t depth,
                  const PatternByte& byteAt);

}  // namespace pm32::test
