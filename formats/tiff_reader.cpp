#include <algorithm>
#include <cstring>
#include <new>
#include <span>

#include "engine/diagnostics.h"
#include "engine/dib_layout.h"
#include "formats/bit_order.h"
#include "formats/diagnostic_locations.h"
#include "formats/engine_file.h"
#include "formats/load_through.h"
#include "formats/picture_rows.h"
#include "formats/tiff.h"
#include "formats/tiff_directory.h"
#include "formats/tiff_library.h"
#include "formats/tiff_lzw.h"

namespace pm32 {
namespace {

constexpr std::size_t kStagingBytes = 32768;
constexpr std::size_t kMostLzwStripBytes = 32768;
constexpr std::size_t kLzwOutputBytes = 65536;

// A file with a preview carries this marker at offset 8 and the preview's
// PackBits rows from offset 14.
constexpr char kPreviewMarker[4] = {'I', 'F', 'S', '1'};
constexpr std::int64_t kPreviewMarkerOffset = 8;
constexpr std::uint32_t kPreviewStripOffset = 14;
constexpr std::int32_t kPreviewWidth = 106;
constexpr std::int32_t kPreviewHeight = 80;
constexpr std::uint32_t kPreviewDepth = 4;

bool readHeader(EngineFile& file) {
    const int first = file.ReadByte();
    const int second = file.ReadByte();
    return first >= 0 && second >= 0 &&
           file.SetByteOrder(static_cast<std::uint16_t>(first << 8 | second)) &&
           file.ReadU16() == tiff::kMagic && !file.ShortRead();
}

// Looks for the preview marker and leaves the file at the first directory's offset.
bool findPreview(EngineFile& file) {
    std::uint8_t marker[sizeof kPreviewMarker];
    const bool found = file.SeekSet(kPreviewMarkerOffset) &&
                       file.ReadBlock(marker, sizeof marker) == sizeof marker &&
                       std::memcmp(marker, kPreviewMarker, sizeof marker) == 0;
    // The value after the marker is read and not used.
    if (found) file.ReadU16();
    file.SeekSet(tiff::kFirstDirectoryField);
    return found;
}

// The image depth of an accepted sample layout, or 0. Samples are unsigned
// integers (or of undefined format); colour samples are interleaved.
std::uint32_t sampleDepth(const TiffDirectory& d) {
    const std::uint32_t bits = d.bitsPerSample;
    if (d.sampleFormat != tiff::kUnsignedSamples && d.sampleFormat != tiff::kUndefinedSamples)
        return 0;
    if (d.samplesPerPixel == 3)
        return bits == 8 && d.photometric == tiff::kRgb &&
                       d.planarConfiguration == tiff::kInterleaved
                   ? 24
                   : 0;
    if (d.samplesPerPixel != 1 || (bits != 1 && bits != 4 && bits != 8)) return 0;
    const bool grey = d.photometric == tiff::kWhiteIsZero || d.photometric == tiff::kBlackIsZero;
    return grey || (d.photometric == tiff::kPalette && d.hasColorMap) ? bits : 0;
}

// Reds, then greens, then blues, 16 bits each; the high byte is the level.
ErrorNumber readColorMap(EngineFile& file, const TiffDirectory& d, std::int64_t fileSize,
                         PALETTEENTRY* table) {
    const std::uint64_t entries = d.colorMapEntries;
    const auto bytes = checkedMultiply(entries, 6);
    const auto end = bytes ? checkedAdd(d.colorMapOffset, *bytes) : std::nullopt;
    if (!end || *end > static_cast<std::uint64_t>(fileSize))
        return reportFailure(err::BadFile, location::TiffBadColorMap);
    const auto used = static_cast<std::size_t>(std::min<std::uint64_t>(entries, 256));
    const bool bigEndian = file.ByteOrder() == EngineFile::kBigEndian;
    std::uint8_t values[2 * 256];
    for (std::uint64_t channel = 0; channel < 3; ++channel) {
        if (!file.SeekSet(static_cast<std::int64_t>(d.colorMapOffset + 2 * entries * channel)) ||
            file.ReadBlock(values, 2 * used) != 2 * used)
            return reportFailure(err::BadFile, location::TiffBadColorMap);
        for (std::size_t i = 0; i < used; ++i) {
            const auto level =
                static_cast<std::uint8_t>(orderedU16(values + 2 * i, bigEndian) >> 8);
            std::uint8_t& target = channel == 0   ? table[i].peRed
                                   : channel == 1 ? table[i].peGreen
                                                  : table[i].peBlue;
            target = level;
        }
    }
    return 0;
}

// Levels from MinSampleValue up to MaxSampleValue rise in equal integer
// steps; those at or below the minimum are black, those above the maximum
// white. A maximum at or below the minimum leaves no rising part, which is
// also what keeps the step's divisor above 0.
void greyRamp(const TiffDirectory& d, PALETTEENTRY* table) {
    const std::uint32_t entries = 1u << d.bitsPerSample;
    const std::uint32_t low = d.minSampleValue;
    const std::uint32_t high = d.hasMaxSampleValue ? d.maxSampleValue : entries - 1;
    for (std::uint32_t e = 0; e < entries; ++e) {
        std::uint32_t level = 255;
        if (e <= low)
            level = 0;
        else if (e <= high)
            level = (e - low) * (255 / (high - low));
        if (d.photometric == tiff::kWhiteIsZero) level = 255 - level;
        const auto byte = static_cast<std::uint8_t>(level);
        table[e] = {byte, byte, byte, 0};
    }
}

ErrorNumber setColors(EngineFile& file, const TiffDirectory& d, std::int64_t fileSize,
                      ZDib& image) {
    if (d.photometric == tiff::kRgb) return 0;
    PALETTEENTRY table[256] = {};
    if (d.photometric == tiff::kPalette) {
        if (ErrorNumber e = readColorMap(file, d, fileSize, table)) return e;
    } else {
        greyRamp(d, table);
    }
    image.SetPalette(std::span(table, image.colorsUsed), true);
    return 0;
}

// Fills the picture from its top row down, one file row at a time.
class RowFiller {
  public:
    RowFiller(const PictureRows& rows, std::uint32_t height, std::size_t rowBytes, bool rgb)
        : rows_(rows), height_(height), rowBytes_(rowBytes), rgb_(rgb) {}

