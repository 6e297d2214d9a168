#include "color/histogram.h"

#include <algorithm>

#include "color/depth_copy.h"
#include "color/remap_palette.h"
#include "engine/nothrow_array.h"

namespace pm32 {
namespace {

constexpr std::uint16_t kSaturated = 0xFFFF;
constexpr std::uint16_t kFullKeyMask = 0x7FFF;

}  // namespace

bool ColorHistogram::Allocate() {
    cells_ = AllocateArray<std::uint16_t>(kKeyCells);
    return cells_ != nullptr;
}

std::uint32_t ColorHistogram::CountTrueColor(std::span<std::uint8_t* const> rows,
                                             std::int32_t width, std::uint16_t keyMask) {
    std::uint16_t* cells = cells_.get();
    std::uint32_t distinct = 0;
    for (const std::uint8_t* pixel : rows) {
        for (std::int32_t x = 0; x < width; ++x, pixel += 3) {
            std::uint16_t& cell = cells[ColorKey(pixel[0], pixel[1], pixel[2]) & keyMask];
            if (cell == 0) ++distinct;
            if (cell != kSaturated) ++cell;
        }
    }
    return distinct;
}

std::uint32_t ColorHistogram::CountIndexed(std::span<std::uint8_t* const> rows, std::int32_t width,
                                           const std::array<PaletteColor, 256>& table) {
    std::array<std::uint32_t, 256> uses{};
    for (const std::uint8_t* row : rows)
        for (std::int32_t x = 0; x < width; ++x) ++uses[row[x]];
    std::uint32_t used = 0;
    for (std::size_t index = 0; index < uses.size(); ++index) {
        if (uses[index] == 0) continue;
        const PaletteColor& color = table[index];
        cells_[ColorKey(color.blue, color.green, color.red)] =
            static_cast<std::uint16_t>(std::min<std::uint32_t>(uses[index], kSaturated));
        ++used;
    }
    return used;
}

std::array<PaletteColor, 256> ColorTableOf(const ZDib& image) {
    std::array<PALETTEENTRY, 256> entries{};
    image.GetPalette(entries);
    std::array<PaletteColor, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed,
                    static_cast<std::uint8_t>(i)};
    return table;
}

ErrorNumber AccumulateHistogram(ColorHistogram& histogram, HGLOBAL handle) {
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    // Packed indices are counted as the 8-bit image they expand to.
    ZDib expanded;
    ZDib* counted = &image;
    if (image.depth == 1 || image.depth == 4) {
        if (ErrorNumber n = ExpandIndices(image, 8, expanded); n != 0) return n;
        counted = &expanded;
    }
    auto rows = counted->BuildRowTable();
    if (rows.empty()) return counted->height == 0 ? 0 : err::InvalidPicture;
    if (counted->depth == 24)
        histogram.CountTrueColor(rows, counted->width, kFullKeyMask);
    else
        histogram.CountIndexed(rows, counted->width, ColorTableOf(*counted));
    return 0;
}

ErrorNumber AccumulatePalette(ColorHistogram& histogram, platform::HPALETTE palette) {
    HGLOBAL pixelHandle = 0;
    if (ErrorNumber n = CreateDib(8, 1, 1, 0, pixelHandle); n != 0) return n;
    ZDib pixel;
    pixel.Attach(pixelHandle, true, false, DepthRule::Any);
    if (pixel.error != 0) return pixel.error;
    HGLOBAL remappedHandle = 0;
    if (ErrorNumber n = RemapToPalette(pixel.handle, palette, remappedHandle); n != 0) return n;
    ZDib remapped;
    remapped.Attach(remappedHandle, true, false, DepthRule::Any);
    if (remapped.error != 0) return remapped.error;
    return AccumulateHistogram(histogram, remapped.handle);
}

}  // namespace pm32
