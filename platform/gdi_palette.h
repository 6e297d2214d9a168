#pragma once

#include <cstdint>
#include <span>

#include "platform/handle_registry.h"

namespace pm32::platform {

// Logical palette objects addressed by 32-bit handles.
using HPALETTE = Handle32;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

inline constexpr std::uint8_t PC_RESERVED = 0x01;
inline constexpr std::uint8_t PC_NOCOLLAPSE = 0x04;
inline constexpr unsigned kMaxPaletteEntries = 1024;
inline constexpr unsigned CLR_INVALID = 0xFFFFFFFF;

struct PALETTEENTRY {
    std::uint8_t peRed;
    std::uint8_t peGreen;
    std::uint8_t peBlue;
    std::uint8_t peFlags;
};

// Creates a palette holding a copy of the entries; the caller owns the handle
// and deletes it with DeletePalette. Returns 0 for no entries or more than
// kMaxPaletteEntries.
HPALETTE CreatePalette(std::span<const PALETTEENTRY> entries);

// Number of entries, 0 for a bad handle (what GetObject reports).
unsigned GetPaletteEntryCount(HPALETTE palette);

// Copies entries from start on into out; returns how many were copied.
unsigned GetPaletteEntries(HPALETTE palette, unsigned start, std::span<PALETTEENTRY> out);

// Replaces entries from start on; returns how many were set.
unsigned SetPaletteEntries(HPALETTE palette, unsigned start, std::span<const PALETTEENTRY> in);

// Index of the entry closest to the colour (least squared RGB distance, first
// wins a tie), or CLR_INVALID for a bad handle.
unsigned GetNearestPaletteIndex(HPALETTE palette, COLORREF color);

// Deletes the palette; false for a bad handle.
bool DeletePalette(HPALETTE palette);

// Number of live palettes, for leak checks.
std::size_t LivePaletteCount();

}  // namespace pm32::platform
