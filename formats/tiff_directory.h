#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/errors.h"
#include "formats/engine_file.h"

namespace pm32 {

namespace tiff {
inline constexpr std::uint16_t kMagic = 42;
inline constexpr std::uint16_t kBigMagic = 43;
inline constexpr std::int64_t kHeaderBytes = 8;
inline constexpr std::int64_t kFirstDirectoryField = 4;
inline constexpr std::size_t kEntryBytes = 12;
inline constexpr unsigned kFewestEntries = 4;
inline constexpr unsigned kMostEntries = 40;

inline constexpr std::uint16_t kNewSubfileType = 254;
inline constexpr std::uint16_t kImageWidth = 256;
inline constexpr std::uint16_t kImageLength = 257;
inline constexpr std::uint16_t kBitsPerSample = 258;
inline constexpr std::uint16_t kCompression = 259;
inline constexpr std::uint16_t kPhotometric = 262;
inline constexpr std::uint16_t kFillOrder = 266;
inline constexpr std::uint16_t kStripOffsets = 273;
inline constexpr std::uint16_t kSamplesPerPixel = 277;
inline constexpr std::uint16_t kRowsPerStrip = 278;
inline constexpr std::uint16_t kPlanarConfiguration = 284;
inline constexpr std::uint16_t kStripByteCounts = 279;
inline constexpr std::uint16_t kMinSampleValue = 280;
inline constexpr std::uint16_t kMaxSampleValue = 281;
inline constexpr std::uint16_t kXResolution = 282;
inline constexpr std::uint16_t kYResolution = 283;
inline constexpr std::uint16_t kResolutionUnit = 296;
inline constexpr std::uint16_t kPredictor = 317;
inline constexpr std::uint16_t kColorMap = 320;
inline constexpr std::uint16_t kSampleFormat = 339;

inline constexpr std::uint16_t kShort = 3;
inline constexpr std::uint16_t kLong = 4;
inline constexpr std::uint16_t kRational = 5;

inline constexpr std::uint32_t kUncompressed = 1;
inline constexpr std::uint32_t kLzw = 5;
inline constexpr std::uint32_t kPackBits = 32773;

inline constexpr std::uint32_t kWhiteIsZero = 0;
inline constexpr std::uint32_t kBlackIsZero = 1;
inline constexpr std::uint32_t kRgb = 2;
inline constexpr std::uint32_t kPalette = 3;

inline constexpr std::uint32_t kMostSignificantBitFirst = 1;
inline constexpr std::uint32_t kLeastSignificantBitFirst = 2;
inline constexpr std::uint32_t kInterleaved = 1;
inline constexpr std::uint32_t kUnsignedSamples = 1;
inline constexpr std::uint32_t kUndefinedSamples = 4;
}  // namespace tiff

// Bytes of one row as a TIFF file stores it: packed pixels, no padding.
inline std::size_t tiffRowBytes(std::uint32_t width, std::uint32_t depth) {
    const std::uint64_t w = width;
    switch (depth) {
        case 1:
            return static_cast<std::size_t>((w + 7) / 8);
        case 4:
            return static_cast<std::size_t>((w + 1) / 2);
        case 8:
            return static_cast<std::size_t>(w);
        default:
            return static_cast<std::size_t>(3 * w);
    }
}

// n bytes of any size from the current position; returns how many were read.
std::size_t ReadTiffBytes(EngineFile& file, std::uint8_t* into, std::size_t n);

// A 16- or 32-bit value stored in the file's byte order.
inline std::uint16_t orderedU16(const std::uint8_t* p, bool bigEndian) {
    return static_cast<std::uint16_t>(bigEndian ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
}
inline std::uint32_t orderedU32(const std::uint8_t* p, bool bigEndian) {
    return bigEndian ? std::uint32_t{orderedU16(p, true)} << 16 | orderedU16(p + 2, true)
                     : std::uint32_t{orderedU16(p + 2, false)} << 16 | orderedU16(p, false);
}

// One directory entry: type, count and its value-or-offset field read both
// as two 16-bit values and as one 32-bit value.
struct TiffField {
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::uint16_t first = 0;
    std::uint16_t second = 0;
    std::uint32_t word = 0;

    // A single value: a SHORT entry of one or two values gives its first, any
    // other entry its whole 32-bit field.
    std::uint32_t value() const {
        return type == tiff::kShort && (count == 1 || count == 2) ? first : word;
    }
};

// The tags the reader takes from one image file directory, with the defaults
// every directory starts from (the format's own defaults where it has them).
struct TiffDirectory {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // Samples of different sizes (or formats) leave 0, which no layout accepts.
    std::uint32_t bitsPerSample = 0;
    std::uint32_t compression = tiff::kUncompressed;
    std::uint32_t fillOrder = tiff::kMostSignificantBitFirst;
    std::uint32_t planarConfiguration = tiff::kInterleaved;
    std::uint32_t sampleFormat = tiff::kUnsignedSamples;
    std::uint32_t photometric = 0;
    std::uint32_t samplesPerPixel = 1;
    std::uint32_t rowsPerStrip = 0;  // 0 when absent: one strip holds every row
    std::uint32_t minSampleValue = 0;
    bool hasMaxSampleValue = false;
    std::uint32_t maxSampleValue = 0;
    std::uint32_t predictor = 1;
    TiffField stripOffsets;
    TiffField stripByteCounts;
    bool hasColorMap = false;
    std::uint32_t colorMapOffset = 0;
    std::uint32_t colorMapEntries = 0;
};

// Walks the directory chain of a file positioned just past its header's
// magic number and reads the directory of the image number (0 and 1 both
// name the first, anything below 1 too). err::BadFile when the chain ends early,
// leaves the file, loops, holds a directory of fewer than 4 or more than
// 40 entries, or keeps its per-sample values outside the file.
ErrorNumber ReadTiffDirectory(EngineFile& file, std::int64_t fileSize, int imageNumber,
                              TiffDirectory& directory);

// Strip offsets or byte counts: held in the entry itself (one LONG, or one or
// two SHORTs) or in an array loaded from the file, of 16-bit elements for a
// SHORT entry and 32-bit elements otherwise.
class TiffStripTable {
  public:
    // Loads the array when the entry does not hold its values; err::BadFile when the
    // array lies outside the file or its memory cannot be had.
    ErrorNumber Load(EngineFile& file, const TiffField& field, std::int64_t fileSize);

    std::uint32_t size() const { return field_.count; }
    // Value i, for i below size().
    std::uint32_t operator[](std::uint32_t i) const;

  private:
    bool inlineValues() const;

    TiffField field_;
    bool bigEndian_ = false;
    std::unique_ptr<std::uint8_t[]> array_;
};

}  // namespace pm32
