#include "formats/targa.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "engine/diagnostics.h"
#include "engine/dib_layout.h"
#include "formats/diagnostic_locations.h"
#include "formats/load_through.h"
#include "formats/targa_file.h"
#include "platform/replacement_file.h"

namespace pm32 {
namespace {

constexpr std::size_t kHeaderBytes = 18;
constexpr std::uint8_t kColorMapped = 1;
constexpr std::uint8_t kTrueColor = 2;
constexpr std::uint8_t kColorMappedRle = 9;
constexpr std::uint8_t kTrueColorRle = 10;
constexpr std::uint8_t kTopDown = 0x20;
constexpr std::uint8_t kRightToLeft = 0x10;
constexpr std::uint8_t kRunPacket = 0x80;
constexpr std::size_t kLongestPacket = 128;
constexpr std::size_t kMapEntries = 256;

// Byte offsets of the header fields.
namespace field {
constexpr std::size_t kIdLength = 0;
constexpr std::size_t kMapType = 1;
constexpr std::size_t kImageType = 2;
constexpr std::size_t kMapFirst = 3;
constexpr std::size_t kMapLength = 5;
constexpr std::size_t kMapEntrySize = 7;
constexpr std::size_t kWidth = 12;
constexpr std::size_t kHeight = 14;
constexpr std::size_t kPixelDepth = 16;
constexpr std::size_t kDescriptor = 17;
}  // namespace field

// What the header says, before anything is allocated.
struct TgaLayout {
    std::uint8_t idLength = 0;
    std::uint8_t type = 0;
    std::uint16_t mapFirst = 0;
    std::uint16_t mapLength = 0;
    std::uint8_t mapEntrySize = 0;
    std::uint64_t mapBytes = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t pixelDepth = 0;
    std::uint8_t descriptor = 0;

