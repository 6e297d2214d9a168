#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <span>

#include "engine/diagnostics.h"
#include "engine/dib_layout.h"
#include "formats/diagnostic_locations.h"
#include "formats/engine_file.h"
#include "formats/picture_rows.h"
#include "formats/tiff.h"
#include "formats/tiff_directory.h"
#include "formats/tiff_lzw.h"

namespace pm32 {
namespace {

constexpr std::size_t kStagingBytes = 4096;
constexpr std::uint32_t kFewestRows = 3;
constexpr std::size_t kStripTargetBytes = 8192;
constexpr std::uint32_t kFewestStrips = 3;
constexpr std::size_t kLzwRowSlack = 3;
constexpr std::uint32_t kResolution = 100;
constexpr std::uint16_t kInch = 2;
constexpr std::size_t kDirectoryBytes = 2 + 14 * tiff::kEntryBytes + 4;
constexpr std::uint64_t kMostOffset = std::numeric_limits<std::uint32_t>::max();

template <typename T>
std::unique_ptr<T[]> allocate(std::size_t n) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[n]());
}

// Where each part of one written image goes, from its directory onwards.
struct Layout {
    std::uint32_t depth = 0;
    std::size_t rowBytes = 0;  // one row as the file holds it
    std::uint32_t rowsPerStrip = 0;
    std::uint32_t strips = 0;
    std::uint64_t directory = 0;
    std::uint64_t bitsPerSample = 0;
    std::uint64_t xResolution = 0;
    std::uint64_t yResolution = 0;
    std::uint64_t offsets = 0;
    std::uint64_t byteCounts = 0;
    std::uint64_t data = 0;
};

Layout planStrips(const ZDib& image) {
    Layout layout;
    const auto height = static_cast<std::uint32_t>(image.height);
    layout.depth = image.depth;
    layout.rowBytes = tiffRowBytes(static_cast<std::uint32_t>(image.width), image.depth);
    layout.rowsPerStrip =
        static_cast<std::uint32_t>(std::max<std::size_t>(kStripTargetBytes / layout.rowBytes, 1));
    layout.strips = static_cast<std::uint32_t>((std::uint64_t{height} + layout.rowsPerStrip - 1) /
                                               layout.rowsPerStrip);
    // Too few strips for the target size: every row becomes a strip of its own.
    if (layout.strips < kFewestStrips) {
        layout.rowsPerStrip = 1;
        layout.strips = height;
    }
    return layout;
}

// The directory and the values it points to follow one another from start.
void placeDirectory(Layout& layout, std::uint64_t start) {
    layout.directory = start;
    layout.bitsPerSample = start + kDirectoryBytes;
    layout.xResolution = layout.bitsPerSample + (layout.depth == 24 ? 6 : 0);
    layout.yResolution = layout.xResolution + 8;
    layout.offsets = layout.yResolution + 8;
    layout.byteCounts = layout.offsets + 4 * std::uint64_t{layout.strips};
    layout.data = layout.byteCounts + 4 * std::uint64_t{layout.strips};
}

// Appends little-endian directory entries in tag order.
class EntryWriter {
  public:
    explicit EntryWriter(std::uint8_t* at) : at_(at) {}

    void put(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
        writeLe16(at_, tag);
        writeLe16(at_ + 2, type);
        writeLe32(at_ + 4, count);
        if (type == tiff::kShort && count == 1)
            writeLe16(at_ + 8, static_cast<std::uint16_t>(value));
        else
            writeLe32(at_ + 8, value);
        at_ += tiff::kEntryBytes;
    }

    // A size as SHORT while it fits, else as LONG.
    void putSize(std::uint16_t tag, std::uint32_t value) {
        put(tag, value > 0xFFFF ? tiff::kLong : tiff::kShort, 1, value);
    }

    std::uint8_t* end() const { return at_; }

  private:
    std::uint8_t* at_;
};

