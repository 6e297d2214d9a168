#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace pm32 {

// Byte offsets of the 40-byte BITMAPINFOHEADER at the start of every DIB.
namespace dib {
inline constexpr std::size_t kHeaderSize = 40;
inline constexpr std::size_t kSize = 0;
inline constexpr std::size_t kWidth = 4;
inline constexpr std::size_t kHeight = 8;
inline constexpr std::size_t kPlanes = 12;
inline constexpr std::size_t kBitCount = 14;
inline constexpr std::size_t kCompression = 16;
inline constexpr std::size_t kSizeImage = 20;
inline constexpr std::size_t kClrUsed = 32;
inline constexpr std::size_t kClrImportant = 36;
}  // namespace dib

// Little-endian field access on raw bytes; the DIB layout is little-endian.
inline std::uint16_t readLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t readLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void writeLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void writeLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The one checked product for sizes: nullopt when a * b overflows.
inline std::optional<std::uint64_t> checkedMultiply(std::uint64_t a, std::uint64_t b) {
    std::uint64_t product;
    if (__builtin_mul_overflow(a, b, &product)) return std::nullopt;
    return product;
}

inline std::optional<std::uint64_t> checkedAdd(std::uint64_t a, std::uint64_t b) {
    std::uint64_t sum;
    if (__builtin_add_overflow(a, b, &sum)) return std::nullopt;
    return sum;
}

// Bytes of one stored row: the packed pixels rounded up to a multiple of 4.
inline std::uint64_t rowBytesFor(std::uint32_t width, std::uint32_t depth) {
    std::uint64_t w = width;
    std::uint64_t packed = 0;
    switch (depth) {
        case 1:
            packed = (w + 7) / 8;
            break;
        case 4:
            packed = (w + 1) / 2;
            break;
        case 8:
            packed = w;
            break;
        case 24:
            packed = 3 * w;
            break;
        default:
            packed = (w * depth + 7) / 8;
            break;
    }
    return (packed + 3) & ~std::uint64_t{3};
}

// Entries in the full colour table of a depth: 2, 16, 256, or 0 at 24 bits.
inline std::uint32_t fullTableSize(std::uint32_t depth) {
    return depth == 1 || depth == 4 || depth == 8 ? 1u << depth : 0u;
}

// The control's sizes and coordinates are 16-bit, so no image side may be
// longer; anything longer is refused before its block is allocated.
inline constexpr std::int64_t kMostImageSide = 32767;

inline bool exceedsImageLimit(std::int64_t width, std::int64_t height) {
    return width > kMostImageSide || height > kMostImageSide;
}

inline bool isSupportedDepth(std::uint32_t depth) {
    return depth == 1 || depth == 4 || depth == 8 || depth == 24;
}

// Size of a DIB block: header, colour table and rows; nullopt on overflow.
inline std::optional<std::uint64_t> dibBlockSize(std::uint32_t colorsUsed, std::uint64_t rowBytes,
                                                 std::uint32_t height) {
    auto pixels = checkedMultiply(rowBytes, height);
    if (!pixels) return std::nullopt;
    return checkedAdd(dib::kHeaderSize + 4ull * colorsUsed, *pixels);
}

}  // namespace pm32