    bool full() const { return next_ == height_; }
    std::uint32_t filled() const { return next_; }
    std::uint8_t* target() const { return rows_.row(next_); }

    // The target row holds its file bytes; RGB samples become the image's BGR.
    void advance() {
        if (rgb_) {
            std::uint8_t* p = target();
            for (std::size_t i = 0; i + 2 < rowBytes_; i += 3) std::swap(p[i], p[i + 2]);
        }
        ++next_;
    }

    void put(const std::uint8_t* row) {
        std::memcpy(target(), row, rowBytes_);
        advance();
    }

    std::size_t rowBytes() const { return rowBytes_; }

  private:
    const PictureRows& rows_;
    std::uint32_t height_;
    std::size_t rowBytes_;
    bool rgb_;
    std::uint32_t next_ = 0;
};

// Where the strips are, how many rows each holds, and whether their bytes
// were stored least significant bit first.
struct Strips {
    TiffStripTable offsets;
    TiffStripTable byteCounts;
    std::uint32_t rowsPerStrip = 0;
    bool reversedBits = false;
};

ErrorNumber readUncompressed(EngineFile& file, const Strips& strips, RowFiller& rows) {
    for (std::uint32_t s = 0; s < strips.offsets.size() && !rows.full(); ++s) {
        if (!file.SeekSet(strips.offsets[s]))
            return reportFailure(err::BadFile, location::TiffBadStripData);
        for (std::uint32_t r = 0; r < strips.rowsPerStrip && !rows.full(); ++r) {
            if (ReadTiffBytes(file, rows.target(), rows.rowBytes()) != rows.rowBytes())
                return reportFailure(err::BadFile, location::TiffBadStripData);
            if (strips.reversedBits) reverseBits(std::span(rows.target(), rows.rowBytes()));
            rows.advance();
        }
    }
    return 0;
}

// One row of PackBits runs: n below 128 copies n + 1 bytes, n above 128
// repeats the next byte 257 - n times, 128 does nothing. What the last run
// produces beyond the row is dropped. Reversed bits apply to every stored
// byte, the run headers included.
bool unpackRow(EngineFile& file, std::uint8_t* row, std::size_t rowBytes, bool reversed) {
    auto readByte = [&] {
        const int byte = file.ReadByte();
        return byte < 0 || !reversed ? byte : reversedBits(static_cast<std::uint8_t>(byte));
    };
    std::uint8_t literal[128];
    std::size_t done = 0;
    while (done < rowBytes) {
        const int control = readByte();
        if (control < 0) return false;
        if (control < 128) {
            const std::size_t n = static_cast<std::size_t>(control) + 1;
            const std::size_t kept = std::min(n, rowBytes - done);
            if (file.ReadBlock(literal, n) != n) return false;
            if (reversed) reverseBits(std::span(literal, kept));
            std::memcpy(row + done, literal, kept);
            done += kept;
        } else if (control > 128) {
            const int value = readByte();
            if (value < 0) return false;
            const std::size_t kept = std::min<std::size_t>(257 - control, rowBytes - done);
            std::memset(row + done, value, kept);
            done += kept;
        }
    }
    return true;
}

ErrorNumber readPackBits(EngineFile& file, const Strips& strips, RowFiller& rows) {
    for (std::uint32_t s = 0; s < strips.offsets.size() && !rows.full(); ++s) {
        if (!file.SeekSet(strips.offsets[s]))
            return reportFailure(err::BadFile, location::TiffBadStripData);
        for (std::uint32_t r = 0; r < strips.rowsPerStrip && !rows.full(); ++r) {
            if (!unpackRow(file, rows.target(), rows.rowBytes(), strips.reversedBits))
                return reportFailure(err::BadFile, location::TiffBadStripData);
            rows.advance();
        }
    }
    return 0;
}

// Each strip decodes on its own; one that fails adds no rows and the next
// continues at the first unfilled row. When no strip gives a row the file
// is refused rather than loaded as a blank picture.
ErrorNumber readLzw(EngineFile& file, const Strips& strips, std::uint32_t height, RowFiller& rows) {
    if (strips.byteCounts.size() < strips.offsets.size())
        return reportFailure(err::BadFile, location::TiffBadStripTable);
    // Room for the larger of the usual strip buffer and one whole strip, so a
    // strip of many rows is not cut short.
    const auto stripBytes = checkedMultiply(std::min(strips.rowsPerStrip, height), rows.rowBytes());
    if (!stripBytes)
        return reportFailure(err::OutOfMemory, location::TiffReadNoMemory, DiagnosticKind::Memory);
    const auto outputBytes = std::max(kLzwOutputBytes, static_cast<std::size_t>(*stripBytes));
    std::unique_ptr<std::uint8_t[]> compressed(new (std::nothrow) std::uint8_t[kMostLzwStripBytes]);
    std::unique_ptr<std::uint8_t[]> output(new (std::nothrow) std::uint8_t[outputBytes]);
    if (!compressed || !output)
        return reportFailure(err::OutOfMemory, location::TiffReadNoMemory, DiagnosticKind::Memory);

    for (std::uint32_t s = 0; s < strips.offsets.size() && !rows.full(); ++s) {
        const std::uint32_t count = strips.byteCounts[s];
        if (count > kMostLzwStripBytes || !file.SeekSet(strips.offsets[s]) ||
            file.ReadBlock(compressed.get(), count) != count)
            return reportFailure(err::BadFile, location::TiffBadStripData);
        if (strips.reversedBits) reverseBits(std::span(compressed.get(), count));
        const std::size_t decoded =
            TiffLzwDecode(std::span(compressed.get(), count), std::span(output.get(), outputBytes));
        for (std::size_t r = 0; r + rows.rowBytes() <= decoded && !rows.full();
             r += rows.rowBytes())
            rows.put(output.get() + r);
    }
    return rows.filled() == 0 ? reportFailure(err::BadFile, location::TiffBadStripData) : 0;
}

ErrorNumber decodeStrips(EngineFile& file, std::uint32_t compression, const Strips& strips,
                         ZDib& image) {
    if (compression == tiff::kPackBits && image.depth == 24)
        return reportFailure(err::OperationFailure, location::TiffPackBitsDepth);
    PictureRows picture(image);
    if (picture.error() != 0) return picture.error();
    const auto height = static_cast<std::uint32_t>(image.height);
    RowFiller rows(picture, height,
                   tiffRowBytes(static_cast<std::uint32_t>(image.width), image.depth),
                   image.depth == 24);
    switch (compression) {
        case tiff::kUncompressed:
            return readUncompressed(file, strips, rows);
        case tiff::kPackBits:
            return readPackBits(file, strips, rows);
        default:
            return readLzw(file, strips, height, rows);
    }
}

// A refusal of a form this reader does not know, as against a damaged file.
// With a hand-over wanted it is only noted, for libtiff to try the file.
ErrorNumber refuseForm(ErrorNumber number, int location, bool* handOver) {
    if (handOver == nullptr) return reportFailure(number, location);
    *handOver = true;
    return number;
}

ErrorNumber load(EngineFile& file, ZDib& image, int imageNumber, bool* handOver) {
    const std::int64_t fileSize = file.Remaining();
    if (!file.SetBuffer(kStagingBytes))
        return reportFailure(err::OutOfMemory, location::TiffReadNoMemory, DiagnosticKind::Memory);
    if (!readHeader(file)) {
        // BigTIFF's 64-bit offsets are a form of its own, not a damaged file.
        const bool big = file.SeekSet(2) && file.ReadU16() == tiff::kBigMagic && !file.ShortRead();
        return big ? refuseForm(err::BadFile, location::TiffBadHeader, handOver)
                   : reportFailure(err::BadFile, location::TiffBadHeader);
    }
    const bool preview = imageNumber == -1 && findPreview(file);

    TiffDirectory d;
    if (ErrorNumber e = ReadTiffDirectory(file, fileSize, imageNumber, d)) return e;
    if (d.compression != tiff::kUncompressed && d.compression != tiff::kLzw &&
        d.compression != tiff::kPackBits)
        return refuseForm(
            imageNumber < 0 ? err::NegativeImageNumber : err::TiffCompressionUnsupported,
            location::TiffBadCompression, handOver);
    const std::uint32_t depth = sampleDepth(d);
    if (d.predictor != 1 || depth == 0)
        return refuseForm(err::BadFile, location::TiffBadLayout, handOver);
    // Tiled files have no strips.
    if (!preview && d.stripOffsets.count == 0 && handOver != nullptr)
        return refuseForm(err::BadFile, location::TiffBadStripTable, handOver);

    if (exceedsImageLimit(d.width, d.height))
        return reportFailure(err::BadArea, location::TiffBadSize);
    if (preview)
        image.Create(kPreviewWidth, kPreviewHeight, kPreviewDepth, 0);
    else
        image.Create(static_cast<std::int32_t>(d.width), static_cast<std::int32_t>(d.height), depth,
                     0);
    if (image.error != 0) return image.error;

    Strips strips;
    TiffField offsets = d.stripOffsets;
    std::uint32_t compression = d.compression;
    strips.rowsPerStrip = d.rowsPerStrip;
    strips.reversedBits = !preview && d.fillOrder == tiff::kLeastSignificantBitFirst;
    if (preview) {
        offsets = {tiff::kLong, 1, 0, 0, kPreviewStripOffset};
        compression = tiff::kPackBits;
        strips.rowsPerStrip = kPreviewHeight;
    }
    if (ErrorNumber e = strips.offsets.Load(file, offsets, fileSize)) return e;
    if (strips.offsets.size() == 0) return reportFailure(err::BadFile, location::TiffBadStripTable);
    if (compression == tiff::kLzw) {
        if (ErrorNumber e = strips.byteCounts.Load(file, d.stripByteCounts, fileSize)) return e;
    }
    // RowsPerStrip absent (or 0, which holds no rows) means one strip holds them all.
    if (strips.rowsPerStrip == 0) strips.rowsPerStrip = static_cast<std::uint32_t>(image.height);

    if (ErrorNumber e = setColors(file, d, fileSize, image)) return e;
    return decodeStrips(file, compression, strips, image);
}

}  // namespace

void LoadTIFF(ZDib& image, const std::string& path, int imageNumber, const ZLoadParams& params) {
    bool handOver = false;
    LoadThrough(image, path, [&](EngineFile& file) {
        // A negative number asks for the preview, which only this reader knows.
        const bool mayHandOver = params.modern && imageNumber >= 0;
        return load(file, image, imageNumber, mayHandOver ? &handOver : nullptr);
    });
    if (!handOver) return;
    const ErrorNumber refused = image.error;
    LoadWhole(image, [&] {
        return ReadTiffThroughLibrary(path, imageNumber, params.backColor, refused, image);
    });
}

void LoadTIFF(ZDib& image, const std::string& path, int imageNumber) {
    LoadTIFF(image, path, imageNumber, ZLoadParams{});
}

}  // namespace pm32
