#include "color/index_translation.h"

#include "engine/pixel_access.h"

namespace pm32 {
namespace {

// What each byte value becomes when each index packed in it is translated.
std::array<std::uint8_t, 256> byteTranslation(const std::array<std::uint8_t, 256>& indexMap,
                                              std::uint32_t depth) {
    std::array<std::uint8_t, 256> bytes{};
    unsigned perByte = 8 / depth;
    for (unsigned value = 0; value < bytes.size(); ++value) {
        std::uint8_t byte = static_cast<std::uint8_t>(value);
        std::uint8_t translated = 0;
        for (unsigned x = 0; x < perByte; ++x)
            SetIndexAt(&translated, static_cast<std::int32_t>(x), depth,
                       indexMap[IndexAt(&byte, static_cast<std::int32_t>(x), depth)]);
        bytes[value] = translated;
    }
    return bytes;
}

}  // namespace

void TranslateIndices(std::span<std::uint8_t* const> rows, std::int32_t width, std::uint32_t depth,
                      const std::array<std::uint8_t, 256>& indexMap) {
    std::array<std::uint8_t, 256> bytes = byteTranslation(indexMap, depth);
    auto packed = static_cast<std::size_t>(PackedBytes(width, depth));
    for (std::uint8_t* row : rows)
        for (std::size_t i = 0; i < packed; ++i) row[i] = bytes[row[i]];
}

}  // namespace pm32