    bool colorMapped() const { return type == kColorMapped || type == kColorMappedRle; }
    bool compressed() const { return type == kColorMappedRle || type == kTrueColorRle; }
    std::size_t pixelBytes() const { return pixelDepth / 8u; }
    std::size_t mapEntryBytes() const { return (mapEntrySize + 7u) / 8u; }
    std::uint32_t bitCount() const { return colorMapped() ? 8 : 24; }
};

// Five bits widened to eight, so 31 becomes 255.
std::uint8_t widen5(unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); }

// A 16-bit pixel or map entry (blue in bits 0-4, green 5-9, red 10-14) as
// blue, green, red bytes.
void widen16(const std::uint8_t* stored, std::uint8_t* bgr) {
    unsigned v = readLe16(stored);
    bgr[0] = widen5(v & 0x1F);
    bgr[1] = widen5((v >> 5) & 0x1F);
    bgr[2] = widen5((v >> 10) & 0x1F);
}

ErrorNumber parseHeader(const std::uint8_t* h, TgaLayout& layout) {
    layout.idLength = h[field::kIdLength];
    layout.type = h[field::kImageType];
    layout.mapFirst = readLe16(h + field::kMapFirst);
    layout.mapLength = readLe16(h + field::kMapLength);
    layout.mapEntrySize = h[field::kMapEntrySize];
    layout.width = readLe16(h + field::kWidth);
    layout.height = readLe16(h + field::kHeight);
    layout.pixelDepth = h[field::kPixelDepth];
    layout.descriptor = h[field::kDescriptor];
    bool knownType = layout.type == kColorMapped || layout.type == kTrueColor ||
                     layout.type == kColorMappedRle || layout.type == kTrueColorRle;
    auto mapBytes = checkedMultiply(layout.mapLength, layout.mapEntryBytes());
    std::uint8_t depth = layout.pixelDepth;
    // Colour-mapped files index with 8-bit pixels; true colour needs more.
    bool depthFits = layout.colorMapped() ? depth == 8 : depth == 16 || depth == 24 || depth == 32;
    if (!knownType || layout.width < 2 || layout.height < 2 || !depthFits || !mapBytes)
        return reportFailure(err::BadFile, location::TargaBadHeader);
    if (exceedsImageLimit(layout.width, layout.height))
        return reportFailure(err::BadArea, location::TargaTooLarge);
    layout.mapBytes = *mapBytes;
    if (!layout.colorMapped()) return 0;
    std::uint8_t entry = layout.mapEntrySize;
    bool entryKnown = entry == 15 || entry == 16 || entry == 24 || entry == 32;
    if (layout.mapLength < 1 || layout.mapFirst + layout.mapLength > kMapEntries || !entryKnown)
        return reportFailure(err::BadFile, location::TargaBadColorMap);
    return 0;
}

// Refuses a file too short to hold what its header describes before the
// image is allocated: all pixels when stored plainly, one run packet per
// 128 pixels when run-length coded.
ErrorNumber checkLength(const TgaLayout& layout, std::optional<std::uint64_t> fileSize) {
    auto pixels = checkedMultiply(layout.width, layout.height);
    std::optional<std::uint64_t> data;
    if (pixels && layout.compressed())
        data = checkedMultiply((*pixels + kLongestPacket - 1) / kLongestPacket,
                               1 + layout.pixelBytes());
    else if (pixels)
        data = checkedMultiply(*pixels, layout.pixelBytes());
    auto ahead = checkedAdd(kHeaderBytes + layout.idLength, layout.mapBytes);
    auto needed = ahead && data ? checkedAdd(*ahead, *data) : std::nullopt;
    if (!fileSize || !needed || *fileSize < *needed)
        return reportFailure(err::BadFile, location::TargaTooShort);
    return 0;
}

// Allocates the image's block and writes its header; the record owns the
// block from here on, so any later failure frees it with the record.
ErrorNumber allocateBlock(const TgaLayout& layout, ZDib& image) {
    std::uint32_t bitCount = layout.bitCount();
    std::uint32_t colors = layout.colorMapped() ? kMapEntries : 0;
    std::uint64_t rowBytes = rowBytesFor(layout.width, bitCount);
    auto pixelBytes = checkedMultiply(rowBytes, layout.height);
    auto size = dibBlockSize(colors, rowBytes, layout.height);
    if (!pixelBytes || !size || *size > platform::BlockSizeLimit())
        return reportFailure(err::BadFile, location::TargaNoMemory, DiagnosticKind::Memory);
    HGLOBAL block = platform::GlobalAlloc(
        platform::GMEM_MOVEABLE | platform::GMEM_ZEROINIT | platform::GMEM_DDESHARE,
        static_cast<std::size_t>(*size));
    if (block == 0)
        return reportFailure(err::BadFile, location::TargaNoMemory, DiagnosticKind::Memory);
    image.handle = block;
    image.owns = true;

    platform::Locked locked(block);
    if (!locked) return reportFailure(err::BadFile, location::BlockNotLocked);
    std::uint8_t* h = locked.data();
    writeLe32(h + dib::kSize, dib::kHeaderSize);
    writeLe32(h + dib::kWidth, layout.width);
    writeLe32(h + dib::kHeight, layout.height);
    writeLe16(h + dib::kPlanes, 1);
    writeLe16(h + dib::kBitCount, static_cast<std::uint16_t>(bitCount));
    writeLe32(h + dib::kSizeImage, static_cast<std::uint32_t>(*pixelBytes));
    writeLe32(h + dib::kClrUsed, colors);
    writeLe32(h + dib::kClrImportant, colors);
    return 0;
}

// Reads the colour map into the block's table from the first-entry index on;
// entries it does not cover stay black.
ErrorNumber readColorMap(TargaFile& file, const TgaLayout& layout, const ZDib& image) {
    std::uint8_t stored[kMapEntries * 4];
    std::size_t entryBytes = layout.mapEntryBytes();
    if (file.Read(stored, layout.mapBytes) != layout.mapBytes)
        return reportFailure(err::BadFile, location::TargaBadColorMap);
    platform::Locked block(image.handle);
    if (!block) return reportFailure(err::BadFile, location::BlockNotLocked);
    std::uint8_t* table = block.data() + dib::kHeaderSize + 4 * std::size_t{layout.mapFirst};
    for (std::size_t i = 0; i < layout.mapLength; ++i) {
        const std::uint8_t* entry = stored + i * entryBytes;
        if (entryBytes == 2)
            widen16(entry, table + 4 * i);
        else
            std::memcpy(table + 4 * i, entry, 3);
    }
    return 0;
}

// Pixels in file order, through the packet decoder when the file is run-length
// coded. A packet's state outlives the row, so packets may cross row ends.
class PixelSource {
  public:
    PixelSource(TargaFile& file, std::size_t pixelBytes, bool compressed)
        : file_(file), pixelBytes_(pixelBytes), compressed_(compressed) {}

    // Fills width pixels of pixelBytes each; false when the data ends first.
    bool readRow(std::uint8_t* out, std::size_t width) {
        if (!compressed_) return read(out, width);
        for (std::size_t done = 0; done < width;) {
            if (left_ == 0 && !startPacket()) return false;
            std::size_t take = std::min(left_, width - done);
            std::uint8_t* target = out + done * pixelBytes_;
            if (!run_ && !read(target, take)) return false;
            for (std::size_t i = 0; run_ && i < take; ++i)
                std::memcpy(target + i * pixelBytes_, value_, pixelBytes_);
            done += take;
            left_ -= take;
        }
        return true;
    }

