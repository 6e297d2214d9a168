#include "control/screen_pixels.h"

#include <bit>
#include <cstring>

#include "engine/dib_layout.h"

namespace pm32::control {
namespace {

// Four little-endian bytes as one load; readLe32 composes them bytewise.
std::uint32_t wordAt(const std::uint8_t* bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap32(word);
    return word;
}

}  // namespace

std::optional<ScreenPixels::Layout> ScreenPixels::layoutOf(const ZDibLock& lock) {
    const std::uint8_t* header = lock.header();
    if (header == nullptr || lock.bits() == nullptr) return std::nullopt;
    Layout layout;
    layout.width = static_cast<std::int32_t>(readLe32(header + dib::kWidth));
    layout.height = static_cast<std::int32_t>(readLe32(header + dib::kHeight));
    layout.depth = readLe16(header + dib::kBitCount);
    if (layout.width <= 0 || layout.height <= 0 || !isSupportedDepth(layout.depth) ||
        readLe32(header + dib::kCompression) != 0)
        return std::nullopt;
    layout.colorsUsed = readLe32(header + dib::kClrUsed);
    if (layout.colorsUsed == 0) layout.colorsUsed = fullTableSize(layout.depth);
    layout.rowBytes = rowBytesFor(static_cast<std::uint32_t>(layout.width), layout.depth);
    auto needed =
        dibBlockSize(layout.colorsUsed, layout.rowBytes, static_cast<std::uint32_t>(layout.height));
    if (!needed || *needed > lock.blockSize()) return std::nullopt;
    return layout;
}

std::optional<ScreenPixels> ScreenPixels::Of(platform::HGLOBAL dib) {
    ZDibLock lock(dib);
    std::optional<Layout> layout = layoutOf(lock);
    if (!layout) return std::nullopt;
    ScreenPixels pixels(dib, *layout);
    pixels.colors_.fill(qRgb(0, 0, 0));
    const std::uint8_t* table = lock.header() + dib::kHeaderSize;
    for (std::uint32_t i = 0; i < layout->colorsUsed && i < fullTableSize(layout->depth); ++i)
        pixels.colors_[i] = qRgb(table[4 * i + 2], table[4 * i + 1], table[4 * i]);
    return pixels;
}

ScreenPixels::Reader::Reader(const ScreenPixels& pixels)
    : pixels_(pixels), lock_(pixels.dib_), valid_(layoutOf(lock_) == pixels.layout_) {}

void ScreenPixels::Reader::Row(std::int32_t y, std::span<const int> columns, QRgb* out) const {
    const Layout& layout = pixels_.layout_;
    const std::array<QRgb, 256>& colors = pixels_.colors_;
    // Rows are stored bottom-up.
    const std::uint8_t* row =
        lock_.bits() + layout.rowBytes * static_cast<std::uint64_t>(layout.height - 1 - y);
    switch (layout.depth) {
        case 1:
            for (int x : columns) *out++ = colors[(row[x >> 3] >> (7 - (x & 7))) & 1u];
            return;
        case 4:
            for (int x : columns) *out++ = colors[x & 1 ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4];
            return;
        case 8:
            for (int x : columns) *out++ = colors[row[x]];
            return;
        default:
            // A pixel's blue, green and red bytes read as one little-endian word
            // are its screen colour; the last column is read bytewise, as its
            // fourth byte may lie past the block.
            for (int x : columns) {
                const std::uint8_t* pixel = row + 3 * static_cast<std::ptrdiff_t>(x);
                if (x < layout.width - 1)
                    *out++ = 0xFF000000u | (wordAt(pixel) & 0x00FFFFFFu);
                else
                    *out++ = qRgb(pixel[2], pixel[1], pixel[0]);
            }
            return;
    }
}

}  // namespace pm32::control
