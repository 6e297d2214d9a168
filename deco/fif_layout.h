#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace deco {

// A FIF file: a 13-byte header, the FTT name, then each plane's stream behind
// its 32-bit byte count. All numbers little-endian.
//   0  "PFIF"       4  major, minor      6  flags (kColorFlag, kSizeUnknownFlag)
//   7  quality      8  width (16 bits)  10  height (16 bits)
//  12  FTT name length (0 to kMaxTableName), then the name
inline constexpr std::uint8_t kFifMagic[4] = {'P', 'F', 'I', 'F'};
inline constexpr std::uint8_t kFttMagic[4] = {'P', 'F', 'T', 'T'};
inline constexpr int kFormatMajor = 6;
inline constexpr int kFormatMinor = 0;
inline constexpr std::uint8_t kColorFlag = 1;
inline constexpr std::uint8_t kSizeUnknownFlag = 2;
inline constexpr std::size_t kHeaderBytes = 13;
inline constexpr std::size_t kMaxTableName = 63;

// Range blocks are 16, 8, 4 or 2 pixels square on a grid padded to whole top blocks.
inline constexpr int kTopBlock = 16;
inline constexpr int kMinBlock = 2;
inline constexpr int kBlockSizes = 4;
// Coded planes are at most this many pixels, so decoding work stays bounded.
inline constexpr std::uint64_t kMaxPlanePixels = std::uint64_t{1} << 26;

// Contrast codes index a table of 32 factors in 1/256; code kFlatCode is the
// flat block (factor 0, no domain), whatever the table.
inline constexpr int kContrastCodes = 32;
inline constexpr int kFlatCode = 16;
inline constexpr int kContrastOne = 256;
using ContrastTable = std::array<std::int16_t, kContrastCodes>;

// The table a FIF uses when it names no FTT file: steps of 1/16 from -1.
ContrastTable defaultContrastTable();
// A table finer for the positive factors that photos mostly need.
ContrastTable positiveContrastTable();

struct FifHeader {
    int major = 0;
    int minor = 0;
    bool color = false;
    bool sizeUnknown = false;
    int quality = 0;
    int width = 0;
    int height = 0;
    std::string tableName;
    std::size_t planesOffset = 0;
};

enum class HeaderCheck { NotFif, Newer, Readable };

// Whether the bytes start a FIF file this library reads.
HeaderCheck checkHeader(const std::uint8_t* data, std::size_t size);

// The parsed header of a readable file, or nothing when it is malformed.
std::optional<FifHeader> readHeader(const std::uint8_t* data, std::size_t size);

void writeHeader(const FifHeader& header, std::vector<std::uint8_t>& out);

// An FTT file: "PFTT", major, minor, then 32 signed 16-bit factors.
std::optional<ContrastTable> readContrastTable(const std::uint8_t* data, std::size_t size);
std::vector<std::uint8_t> writeContrastTable(const ContrastTable& table);

// A plain file name of letters, digits, '.', '-' and '_'.
bool isPlainTableName(const std::string& name);

inline std::uint16_t readU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t readU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void appendU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void appendU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace deco