// The directory, its auxiliary values and the strip arrays: everything from
// the directory to the pixel data, built in memory.
void buildHead(const ZDib& image, const Layout& layout, std::uint32_t compression,
               std::uint64_t colorMap, const std::uint32_t* offsets, const std::uint32_t* counts,
               std::uint8_t* head) {
    const bool rgb = layout.depth == 24;
    const auto at = [&](std::uint64_t position) { return static_cast<std::uint32_t>(position); };
    writeLe16(head, rgb ? 13 : 14);
    EntryWriter entries(head + 2);
    entries.put(tiff::kNewSubfileType, tiff::kLong, 1, 0);
    entries.putSize(tiff::kImageWidth, static_cast<std::uint32_t>(image.width));
    entries.putSize(tiff::kImageLength, static_cast<std::uint32_t>(image.height));
    if (rgb)
        entries.put(tiff::kBitsPerSample, tiff::kShort, 3, at(layout.bitsPerSample));
    else
        entries.put(tiff::kBitsPerSample, tiff::kShort, 1, layout.depth);
    entries.put(tiff::kCompression, tiff::kShort, 1, compression == 1 ? tiff::kLzw : 1);
    entries.put(tiff::kPhotometric, tiff::kShort, 1, rgb ? tiff::kRgb : tiff::kPalette);
    entries.put(tiff::kStripOffsets, tiff::kLong, layout.strips, at(layout.offsets));
    entries.put(tiff::kSamplesPerPixel, tiff::kShort, 1, rgb ? 3 : 1);
    entries.put(tiff::kRowsPerStrip, tiff::kShort, 1, layout.rowsPerStrip);
    entries.put(tiff::kStripByteCounts, tiff::kLong, layout.strips, at(layout.byteCounts));
    entries.put(tiff::kXResolution, tiff::kRational, 1, at(layout.xResolution));
    entries.put(tiff::kYResolution, tiff::kRational, 1, at(layout.yResolution));
    entries.put(tiff::kResolutionUnit, tiff::kShort, 1, kInch);
    if (!rgb) entries.put(tiff::kColorMap, tiff::kShort, 3u << layout.depth, at(colorMap));
    writeLe32(entries.end(), 0);  // no next directory

    const auto put = [&](std::uint64_t position, auto write, auto value) {
        write(head + (position - layout.directory), value);
    };
    if (rgb) {
        for (int i = 0; i < 3; ++i) put(layout.bitsPerSample + 2 * i, writeLe16, 8);
    }
    for (std::uint64_t resolution : {layout.xResolution, layout.yResolution}) {
        put(resolution, writeLe32, kResolution);
        put(resolution + 4, writeLe32, 1);
    }
    for (std::uint32_t s = 0; s < layout.strips; ++s) {
        put(layout.offsets + 4 * std::uint64_t{s}, writeLe32, offsets[s]);
        put(layout.byteCounts + 4 * std::uint64_t{s}, writeLe32, counts[s]);
    }
}

// Records where each strip went and how long it is.
class StripRecord {
  public:
    explicit StripRecord(std::uint32_t strips)
        : offsets_(allocate<std::uint32_t>(strips)), counts_(allocate<std::uint32_t>(strips)) {}

    explicit operator bool() const { return offsets_ && counts_; }

    // False when the strip would end beyond what 32-bit offsets reach.
    bool add(std::uint32_t strip, std::int64_t offset, std::size_t bytes) {
        if (offset < 0 || static_cast<std::uint64_t>(offset) + bytes > kMostOffset) return false;
        offsets_[strip] = static_cast<std::uint32_t>(offset);
        counts_[strip] = static_cast<std::uint32_t>(bytes);
        return true;
    }

    const std::uint32_t* offsets() const { return offsets_.get(); }
    const std::uint32_t* counts() const { return counts_.get(); }

  private:
    std::unique_ptr<std::uint32_t[]> offsets_;
    std::unique_ptr<std::uint32_t[]> counts_;
};

// A picture row as the file holds it: 24-bit BGR turned back into RGB.
void fileRow(const std::uint8_t* row, std::size_t bytes, bool rgb, std::uint8_t* out) {
    std::memcpy(out, row, bytes);
    if (!rgb) return;
    for (std::size_t i = 0; i + 2 < bytes; i += 3) std::swap(out[i], out[i + 2]);
}

ErrorNumber writeUncompressed(EngineFile& file, const PictureRows& picture, std::uint32_t height,
                              const Layout& layout, StripRecord& record) {
    auto row = allocate<std::uint8_t>(layout.rowBytes);
    if (!row)
        return reportFailure(err::OutOfMemory, location::TiffWriteNoMemory, DiagnosticKind::Memory);
    for (std::uint32_t s = 0, y = 0; s < layout.strips; ++s) {
        const std::uint32_t rows = std::min(layout.rowsPerStrip, height - y);
        if (!record.add(s, file.Tell(), std::size_t{rows} * layout.rowBytes))
            return reportFailure(err::WriteFailed, location::TiffWriteFailed);
        for (std::uint32_t r = 0; r < rows; ++r, ++y) {
            fileRow(picture.row(y), layout.rowBytes, layout.depth == 24, row.get());
            if (!file.WriteBlock(row.get(), layout.rowBytes))
                return reportFailure(err::WriteFailed, location::TiffWriteFailed);
        }
    }
    return 0;
}