  private:
    bool read(std::uint8_t* out, std::size_t pixels) {
        std::size_t bytes = pixels * pixelBytes_;
        return file_.Read(out, bytes) == bytes;
    }

    bool startPacket() {
        std::uint8_t header = 0;
        if (file_.Read(&header, 1) != 1) return false;
        left_ = (header & 0x7Fu) + 1u;
        run_ = (header & kRunPacket) != 0;
        return !run_ || read(value_, 1);
    }

    TargaFile& file_;
    std::size_t pixelBytes_;
    bool compressed_;
    std::size_t left_ = 0;
    bool run_ = false;
    std::uint8_t value_[4] = {};
};

// 16- and 32-bit pixels as the row's blue, green, red bytes.
void convertRow(const std::uint8_t* stored, std::size_t pixelBytes, std::size_t width,
                std::uint8_t* row) {
    for (std::size_t x = 0; x < width; ++x) {
        if (pixelBytes == 2)
            widen16(stored + 2 * x, row + 3 * x);
        else
            std::memcpy(row + 3 * x, stored + 4 * x, 3);
    }
}

// A row stored right to left, turned into the image's left-to-right order.
void mirrorRow(std::uint8_t* row, std::size_t width, std::size_t pixelBytes) {
    for (std::size_t left = 0, right = width - 1; left < right; ++left, --right)
        std::swap_ranges(row + left * pixelBytes, row + (left + 1) * pixelBytes,
                         row + right * pixelBytes);
}

ErrorNumber readRows(TargaFile& file, const TgaLayout& layout, const ZDib& image) {
    const std::size_t pixelBytes = layout.pixelBytes();
    const std::size_t width = layout.width;
    // 8- and 24-bit pixels are stored as the rows hold them; others need a staging row.
    const bool asStored = pixelBytes == 1 || pixelBytes == 3;
    std::unique_ptr<std::uint8_t[]> staging;
    if (!asStored) {
        auto stagingBytes = checkedMultiply(width, pixelBytes);
        if (stagingBytes) staging.reset(new (std::nothrow) std::uint8_t[*stagingBytes]);
        if (!staging)
            return reportFailure(err::BadFile, location::TargaNoMemory, DiagnosticKind::Memory);
    }
    platform::Locked block(image.handle);
    if (!block) return reportFailure(err::BadFile, location::BlockNotLocked);
    const std::size_t colors = layout.colorMapped() ? kMapEntries : 0;
    std::uint8_t* pixels = block.data() + dib::kHeaderSize + 4 * colors;
    const std::size_t rowBytes = rowBytesFor(layout.width, layout.bitCount());
    const bool topDown = (layout.descriptor & kTopDown) != 0;
    const bool rightToLeft = (layout.descriptor & kRightToLeft) != 0;

    PixelSource source(file, pixelBytes, layout.compressed());
    for (std::size_t i = 0; i < layout.height; ++i) {
        std::size_t y = topDown ? layout.height - 1u - i : i;
        std::uint8_t* row = pixels + y * rowBytes;
        if (!source.readRow(asStored ? row : staging.get(), width))
            return reportFailure(err::BadFile, location::TargaTooShort);
        if (!asStored) convertRow(staging.get(), pixelBytes, width, row);
        if (rightToLeft) mirrorRow(row, width, layout.bitCount() / 8);
    }
    return 0;
}

ErrorNumber decode(TargaFile& file, ZDib& image) {
    std::uint8_t header[kHeaderBytes];
    if (file.Read(header, sizeof header) != sizeof header)
        return reportFailure(err::BadFile, location::TargaBadHeader);
    TgaLayout layout;
    if (ErrorNumber e = parseHeader(header, layout)) return e;
    if (ErrorNumber e = checkLength(layout, file.Size())) return e;
    file.Skip(layout.idLength);

    if (ErrorNumber e = allocateBlock(layout, image)) return e;
    if (layout.colorMapped()) {
        if (ErrorNumber e = readColorMap(file, layout, image)) return e;
    } else {
        file.Skip(layout.mapBytes);
    }
    if (ErrorNumber e = readRows(file, layout, image)) return e;
    image.ReadHeader();
    return image.error != 0 ? err::BadFile : 0;
}

// Pixels of one row as run and literal packets; packets never cross rows.
bool writePackedRow(TargaFile& file, const std::uint8_t* row, std::size_t width,
                    std::size_t pixelBytes) {
    auto pixel = [&](std::size_t x) { return row + x * pixelBytes; };
    std::size_t literalStart = 0;
    std::size_t pending = 0;
    auto writeLiterals = [&] {
        if (pending == 0) return true;
        auto header = static_cast<std::uint8_t>(pending - 1);
        bool written =
            file.Write(&header, 1) && file.Write(pixel(literalStart), pending * pixelBytes);
        pending = 0;
        return written;
    };
    for (std::size_t x = 0; x < width;) {
        std::size_t count = 1;
        while (count < kLongestPacket && x + count < width &&
               std::memcmp(pixel(x + count), pixel(x), pixelBytes) == 0)
            ++count;
        if (count >= 3) {
            auto header = static_cast<std::uint8_t>(kRunPacket + count - 1);
            if (!writeLiterals() || !file.Write(&header, 1) || !file.Write(pixel(x), pixelBytes))
                return false;
            x += count;
            continue;
        }
        if (pending == 0) literalStart = x;
        ++pending;
        ++x;
        if (pending == kLongestPacket && !writeLiterals()) return false;
    }
    return writeLiterals();
}

// Refuses a record whose block is smaller than it claims, and sizes the
// 16-bit header fields cannot describe.
ErrorNumber checkWritable(const ZDib& image, const platform::Locked& block) {
    if (!block || image.width <= 0 || image.height <= 0 || image.width > 0xFFFF ||
        image.height > 0xFFFF ||
        image.rowBytes != rowBytesFor(static_cast<std::uint32_t>(image.width), image.depth))
        return reportFailure(err::InvalidPicture, location::TargaBadPicture);
    auto extent =
        dibBlockSize(image.colorsUsed, image.rowBytes, static_cast<std::uint32_t>(image.height));
    if (!extent || *extent > block.size())
        return reportFailure(err::InvalidPicture, location::TargaBadPicture);
    return 0;
}

void buildHeader(const ZDib& image, bool compressed, std::uint8_t* h) {
    std::memset(h, 0, kHeaderBytes);
    bool mapped = image.depth == 8;
    h[field::kMapType] = mapped ? 1 : 0;
    h[field::kImageType] = mapped ? (compressed ? kColorMappedRle : kColorMapped)
                                  : (compressed ? kTrueColorRle : kTrueColor);
    writeLe16(h + field::kMapLength, mapped ? kMapEntries : 0);
    h[field::kMapEntrySize] = mapped ? 24 : 0;
    writeLe16(h + field::kWidth, static_cast<std::uint16_t>(image.width));
    writeLe16(h + field::kHeight, static_cast<std::uint16_t>(image.height));
    h[field::kPixelDepth] = static_cast<std::uint8_t>(image.depth);
}

ErrorNumber store(const ZDib& image, const std::string& path, int compression) {
    if (image.depth != 8 && image.depth != 24)
        return reportFailure(err::BadDepth, location::TargaBadDepth);
    if (compression != 0 && compression != 2) return err::BadCompression;
    platform::Locked block(image.handle);
    if (ErrorNumber e = checkWritable(image, block)) return e;
    const bool compressed = compression == 2;

    platform::ReplacementFile target(path);
    if (!target) return reportFailure(err::WriteFailed, location::TargaCreateFailed);
    TargaFile file(target.Path());
    if (!file.Create()) return reportFailure(err::WriteFailed, location::TargaCreateFailed);
    std::uint8_t header[kHeaderBytes];
    buildHeader(image, compressed, header);
    bool written = file.Write(header, sizeof header);
    if (image.depth == 8) {
        PALETTEENTRY table[kMapEntries] = {};
        image.GetPalette(table);
        std::uint8_t map[kMapEntries * 3];
        for (std::size_t i = 0; i < kMapEntries; ++i) {
            map[3 * i] = table[i].peBlue;
            map[3 * i + 1] = table[i].peGreen;
            map[3 * i + 2] = table[i].peRed;
        }
        written = written && file.Write(map, sizeof map);
    }
    const std::size_t pixelBytes = image.depth / 8;
    const auto width = static_cast<std::size_t>(image.width);
    const std::uint8_t* pixels = block.data() + image.PixelOffset();
    for (std::int32_t y = 0; written && y < image.height; ++y) {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * image.rowBytes;
        written = compressed ? writePackedRow(file, row, width, pixelBytes)
                             : file.Write(row, width * pixelBytes);
    }
    if (!written || !file.Flush() || !target.Commit())
        return reportFailure(err::WriteFailed, location::TargaWriteFailed);
    return 0;
}

}  // namespace

void LoadTGA(ZDib& image, const std::string& path) {
    LoadWhole(image, [&] {
        TargaFile file(path);
        return decode(file, image);
    });
}

void StoreTGA(ZDib& image, const std::string& path, int compression) {
    image.error = store(image, path, compression);
}

}  // namespace pm32
