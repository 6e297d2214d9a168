#include "color/depth_copy.h"

#include <array>

#include "color/histogram.h"
#include "engine/pixel_access.h"

namespace pm32 {
namespace {

// Creates the result and gives it the source's first colours.
ErrorNumber createWithTable(ZDib& source, std::uint32_t depth, ZDib& result) {
    result.Create(source.width, source.height, depth, 0);
    if (result.error != 0) return result.error;
    std::array<PALETTEENTRY, 256> entries{};
    std::size_t count = source.GetPalette(entries);
    result.SetPalette(std::span(entries.data(), count), false);
    return 0;
}

// Row tables of both images, or an error when either cannot be built.
ErrorNumber rowTables(ZDib& source, ZDib& result, std::span<std::uint8_t* const>& from,
                      std::span<std::uint8_t* const>& to) {
    from = source.BuildRowTable();
    to = result.BuildRowTable();
    return from.empty() || to.empty() ? err::InvalidPicture : 0;
}

void packNibbles(const std::uint8_t* from, std::uint8_t* to, std::int32_t width) {
    std::int32_t x = 0;
    for (; x + 1 < width; x += 2)
        to[x >> 1] = static_cast<std::uint8_t>((from[x] & 0x0F) << 4 | (from[x + 1] & 0x0F));
    if (x < width) to[x >> 1] = static_cast<std::uint8_t>((from[x] & 0x0F) << 4);
}

void packBits(const std::uint8_t* from, std::uint8_t* to, std::int32_t width) {
    for (std::int32_t x = 0; x < width; x += 8) {
        unsigned byte = 0;
        for (std::int32_t bit = 0; bit < 8; ++bit)
            byte = byte << 1 | (x + bit < width ? from[x + bit] & 1u : 0u);
        to[x >> 3] = static_cast<std::uint8_t>(byte);
    }
}

}  // namespace

ErrorNumber ExpandIndices(ZDib& source, std::uint32_t depth, ZDib& result) {
    if (ErrorNumber n = createWithTable(source, depth, result); n != 0) return n;
    std::span<std::uint8_t*const> from, to;
    if (ErrorNumber n = rowTables(source, result, from, to); n != 0) return n;
    for (std::size_t y = 0; y < from.size(); ++y)
        for (std::int32_t x = 0; x < source.width; ++x)
            SetIndexAt(to[y], x, depth, IndexAt(from[y], x, source.depth));
    result.CommitRowTable();
    return 0;
}

ErrorNumber PackIndices(ZDib& source, std::uint32_t depth, ZDib& result) {
    if (ErrorNumber n = createWithTable(source, depth, result); n != 0) return n;
    std::span<std::uint8_t*const> from, to;
    if (ErrorNumber n = rowTables(source, result, from, to); n != 0) return n;
    for (std::size_t y = 0; y < from.size(); ++y) {
        if (depth == 4)
            packNibbles(from[y], to[y], source.width);
        else
            packBits(from[y], to[y], source.width);
    }
    result.CommitRowTable();
    return 0;
}

ErrorNumber ExpandToTrueColor(ZDib& source, ZDib& result) {
    result.Create(source.width, source.height, 24, 0);
    if (result.error != 0) return result.error;
    std::array<PaletteColor, 256> table = ColorTableOf(source);
    std::span<std::uint8_t*const> from, to;
    if (ErrorNumber n = rowTables(source, result, from, to); n != 0) return n;
    for (std::size_t y = 0; y < from.size(); ++y) {
        std::uint8_t* pixel = to[y];
        for (std::int32_t x = 0; x < source.width; ++x, pixel += 3) {
            const PaletteColor& color = table[IndexAt(from[y], x, source.depth)];
            pixel[0] = color.blue;
            pixel[1] = color.green;
            pixel[2] = color.red;
        }
    }
    result.CommitRowTable();
    return 0;
}

}  // namespace pm32