ErrorNumber writeLzw(EngineFile& file, const PictureRows& picture, std::uint32_t height,
                     const Layout& layout, std::size_t bufferBytes, StripRecord& record) {
    auto strip = allocate<std::uint8_t>(bufferBytes);
    if (!strip)
        return reportFailure(err::OutOfMemory, location::TiffWriteNoMemory, DiagnosticKind::Memory);
    TiffLzwOutput compressed;
    for (std::uint32_t s = 0, y = 0; s < layout.strips; ++s) {
        const std::uint32_t rows = std::min(layout.rowsPerStrip, height - y);
        for (std::uint32_t r = 0; r < rows; ++r, ++y)
            fileRow(picture.row(y), layout.rowBytes, layout.depth == 24,
                    strip.get() + std::size_t{r} * layout.rowBytes);
        const std::span raw(strip.get(), std::size_t{rows} * layout.rowBytes);
        if (ErrorNumber e = TiffLzwEncode(raw, bufferBytes, compressed))
            return reportFailure(
                e, location::TiffWriteLzw,
                e == err::OutOfMemory ? DiagnosticKind::Memory : DiagnosticKind::Hand);
        const std::span bytes = compressed.bytes();
        if (!record.add(s, file.Tell(), bytes.size()) ||
            !file.WriteBlock(bytes.data(), bytes.size()))
            return reportFailure(err::WriteFailed, location::TiffWriteFailed);
    }
    return 0;
}

// The colour table as three runs of 16-bit levels, 8-bit level x 257; entries
// beyond the image's colour count are black, as the engine sees them.
bool writeColorMap(EngineFile& file, const ZDib& image) {
    PALETTEENTRY table[256] = {};
    image.GetPalette(table);
    const std::size_t entries = std::size_t{1} << image.depth;
    std::uint8_t map[3 * 2 * 256];
    for (std::size_t i = 0; i < entries; ++i) {
        writeLe16(map + 2 * i, static_cast<std::uint16_t>(table[i].peRed * 257));
        writeLe16(map + 2 * (entries + i), static_cast<std::uint16_t>(table[i].peGreen * 257));
        writeLe16(map + 2 * (2 * entries + i), static_cast<std::uint16_t>(table[i].peBlue * 257));
    }
    return file.WriteBlock(map, 3 * 2 * entries);
}

// Walks an existing little-endian file's directory chain to the field that
// ends it: the header's first-directory field or the last directory's
// next-directory field.
ErrorNumber findChainEnd(EngineFile& file, std::int64_t& link) {
    const std::int64_t fileSize = file.Remaining();
    std::uint8_t mark[2] = {};
    if (file.ReadBlock(mark, 2) != 2 || mark[0] != 'I' || mark[1] != 'I' ||
        !file.SetByteOrder(EngineFile::kLittleEndian) || file.ReadU16() != tiff::kMagic ||
        file.ShortRead())
        return reportFailure(err::BadFile, location::TiffWriteAppend);
    link = tiff::kFirstDirectoryField;
    // Directories never overlap, so a chain claiming more room than the file loops.
    std::int64_t claimed = tiff::kHeaderBytes;
    for (;;) {
        if (!file.SeekSet(link)) return reportFailure(err::BadFile, location::TiffWriteAppend);
        const std::uint32_t offset = file.ReadU32();
        if (file.ShortRead()) return reportFailure(err::BadFile, location::TiffWriteAppend);
        if (offset == 0) return 0;
        if (offset >= fileSize || !file.SeekSet(offset))
            return reportFailure(err::BadFile, location::TiffWriteAppend);
        const std::int64_t entries = file.ReadU16();
        claimed += 2 + entries * static_cast<std::int64_t>(tiff::kEntryBytes) + 4;
        if (file.ShortRead() || claimed > fileSize)
            return reportFailure(err::BadFile, location::TiffWriteAppend);
        link = offset + 2 + entries * static_cast<std::int64_t>(tiff::kEntryBytes);
    }
}

