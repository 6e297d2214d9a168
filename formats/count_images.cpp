#include "formats/count_images.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "engine/diagnostics.h"
#include "formats/diagnostic_locations.h"
#include "formats/engine_file.h"
#include "formats/format_codes.h"
#include "formats/tiff_library.h"

namespace pm32 {
namespace {

constexpr std::size_t kGifStagingBytes = 8192;
constexpr int kTiffMagic = 42;
constexpr int kFewestTiffEntries = 4;
constexpr int kMostTiffEntries = 40;
constexpr int kTiffEntryBytes = 12;
constexpr std::int64_t kTiffHeaderBytes = 8;

// Bytes a TIFF directory occupies: entry count, entries, next-directory offset.
std::int64_t tiffDirectoryBytes(int entries) {
    return 2 + std::int64_t{kTiffEntryBytes} * entries + 4;
}

// Moves forward without reading; inside the staging buffer this costs no system call.
bool skip(EngineFile& file, std::int64_t bytes) { return file.SeekSet(file.Tell() + bytes); }

ErrorNumber countTiff(EngineFile& file, int& count) {
    // Directories never overlap the header or each other, so together they fit in the
    // file; offsets are 32-bit, so none starts beyond 4 GiB. A chain that claims more
    // room than that loops or overlaps itself, and this bound ends its walk.
    const std::int64_t room =
        std::min(file.Remaining(), (std::int64_t{1} << 32) + tiffDirectoryBytes(kMostTiffEntries));
    int first = file.ReadByte();
    int second = file.ReadByte();
    if (first < 0 || second < 0 ||
        !file.SetByteOrder(static_cast<std::uint16_t>(first << 8 | second)) ||
        file.ReadU16() != kTiffMagic)
        return reportFailure(err::BadFile, location::TiffCountBadChain);

    std::int64_t claimed = kTiffHeaderBytes;
    // Brent's cycle check: a loop comes back to the offset saved at the last power-of-two
    // step within one turn, long before the room runs out in a large file.
    std::uint32_t saved = 0;
    int nextSave = 1;
    for (;;) {
        std::uint32_t offset = file.ReadU32();
        if (file.ShortRead()) return reportFailure(err::BadFile, location::TiffCountBadChain);
        if (offset == 0) return err::None;
        if (offset == saved || !file.SeekSet(offset))
            return reportFailure(err::BadFile, location::TiffCountBadChain);
        if (++count == nextSave) {
            saved = offset;
            nextSave *= 2;
        }
        int entries = file.ReadU16();
        if (file.ShortRead() || entries < kFewestTiffEntries || entries > kMostTiffEntries)
            return reportFailure(err::BadFile, location::TiffCountBadChain);
        claimed += tiffDirectoryBytes(entries);
        if (claimed > room || !skip(file, std::int64_t{kTiffEntryBytes} * entries))
            return reportFailure(err::BadFile, location::TiffCountBadChain);
    }
}

// Data sub-blocks: a length byte and that many bytes, until a length of 0.
ErrorNumber skipSubBlocks(EngineFile& file) {
    for (;;) {
        int length = file.ReadByte();
        // End of file is no length; taking it for one would walk on forever.
        if (length < 0) return reportFailure(err::BadFile, location::GifNoByte);
        if (length == 0) return err::None;
        if (!skip(file, length)) return reportFailure(err::BadFile, location::GifNoByte);
    }
}

// A colour table follows when flag bit 7 is set; its size is in the low three bits.
bool skipColorTable(EngineFile& file, std::uint8_t flags) {
    return (flags & 0x80) == 0 || skip(file, 3 << ((flags & 7) + 1));
}

ErrorNumber countGif(EngineFile& file, int& count) {
    if (!file.SetBuffer(kGifStagingBytes)) return err::OutOfMemory;
    std::uint8_t header[13] = {};  // signature, version, logical screen descriptor
    std::size_t got = file.ReadBlock(header, sizeof header);
    if (std::memcmp(header, "GIF", 3) != 0) return reportFailure(err::BadFile, location::GifNotGif);
    if (std::memcmp(header + 3, "87a", 3) != 0 && std::memcmp(header + 3, "89a", 3) != 0)
        return reportFailure(err::BadFile, location::GifBadVersion);
    if (got < sizeof header || !skipColorTable(file, header[10]))
        return reportFailure(err::BadFile, location::GifNoByte);

    for (;;) {
        switch (file.ReadByte()) {
            case '!': {
                int label = file.ReadByte();
                if (label < 0) return reportFailure(err::BadFile, location::GifNoByte);
                if (label != 1 && label != 254 && label != 255)
                    ReportDiagnostic(location::GifUnexpectedLabel, DiagnosticKind::Hand);
                if (ErrorNumber failed = skipSubBlocks(file)) return failed;
                break;
            }
            case ',': {
                if (count == std::numeric_limits<int>::max())
                    return reportFailure(err::BadFile, location::GifUnknownBlock);
                ++count;
                std::uint8_t descriptor[9];
                if (file.ReadBlock(descriptor, sizeof descriptor) < sizeof descriptor ||
                    !skipColorTable(file, descriptor[8]) || file.ReadByte() < 0)
                    return reportFailure(err::BadFile, location::GifNoByte);
                if (ErrorNumber failed = skipSubBlocks(file)) return failed;
                break;
            }
            case ';':
                return err::None;
            case -1:
                return reportFailure(err::BadFile, location::GifNoByte);
            default:
                return reportFailure(err::BadFile, location::GifUnknownBlock);
        }
    }
}

}  // namespace

ErrorNumber CountFileImages(const std::string& path, int format, int& count, bool modern) {
    count = 0;
    // The file must exist whatever its format; only TIFF and GIF files are then read.
    EngineFile file;
    if (!file.OpenRead(path)) return reportFailure(err::FileMissing, location::CountFileMissing);
    if (format == kFormatAny) {
        if (path.size() < 5) return reportFailure(err::BadFile, location::CountNameTooShort);
        format = IdentifyFormatByExtension(path);
    }
    if (format != kFormatTiff && format != kFormatGif) {
        count = 1;
        return err::None;
    }
    ErrorNumber result = format == kFormatTiff ? countTiff(file, count) : countGif(file, count);
    if (result != err::None) count = 0;
    // Directories of more entries than the walk allows, or of the 64-bit form,
    // are libtiff's to count.
    if (result != err::None && modern && format == kFormatTiff) {
        int counted = 0;
        if (CountTiffThroughLibrary(path, counted) == 0) {
            count = counted;
            return err::None;
        }
    }
    return result;
}

}  // namespace pm32
