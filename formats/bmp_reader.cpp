#include <algorithm>
#include <cstring>

#include "engine/diagnostics.h"
#include "engine/dib_layout.h"
#include "formats/bmp.h"
#include "formats/bmp_masked_pixels.h"
#include "formats/bmp_rle.h"
#include "formats/diagnostic_locations.h"
#include "formats/engine_file.h"
#include "formats/load_through.h"

namespace pm32 {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
// The version 4 and 5 headers add colour-space fields to the 40-byte form,
// which the engine does not use.
constexpr std::size_t kV4HeaderSize = 108;
constexpr std::size_t kV5HeaderSize = 124;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::uint16_t kBitmapType = 0x4D42;  // "BM"
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;
constexpr std::uint32_t kMaskedDepth = 32;
constexpr std::size_t kMaskBytes = 16;  // red, green, blue and alpha masks after the 40 bytes
constexpr std::size_t kRleStagingBytes = 4096;

// Uncompressed pixels are read in pieces of this size; each piece may come
// back a few bytes short, so files that end a little early still load.
constexpr std::size_t kPieceBytes = 65535;
constexpr std::size_t kPieceShortfall = 3;

// What the headers say, before anything is allocated.
struct BmpLayout {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t depth = 0;
    std::uint32_t compression = 0;
    std::uint64_t storedEntries = 0;  // colour entries the file holds
    std::size_t entryBytes = 4;       // 4 with the info header, 3 with the core header
    std::uint64_t pixelStart = 0;
    bool masked = false;  // 32-bit pixels through channel masks
    BmpMasks masks;
};

// With modern files wanted, 32-bit pixels are read through their masks: the
// default ones without compression (the fourth byte unused), else those the
// header holds (version 4 and 5) or that follow it (three, or four with an
// alpha mask).
bool readMasks(EngineFile& file, std::uint32_t headerSize, BmpLayout& layout) {
    if (layout.compression == 0) return true;
    std::uint8_t stored[kMaskBytes] = {};
    const bool withAlpha = headerSize != kInfoHeaderSize || layout.compression == kAlphaBitFields;
    const std::size_t wanted = withAlpha ? kMaskBytes : kMaskBytes - 4;
    if (file.ReadBlock(stored, wanted) != wanted) return false;
    layout.masks = {readLe32(stored), readLe32(stored + 4), readLe32(stored + 8),
                    readLe32(stored + 12)};
    return true;
}

bool takesMaskedPixels(const BmpLayout& layout, bool modern) {
    return modern && layout.depth == kMaskedDepth &&
           (layout.compression == 0 || layout.compression == kBitFields ||
            layout.compression == kAlphaBitFields);
}

ErrorNumber readHeaders(EngineFile& file, BmpLayout& layout, bool modern) {
    std::uint8_t fileHeader[kFileHeaderSize];
    if (file.ReadBlock(fileHeader, sizeof fileHeader) != sizeof fileHeader ||
        readLe16(fileHeader) != kBitmapType)
        return reportFailure(err::BadFile, location::BmpBadFileHeader);
    std::uint32_t pixelOffset = readLe32(fileHeader + 10);

    std::uint8_t header[kInfoHeaderSize];
    std::size_t got = file.ReadBlock(header, sizeof header);
    std::uint64_t headerEnd = 0;
    const std::uint32_t headerSize = got >= 4 ? readLe32(header) : 0;
    const bool extended = headerSize == kV4HeaderSize || headerSize == kV5HeaderSize;
    if (headerSize == kInfoHeaderSize || extended) {
        if (got != kInfoHeaderSize) return reportFailure(err::BadFile, location::BmpBadInfoHeader);
        std::uint16_t planes = readLe16(header + dib::kPlanes);
        std::uint16_t bitCount = readLe16(header + dib::kBitCount);
        layout.width = static_cast<std::int32_t>(readLe32(header + dib::kWidth));
        layout.height = static_cast<std::int32_t>(readLe32(header + dib::kHeight));
        // Some writers describe 16-colour images as four one-bit planes.
        layout.depth = planes == 4 && bitCount == 1 ? 4 : bitCount;
        layout.compression = readLe32(header + dib::kCompression);
        std::uint32_t used = readLe32(header + dib::kClrUsed);
        layout.storedEntries = used != 0 ? used : fullTableSize(layout.depth);
        layout.entryBytes = 4;
        headerEnd = kFileHeaderSize + headerSize;
        layout.masked = takesMaskedPixels(layout, modern);
        if (layout.masked) {
            if (!readMasks(file, headerSize, layout) ||
                !file.SeekSet(static_cast<std::int64_t>(headerEnd)))
                return reportFailure(err::BadFile, location::BmpBadInfoHeader);
        } else if (extended && (layout.compression > kRle4 || !isSupportedDepth(layout.depth) ||
                                !file.SeekSet(static_cast<std::int64_t>(headerEnd)))) {
            // Only what the 40-byte form can hold is read through the longer ones.
            return reportFailure(err::BadFile, location::BmpBadInfoHeader);
        }
    } else {
        if (!file.SeekSet(kFileHeaderSize) ||
            file.ReadBlock(header, kCoreHeaderSize) != kCoreHeaderSize ||
            readLe32(header) != kCoreHeaderSize || readLe16(header + 8) != 1)
            return reportFailure(err::BadFile, location::BmpBadInfoHeader);
        layout.width = readLe16(header + 4);
        layout.height = readLe16(header + 6);
        layout.depth = readLe16(header + 10);
        layout.storedEntries = fullTableSize(layout.depth);
        layout.entryBytes = 3;
        headerEnd = kFileHeaderSize + kCoreHeaderSize;
    }
    layout.pixelStart =
        pixelOffset != 0 ? pixelOffset : headerEnd + layout.storedEntries * layout.entryBytes;
    return 0;
}

// Fewest bytes that pass the per-piece shortfall rule for a transfer of total bytes.
std::uint64_t fewestAcceptedBytes(std::uint64_t total) {
    std::uint64_t last = total % kPieceBytes;
    if (last == 0) last = std::min<std::uint64_t>(total, kPieceBytes);
    std::uint64_t slack = last > kPieceShortfall ? kPieceShortfall : last + kPieceShortfall;
    return total > slack ? total - slack : 0;
}

// Refuses what can be known wrong from the headers and the file length
// before the image is allocated, so a tiny file cannot claim a huge block.
// Geometry the image model refuses is left to it and keeps its numbers.
ErrorNumber checkBeforeAllocation(const BmpLayout& layout, std::int64_t fileSize) {
    if (!isSupportedDepth(layout.depth) || layout.width <= 0 || layout.height <= 0) return 0;
    // Other compressions (bit fields, embedded JPEG or PNG) would come out as
    // a blank image, so they are refused rather than loaded as black.
    if (layout.compression == kRle8 || layout.compression == kRle4) return 0;
    if (layout.compression != 0) return err::BadFile;
    auto total =
        checkedMultiply(rowBytesFor(static_cast<std::uint32_t>(layout.width), layout.depth),
                        static_cast<std::uint32_t>(layout.height));
    auto size = static_cast<std::uint64_t>(std::max<std::int64_t>(fileSize, 0));
    std::uint64_t available = size > layout.pixelStart ? size - layout.pixelStart : 0;
    if (!total || available < fewestAcceptedBytes(*total)) return err::BadFile;
    return 0;
}

// Reads the stored colour entries into the image's full-size table; entries
// beyond the table are skipped and entries the file lacks stay zero.
ErrorNumber readColorTable(EngineFile& file, const BmpLayout& layout, const ZDib& image) {
    std::uint64_t entries = std::min<std::uint64_t>(layout.storedEntries, image.colorsUsed);
    if (entries == 0) return 0;
    std::uint8_t stored[256 * 4];
    std::size_t got = file.ReadBlock(stored, static_cast<std::size_t>(entries) * layout.entryBytes);
    if (got == 0) return err::BadFile;
    platform::Locked block(image.handle);
    if (!block) return reportFailure(err::InvalidPicture, location::BlockNotLocked);
    std::uint8_t* table = block.data() + dib::kHeaderSize;
    std::size_t complete = got / layout.entryBytes;
    if (layout.entryBytes == 4) {
        std::memcpy(table, stored, complete * 4);
        return 0;
    }
    for (std::size_t i = 0; i < complete; ++i) {
        std::memcpy(table + 4 * i, stored + 3 * i, 3);
        table[4 * i + 3] = 0;
    }
    return 0;
}

ErrorNumber readUncompressed(EngineFile& file, const ZDib& image) {
    platform::Locked block(image.handle);
    if (!block) return reportFailure(err::InvalidPicture, location::BlockNotLocked);
    std::uint8_t* pixels = block.data() + image.PixelOffset();
    std::size_t total = image.PixelBytes();
    for (std::size_t done = 0; done < total;) {
        std::size_t piece = std::min(kPieceBytes, total - done);
        std::size_t got = file.ReadBlock(pixels + done, piece);
        if (piece - got > kPieceShortfall) return err::BadFile;
        done += piece;
    }
    return 0;
}

ErrorNumber readCompressed(EngineFile& file, const BmpLayout& layout, const ZDib& image) {
    if (!file.SetBuffer(kRleStagingBytes))
        return reportFailure(err::OutOfMemory, location::BmpNoMemory, DiagnosticKind::Memory);
    platform::Locked block(image.handle);
    if (!block) return reportFailure(err::InvalidPicture, location::BlockNotLocked);
    BmpRle kind = layout.compression == kRle8 ? BmpRle::EightBit : BmpRle::FourBit;
    return DecodeBmpRle(file, kind, block.data() + image.PixelOffset(), image.rowBytes,
                        static_cast<std::size_t>(image.height));
}

ErrorNumber decode(EngineFile& file, ZDib& image, const ZLoadParams& params) {
    std::int64_t fileSize = file.Remaining();
    BmpLayout layout;
    if (ErrorNumber e = readHeaders(file, layout, params.modern)) return e;
    if (exceedsImageLimit(layout.width, layout.height))
        return reportFailure(err::BadArea, location::BmpTooLarge);
    if (layout.masked) {
        if (!file.SeekSet(static_cast<std::int64_t>(layout.pixelStart))) return err::BadFile;
        return DecodeMaskedPixels(file, layout.masks, layout.width, layout.height, params.backColor,
                                  image);
    }
    if (ErrorNumber e = checkBeforeAllocation(layout, fileSize)) return e;

    image.Create(layout.width, layout.height, layout.depth, 0);
    if (image.error != 0) return image.error;
    if (ErrorNumber e = readColorTable(file, layout, image)) return e;
    if (!file.SeekSet(static_cast<std::int64_t>(layout.pixelStart))) return err::BadFile;
    if (layout.compression == 0) return readUncompressed(file, image);
    return readCompressed(file, layout, image);
}

}  // namespace

void LoadBMP(ZDib& image, const std::string& path, const ZLoadParams& params) {
    LoadThrough(image, path, [&](EngineFile& file) { return decode(file, image, params); });
}

void LoadBMP(ZDib& image, const std::string& path) { LoadBMP(image, path, ZLoadParams{}); }

}  // namespace pm32