ErrorNumber openTarget(EngineFile& file, const std::string& path, bool append, std::int64_t& link) {
    if (!(append ? file.OpenReplaceCopy(path) : file.OpenReplace(path)))
        return reportFailure(err::WriteFailed, location::TiffWriteOpen);
    if (!file.SetBuffer(kStagingBytes))
        return reportFailure(err::OutOfMemory, location::TiffWriteNoMemory, DiagnosticKind::Memory);
    if (append) return findChainEnd(file, link);
    link = tiff::kFirstDirectoryField;
    const std::uint8_t header[tiff::kHeaderBytes] = {'I', 'I', tiff::kMagic, 0, 0, 0, 0, 0};
    if (!file.WriteBlock(header, sizeof header))
        return reportFailure(err::WriteFailed, location::TiffWriteFailed);
    return 0;
}

ErrorNumber store(const ZDib& image, const std::string& path, int compression, bool append) {
    if (image.height < static_cast<std::int32_t>(kFewestRows))
        return reportFailure(err::InvalidPicture, location::TiffWriteBadPicture);
    if (compression != 0 && compression != 1) return err::BadCompression;
    PictureRows picture(image);
    if (picture.error() != 0) return reportFailure(picture.error(), location::TiffWriteBadPicture);
    const auto height = static_cast<std::uint32_t>(image.height);

    Layout layout = planStrips(image);
    // Refused before the file is touched, so a store that cannot succeed does
    // not truncate an existing file.
    const auto bufferBytes = checkedMultiply(layout.rowBytes + kLzwRowSlack, layout.rowsPerStrip);
    if (compression == 1 && (!bufferBytes || TiffLzwWorstCase(static_cast<std::size_t>(
                                                 *bufferBytes)) > kTiffLzwMostEstimate))
        return reportFailure(err::OperationFailure, location::TiffWriteLzw);
    StripRecord record(layout.strips);
    if (!record)
        return reportFailure(err::OutOfMemory, location::TiffWriteNoMemory, DiagnosticKind::Memory);

    EngineFile file;
    std::int64_t link = 0;
    if (ErrorNumber e = openTarget(file, path, append, link)) return e;
    if (!file.SeekEnd(0)) return reportFailure(err::WriteFailed, location::TiffWriteFailed);
    placeDirectory(layout, static_cast<std::uint64_t>(file.Tell()));
    if (layout.data > kMostOffset || !file.SeekSet(static_cast<std::int64_t>(layout.data)))
        return reportFailure(err::WriteFailed, location::TiffWriteFailed);

    ErrorNumber written = compression == 1
                              ? writeLzw(file, picture, height, layout,
                                         static_cast<std::size_t>(*bufferBytes), record)
                              : writeUncompressed(file, picture, height, layout, record);
    if (written != 0) return written;

    const std::int64_t colorMap = file.Tell();
    const std::uint8_t trailer[2] = {0, 0};
    if (static_cast<std::uint64_t>(colorMap) + 3 * 2 * 256 + sizeof trailer > kMostOffset ||
        (layout.depth != 24 && !writeColorMap(file, image)) ||
        !file.WriteBlock(trailer, sizeof trailer))
        return reportFailure(err::WriteFailed, location::TiffWriteFailed);

    const auto headBytes = static_cast<std::size_t>(layout.data - layout.directory);
    auto head = allocate<std::uint8_t>(headBytes);
    if (!head)
        return reportFailure(err::OutOfMemory, location::TiffWriteNoMemory, DiagnosticKind::Memory);
    buildHead(image, layout, static_cast<std::uint32_t>(compression),
              static_cast<std::uint64_t>(colorMap), record.offsets(), record.counts(), head.get());
    std::uint8_t linkValue[4];
    writeLe32(linkValue, static_cast<std::uint32_t>(layout.directory));
    if (!file.SeekSet(static_cast<std::int64_t>(layout.directory)) ||
        !file.WriteBlock(head.get(), headBytes) || !file.SeekSet(link) ||
        !file.WriteBlock(linkValue, sizeof linkValue) || !file.Commit())
        return reportFailure(err::WriteFailed, location::TiffWriteFailed);
    return 0;
}

}  // namespace

void StoreTIFF(ZDib& image, const std::string& path, int compression, bool append) {
    image.error = store(image, path, compression, append);
}

}  // namespace pm32
