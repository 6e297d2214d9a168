#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "engine/errors.h"
#include "platform/gdi_palette.h"

namespace pm32 {

using platform::HPALETTE;
using platform::PALETTEENTRY;

// The engine's logical-palette builder: it lays out up to 256 entries by one
// of its modes and creates the palette, which it deletes when it goes unless
// the caller takes it. Modes report a status (0 none, 1 memory, 2 too many
// colours, 3 too few, 5 reserved position out of bounds) that StatusToError
// turns into an error number.
class ZPalBuilder {
  public:
    enum Status : int {
        kDone = 0,
        kNoMemory = 1,
        kTooMany = 2,
        kTooFew = 3,
        kReservedOutOfBounds = 5,
    };

    ZPalBuilder() = default;
    ~ZPalBuilder();
    ZPalBuilder(const ZPalBuilder&) = delete;
    ZPalBuilder& operator=(const ZPalBuilder&) = delete;

    // The colours unchanged (at most 256).
    int Plain(std::span<const PALETTEENTRY> colors);

    // 256 entries: the static colours at 0-9 and 246-255, the colours from 10
    // on (at most 236) and the fill colour, flagged PC_RESERVED, after them.
    int WithSystemColors(std::span<const PALETTEENTRY> colors, PALETTEENTRY fill);

    // 256 entries: the static colours, then the palette's entries from 10 on,
    // leaving out static colours and repeats, then the fill colour up to 245.
    int AddSystemColors(std::span<const PALETTEENTRY> palette, PALETTEENTRY fill);

    // The palette's entries (256, unset ones zero) with 10-245 flagged:
    // the listed positions PC_RESERVED, the others PC_NOCOLLAPSE, and an
    // unlisted colour equal to a static colour of the upper ten nudged in blue
    // so it no longer matches.
    int Identity(std::span<const PALETTEENTRY> palette, std::span<const std::int16_t> reserved);

    int status() const { return status_; }
    std::span<const PALETTEENTRY> entries() const { return {entries_.data(), count_}; }
    HPALETTE palette() const { return palette_; }

  private:
    int finish(unsigned count);

    // The logical palette's entries as laid out so far.
    std::array<PALETTEENTRY, 256> entries_{};
    unsigned count_ = 0;
    int status_ = kDone;
    HPALETTE palette_ = 0;
};

}  // namespace pm32
