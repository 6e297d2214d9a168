#include "formats/pcx.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "engine/diagnostics.h"
#include "engine/dib_layout.h"
#include "formats/diagnostic_locations.h"
#include "formats/engine_file.h"
#include "formats/load_through.h"
#include "formats/pcx_rle.h"

namespace pm32 {
namespace {

constexpr std::size_t kHeaderBytes = 128;
constexpr std::size_t kReadStagingBytes = 8192;
constexpr std::size_t kWriteStagingBytes = 4096;
constexpr std::uint8_t kPaletteMarker = 12;
constexpr std::size_t kPaletteBytes = 768;
constexpr std::size_t kHeaderColors = 16;

// A count of 63 in two bytes is the most that run-length data can stand for.
constexpr std::uint64_t kMostBytesPerDataByte = 32;

// Byte offsets of the header fields.
namespace field {
constexpr std::size_t kManufacturer = 0;
constexpr std::size_t kVersion = 1;
constexpr std::size_t kEncoding = 2;
constexpr std::size_t kBits = 3;
constexpr std::size_t kXMin = 4;
constexpr std::size_t kYMin = 6;
constexpr std::size_t kXMax = 8;
constexpr std::size_t kYMax = 10;
constexpr std::size_t kHorizontalDpi = 12;
constexpr std::size_t kVerticalDpi = 14;
constexpr std::size_t kColorMap = 16;
constexpr std::size_t kPlanes = 65;
constexpr std::size_t kBytesPerLine = 66;
constexpr std::size_t kPaletteInfo = 68;
}  // namespace field

// What the header says, before anything is allocated.
struct PcxLayout {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t depth = 0;
    std::uint32_t planes = 0;
    std::size_t bytesPerLine = 0;
    std::uint8_t version = 0;
    std::uint16_t paletteInfo = 0;
};

ErrorNumber parseHeader(const std::uint8_t* h, PcxLayout& layout) {
    std::uint8_t bits = h[field::kBits];
    std::uint32_t planes = h[field::kPlanes] == 0 ? 1 : h[field::kPlanes];
    bool packed = planes == 1 && (bits == 1 || bits == 4 || bits == 8);
    bool threePlanes = planes == 3 && bits == 8;
    layout.version = h[field::kVersion];
    if (layout.version >= 6 || !(packed || threePlanes))
        return reportFailure(err::BadFile, location::PcxBadHeader);
    layout.width = readLe16(h + field::kXMax) - readLe16(h + field::kXMin) + 1;
    layout.height = readLe16(h + field::kYMax) - readLe16(h + field::kYMin) + 1;
    layout.depth = bits * planes;
    layout.planes = planes;
    layout.bytesPerLine = readLe16(h + field::kBytesPerLine);
    layout.paletteInfo = readLe16(h + field::kPaletteInfo);
    return 0;
}

// Refuses, before the image is allocated, lines too short for the width and
// data that cannot fill the lines it describes, so a tiny file cannot claim a
// huge block. Geometry that image creation refuses keeps its number.
ErrorNumber checkBeforeAllocation(const PcxLayout& layout, std::int64_t fileSize) {
    if (layout.width <= 0 || layout.height <= 0) return 0;
    auto width = static_cast<std::uint64_t>(layout.width);
    std::uint64_t bitsPerPlane = layout.depth / layout.planes;
    if (layout.bytesPerLine < (width * bitsPerPlane + 7) / 8)
        return reportFailure(err::BadFile, location::PcxBadHeader);
    auto lineBytes = checkedMultiply(layout.planes, layout.bytesPerLine);
    auto needed = lineBytes ? checkedMultiply(*lineBytes, static_cast<std::uint64_t>(layout.height))
                            : std::nullopt;
    auto data = static_cast<std::uint64_t>(
        std::max<std::int64_t>(fileSize - std::int64_t{kHeaderBytes}, 0));
    auto most = checkedMultiply(data, kMostBytesPerDataByte);
    if (!needed || !most || *needed > *most)
        return reportFailure(err::BadFile, location::PcxTooShort);
    return 0;
}

// The three planes of a line become the red, green and blue bytes of the
// row, which holds blue, green, red. Nothing is read past a plane's end.
void spreadPlanes(const std::uint8_t* line, std::size_t bytesPerLine, std::size_t width,
                  std::uint8_t* row) {
    const std::uint8_t* red = line;
    const std::uint8_t* green = line + bytesPerLine;
    const std::uint8_t* blue = line + 2 * bytesPerLine;
    for (std::size_t x = 0; x < std::min(width, bytesPerLine); ++x) {
        row[3 * x] = blue[x];
        row[3 * x + 1] = green[x];
        row[3 * x + 2] = red[x];
    }
}

ErrorNumber readRows(EngineFile& file, const PcxLayout& layout, const ZDib& image) {
    if (!file.SetBuffer(kReadStagingBytes))
        return reportFailure(err::OutOfMemory, location::PcxReadNoMemory, DiagnosticKind::Memory);
    const std::size_t bytesPerLine = layout.bytesPerLine;
    auto lineBytes = checkedMultiply(layout.planes, bytesPerLine);
    std::unique_ptr<std::uint8_t[]> line(lineBytes ? new (std::nothrow) std::uint8_t[*lineBytes]
                                                   : nullptr);
    if (!line)
        return reportFailure(err::OutOfMemory, location::PcxReadNoMemory, DiagnosticKind::Memory);
    platform::Locked block(image.handle);
    if (!block) return reportFailure(err::InvalidPicture, location::BlockNotLocked);
    std::uint8_t* pixels = block.data() + image.PixelOffset();
    const auto width = static_cast<std::size_t>(image.width);
    const std::size_t packedBytes = std::min((width * image.depth + 7) / 8, bytesPerLine);

    for (std::int32_t y = image.height - 1; y >= 0; --y) {
        for (std::uint32_t plane = 0; plane < layout.planes; ++plane) {
            if (!DecodePcxLine(file, {line.get() + plane * bytesPerLine, bytesPerLine}))
                return reportFailure(err::BadFile, location::PcxBadLine);
        }
        std::uint8_t* row = pixels + static_cast<std::size_t>(y) * image.rowBytes;
        if (image.depth == 24)
            spreadPlanes(line.get(), bytesPerLine, width, row);
        else
            std::memcpy(row, line.get(), packedBytes);
    }
    return 0;
}

// The 256-colour trailer: the marker 769 bytes before the end, then red,
// green, blue triples. Missing or damaged, the header colours stand.
void readTrailerColors(EngineFile& file, std::int64_t fileSize, PALETTEENTRY* table) {
    std::int64_t marker = fileSize - static_cast<std::int64_t>(1 + kPaletteBytes);
    if (marker < static_cast<std::int64_t>(kHeaderBytes) || !file.SeekSet(marker) ||
        file.ReadByte() != kPaletteMarker)
        return;
    std::uint8_t rgb[kPaletteBytes];
    if (file.ReadBlock(rgb, sizeof rgb) != sizeof rgb) return;
    for (std::size_t i = 0; i < 256; ++i)
        table[i] = {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2], 0};
}

void setColors(EngineFile& file, const std::uint8_t* header, const PcxLayout& layout,
               std::int64_t fileSize, ZDib& image) {
    PALETTEENTRY table[256] = {};
    const std::uint8_t* map = header + field::kColorMap;
    for (std::size_t i = 0; i < kHeaderColors; ++i)
        table[i] = {map[3 * i], map[3 * i + 1], map[3 * i + 2], 0};
    if (layout.depth == 1 && layout.paletteInfo == 0) {
        table[0] = {0, 0, 0, 0};
        table[1] = {255, 255, 255, 0};
    }
    // Only 8-bit images have a trailer; a smaller depth's data could hold the
    // marker byte by chance.
    if (layout.depth == 8 && layout.version == 5) readTrailerColors(file, fileSize, table);
    image.SetPalette(std::span(table, image.colorsUsed), true);
}

ErrorNumber decode(EngineFile& file, ZDib& image) {
    const std::int64_t fileSize = file.Remaining();
    std::uint8_t header[kHeaderBytes];
    if (file.ReadBlock(header, sizeof header) != sizeof header)
        return reportFailure(err::BadFile, location::PcxBadHeader);
    PcxLayout layout;
    if (ErrorNumber e = parseHeader(header, layout)) return e;
    if (exceedsImageLimit(layout.width, layout.height))
        return reportFailure(err::BadArea, location::PcxTooLarge);
    if (ErrorNumber e = checkBeforeAllocation(layout, fileSize)) return e;

    image.Create(layout.width, layout.height, layout.depth, 0);
    if (image.error != 0) return image.error;
    if (ErrorNumber e = readRows(file, layout, image)) return e;
    if (image.depth != 24) setColors(file, header, layout, fileSize, image);
    return 0;
}

// How an image is laid out in the file.
struct PcxShape {
    std::size_t rowBytes = 0;  // packed pixel bytes of one plane
    std::size_t bytesPerLine = 0;
    std::uint8_t bits = 0;
    std::uint8_t planes = 0;
    std::uint8_t version = 0;
};

// Refuses what cannot be written before the file is touched: a depth PCX
// does not hold, a record whose block is smaller than it claims, and sizes
// the 16-bit header fields cannot describe.
ErrorNumber shapeFor(const ZDib& image, const platform::Locked& block, PcxShape& shape) {
    if (!isSupportedDepth(image.depth) || !block || image.width <= 0 || image.height <= 0 ||
        image.rowBytes != rowBytesFor(static_cast<std::uint32_t>(image.width), image.depth))
        return reportFailure(err::InvalidPicture, location::PcxBadPicture);
    auto extent =
        dibBlockSize(image.colorsUsed, image.rowBytes, static_cast<std::uint32_t>(image.height));
    const auto width = static_cast<std::size_t>(image.width);
    shape.rowBytes = image.depth == 24 ? width : (width * image.depth + 7) / 8;
    shape.bytesPerLine = (shape.rowBytes + 1) & ~std::size_t{1};
    if (!extent || *extent > block.size() || width > 0x10000 || image.height > 0x10000 ||
        shape.bytesPerLine > 0xFFFF)
        return reportFailure(err::InvalidPicture, location::PcxBadPicture);
    shape.bits = static_cast<std::uint8_t>(image.depth == 24 ? 8 : image.depth);
    shape.planes = image.depth == 24 ? 3 : 1;
    shape.version = image.depth == 1 ? 0 : image.depth == 4 ? 2 : 5;
    return 0;
}

void buildHeader(const ZDib& image, const PcxShape& shape, const PALETTEENTRY* table,
                 std::uint8_t* h) {
    std::memset(h, 0, kHeaderBytes);
    h[field::kManufacturer] = 10;
    h[field::kVersion] = shape.version;
    h[field::kEncoding] = 1;
    h[field::kBits] = shape.bits;
    writeLe16(h + field::kXMax, static_cast<std::uint16_t>(image.width - 1));
    writeLe16(h + field::kYMax, static_cast<std::uint16_t>(image.height - 1));
    writeLe16(h + field::kHorizontalDpi, 100);
    writeLe16(h + field::kVerticalDpi, 100);
    std::size_t headerColors = image.depth == 1 ? 2 : image.depth == 4 ? kHeaderColors : 0;
    std::uint8_t* map = h + field::kColorMap;
    for (std::size_t i = 0; i < headerColors; ++i) {
        map[3 * i] = table[i].peRed;
        map[3 * i + 1] = table[i].peGreen;
        map[3 * i + 2] = table[i].peBlue;
    }
    h[field::kPlanes] = shape.planes;
    writeLe16(h + field::kBytesPerLine, static_cast<std::uint16_t>(shape.bytesPerLine));
    writeLe16(h + field::kPaletteInfo, 1);
    // The screen size fields stay 0 ("unknown"): there is no display to describe.
}

ErrorNumber writeRows(EngineFile& file, const ZDib& image, const PcxShape& shape,
                      const std::uint8_t* pixels) {
    const std::size_t bytesPerLine = shape.bytesPerLine;
    // The line, then room for it coded: at worst two bytes for each.
    auto workBytes = checkedMultiply(3, bytesPerLine);
    std::unique_ptr<std::uint8_t[]> work(workBytes ? new (std::nothrow) std::uint8_t[*workBytes]
                                                   : nullptr);
    if (!work)
        return reportFailure(err::OutOfMemory, location::PcxWriteNoMemory, DiagnosticKind::Memory);
    std::uint8_t* line = work.get();
    std::uint8_t* coded = line + bytesPerLine;
    std::fill(line + shape.rowBytes, line + bytesPerLine, 0);
    const auto width = static_cast<std::size_t>(image.width);

    for (std::int32_t y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * image.rowBytes;
        for (std::size_t plane = 0; plane < shape.planes; ++plane) {
            if (image.depth == 24) {
                const std::uint8_t* channel = row + 2 - plane;  // red, green, blue
                for (std::size_t x = 0; x < width; ++x) line[x] = channel[3 * x];
            } else {
                std::memcpy(line, row, shape.rowBytes);
            }
            std::size_t n = EncodePcxLine({line, bytesPerLine}, coded);
            if (!file.WriteBlock(coded, n))
                return reportFailure(err::WriteFailed, location::PcxWriteFailed);
        }
    }
    return 0;
}

ErrorNumber writeTrailerColors(EngineFile& file, const PALETTEENTRY* table) {
    std::uint8_t trailer[1 + kPaletteBytes];
    trailer[0] = kPaletteMarker;
    for (std::size_t i = 0; i < 256; ++i) {
        trailer[1 + 3 * i] = table[i].peRed;
        trailer[2 + 3 * i] = table[i].peGreen;
        trailer[3 + 3 * i] = table[i].peBlue;
    }
    if (!file.WriteBlock(trailer, sizeof trailer))
        return reportFailure(err::WriteFailed, location::PcxWriteFailed);
    return 0;
}

ErrorNumber store(const ZDib& image, const std::string& path) {
    platform::Locked block(image.handle);
    PcxShape shape;
    if (ErrorNumber e = shapeFor(image, block, shape)) return e;
    PALETTEENTRY table[256] = {};
    image.GetPalette(table);
    std::uint8_t header[kHeaderBytes];
    buildHeader(image, shape, table, header);

    EngineFile file;
    if (!file.OpenReplace(path)) return reportFailure(err::WriteFailed, location::PcxCreateFailed);
    if (!file.SetBuffer(kWriteStagingBytes))
        return reportFailure(err::OutOfMemory, location::PcxWriteNoMemory, DiagnosticKind::Memory);
    if (!file.WriteBlock(header, sizeof header))
        return reportFailure(err::WriteFailed, location::PcxWriteFailed);
    if (ErrorNumber e = writeRows(file, image, shape, block.data() + image.PixelOffset())) return e;
    if (image.depth == 8) {
        if (ErrorNumber e = writeTrailerColors(file, table)) return e;
    }
    if (!file.Commit()) return reportFailure(err::WriteFailed, location::PcxWriteFailed);
    return 0;
}

}  // namespace

void LoadPCX(ZDib& image, const std::string& path) {
    LoadThrough(image, path, [&](EngineFile& file) { return decode(file, image); });
}

void StorePCX(ZDib& image, const std::string& path) { image.error = store(image, path); }

}  // namespace pm32
