#include "color/color_count.h"

#include <bit>

#include "engine/nothrow_array.h"
#include "engine/pixel_access.h"

namespace pm32 {
namespace {

constexpr std::size_t kTrueColors = std::size_t{1} << 24;

ErrorNumber countTrueColors(ZDib& image, std::uint32_t& count) {
    auto seen = AllocateArray<std::uint64_t>(kTrueColors / 64);
    if (!seen) return err::OutOfMemory;
    for (const std::uint8_t* pixel : image.BuildRowTable()) {
        for (std::int32_t x = 0; x < image.width; ++x, pixel += 3) {
            std::uint32_t color = pixel[0] | pixel[1] << 8 | pixel[2] << 16;
            seen[color >> 6] |= std::uint64_t{1} << (color & 63);
        }
    }
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < kTrueColors / 64; ++i) total += std::popcount(seen[i]);
    count = static_cast<std::uint32_t>(total);
    return 0;
}

void countIndices(ZDib& image, std::array<std::uint64_t, 256>& uses) {
    uses.fill(0);
    for (const std::uint8_t* row : image.BuildRowTable())
        for (std::int32_t x = 0; x < image.width; ++x) ++uses[IndexAt(row, x, image.depth)];
}

}  // namespace

ErrorNumber CountDistinctColors(HGLOBAL handle, std::uint32_t& count) {
    count = 0;
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    if (image.depth == 24) return countTrueColors(image, count);
    std::array<std::uint64_t, 256> uses{};
    countIndices(image, uses);
    for (std::uint64_t use : uses) count += use != 0 ? 1 : 0;
    return 0;
}

ErrorNumber CountIndexUses(HGLOBAL handle, std::array<std::uint64_t, 256>& uses) {
    uses.fill(0);
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    if (image.depth == 24) return err::BadDepth;
    countIndices(image, uses);
    return 0;
}

}  // namespace pm32
