#include "control/zpal.h"

#include <vector>

#include "engine/dib_layout.h"

namespace pm32 {

ZPal::~ZPal() { deletePalette(); }

void ZPal::deletePalette() {
    if (palette_ != 0) platform::DeletePalette(palette_);
    palette_ = 0;
    entryCount_ = 0;
}

void ZPal::adopt(std::span<const PALETTEENTRY> entries) {
    palette_ = platform::CreatePalette(entries);
    if (palette_ == 0) throw RaisedError{err::Unrecoverable};
    entryCount_ = static_cast<std::uint32_t>(entries.size());
}

void ZPal::FromImage(const ZDibHolder& image) {
    deletePalette();
    if (image.handle == 0) throw RaisedError{err::Unrecoverable};
    std::uint32_t count = fullTableSize(image.depth);
    if (count == 0) return;
    ZDibLock lock(image.handle);
    if (lock.header() == nullptr) throw RaisedError{err::Unrecoverable};
    // The table is read at full size; entries the block cannot hold stay black.
    std::vector<PALETTEENTRY> entries(count, PALETTEENTRY{0, 0, 0, 0});
    const std::uint8_t* table = lock.header() + dib::kHeaderSize;
    std::size_t available =
        lock.blockSize() > dib::kHeaderSize ? (lock.blockSize() - dib::kHeaderSize) / 4 : 0;
    for (std::size_t i = 0; i < count && i < available; ++i)
        entries[i] = {table[4 * i + 2], table[4 * i + 1], table[4 * i], 0};
    adopt(entries);
}

void ZPal::FromPalette(HPALETTE source, bool deleteSource) {
    struct SourceDeleter {
        HPALETTE palette;
        bool active;
        ~SourceDeleter() {
            if (active) platform::DeletePalette(palette);
        }
    } deleter{source, deleteSource};

    unsigned count = platform::GetPaletteEntryCount(source);
    if (count < 2) throw RaisedError{err::PaletteTooSmall};
    std::vector<PALETTEENTRY> entries(count);
    unsigned copied = platform::GetPaletteEntries(source, 0, entries);
    if (copied < 2) throw RaisedError{err::PaletteTooSmall};
    entries.resize(copied);
    deletePalette();
    adopt(entries);
}

}  // namespace pm32
