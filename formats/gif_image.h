#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/progress.h"
#include "engine/zdib.h"

// What the GIF file reader and the GIF memory reader share: the fixed
// structures, the depth rule and the decoding of one image's data.
namespace pm32::gif {

inline constexpr std::size_t kHeaderBytes = 13;  // signature, version, screen descriptor
inline constexpr std::size_t kDescriptorBytes = 9;
inline constexpr std::uint8_t kColorTableFlag = 0x80;
inline constexpr std::uint8_t kInterlaceFlag = 0x40;
inline constexpr std::size_t kScreenFlags = 10;  // offset in the header

// Entries of a colour table whose flags carry its size in the low three bits.
inline std::uint32_t tableEntries(std::uint8_t flags) { return 2u << (flags & 7); }
inline std::size_t tableBytes(std::uint8_t flags) { return 3 * std::size_t{tableEntries(flags)}; }

// Whether the header starts "GIF" and names version 87a or 89a.
bool hasSignature(std::span<const std::uint8_t> header);
bool hasKnownVersion(std::span<const std::uint8_t> header);

// The depth the screen flags ask for: the larger of the colour resolution
// and the global table's bits, as 1, 4 or 8; 2 for two bits, which no image
// of the engine can hold.
std::uint32_t screenDepth(std::uint8_t screenFlags);

// The depth raised, when needed, so that every index of the image's local
// colour table fits.
std::uint32_t depthForImage(std::uint32_t depth, std::uint8_t imageFlags);

// Colours as the image model takes them; entries a table does not reach stay
// as they were.
using ColorBuffer = std::array<PALETTEENTRY, 256>;
void readColorTable(std::span<const std::uint8_t> rgb, ColorBuffer& colors);

struct ImageDescriptor {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t flags = 0;
};
// Left and top are not used: the image is its own rectangle.
ImageDescriptor parseDescriptor(std::span<const std::uint8_t, kDescriptorBytes> bytes);

// Decodes the code-size byte and data sub-blocks at the start of data into
// the created image, top row first, filling rows in interlace order when
// asked. The block's last byte is never taken as data. With a pump, each
// completed row ticks it. Returns the decoder's result.
int decodeImageData(std::span<const std::uint8_t> data, ZDib& image, bool interlaced,
                    ProgressPump* pump);

// Turns a decoder result into the load's outcome: the image as far as
// decoded for finished, cut-short, over-long and broken data; no image and no
// error when cancelled; no image and an error number otherwise.
ErrorNumber settleDecoding(int result, ZDib& image);

}  // namespace pm32::gif
