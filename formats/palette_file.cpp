#include "formats/palette_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "formats/engine_file.h"

namespace pm32 {
namespace {

using platform::kMaxPaletteEntries;
using platform::PALETTEENTRY;

constexpr std::uint16_t kPaletteVersion = 0x0300;
constexpr std::size_t kHeaderBytes = 4;  // version, entry count
constexpr std::size_t kEntryBytes = 4;   // red, green, blue, flags
// The largest file a palette can come from; bytes beyond it are never looked at.
constexpr std::size_t kLargestPaletteFile = kHeaderBytes + kEntryBytes * kMaxPaletteEntries;

using PaletteFileBytes = std::array<std::uint8_t, kLargestPaletteFile>;

std::uint16_t littleEndian16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

}  // namespace

ErrorNumber ReadPaletteFile(const std::string& path, platform::HPALETTE& palette) {
    palette = 0;
    EngineFile file;
    if (!file.OpenRead(path)) return err::FileMissing;
    std::int64_t length = file.Remaining();
    if (length == 0) return err::BadFile;

    PaletteFileBytes bytes;
    auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(length, bytes.size()));
    if (file.ReadHuge(bytes.data(), wanted) != wanted || wanted < kHeaderBytes) return err::BadFile;
    std::uint16_t version = littleEndian16(bytes.data());
    std::size_t count = littleEndian16(bytes.data() + 2);
    // A count beyond the entries present would take colours from past the file's end.
    if (version < kPaletteVersion || count > (wanted - kHeaderBytes) / kEntryBytes)
        return err::InvalidPaletteFile;

    std::array<PALETTEENTRY, kMaxPaletteEntries> entries;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = bytes.data() + kHeaderBytes + i * kEntryBytes;
        entries[i] = {entry[0], entry[1], entry[2], entry[3]};
    }
    palette = platform::CreatePalette(std::span(entries.data(), count));
    return palette != 0 ? err::None : err::InvalidPaletteFile;
}

ErrorNumber WritePaletteFile(platform::HPALETTE palette, const std::string& path) {
    std::array<PALETTEENTRY, kMaxPaletteEntries> entries;
    // A live palette always has entries, so none means the handle is bad.
    unsigned count = platform::GetPaletteEntries(palette, 0, entries);
    if (count == 0) return err::InvalidPalette;

    PaletteFileBytes bytes;
    bytes[0] = kPaletteVersion & 0xFF;
    bytes[1] = kPaletteVersion >> 8;
    bytes[2] = static_cast<std::uint8_t>(count & 0xFF);
    bytes[3] = static_cast<std::uint8_t>(count >> 8);
    for (unsigned i = 0; i < count; ++i) {
        std::uint8_t* entry = bytes.data() + kHeaderBytes + i * kEntryBytes;
        entry[0] = entries[i].peRed;
        entry[1] = entries[i].peGreen;
        entry[2] = entries[i].peBlue;
        entry[3] = entries[i].peFlags;
    }

    EngineFile file;
    if (!file.OpenReplace(path)) return err::OperationFailure;
    if (!file.WriteBlock(bytes.data(), kHeaderBytes + kEntryBytes * count) || !file.Commit())
        return err::WriteFailed;
    return err::None;
}

}  // namespace pm32
