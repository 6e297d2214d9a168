#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/errors.h"
#include "platform/gdi_palette.h"
#include "platform/global_memory.h"

namespace pm32 {

using platform::COLORREF;
using platform::HGLOBAL;
using platform::PALETTEENTRY;

// Which depths a handle must have to be accepted.
enum class DepthRule : std::uint32_t { Any = 0, EightOr24 = 1 };

// The engine's image record: a working view over one DIB handle that caches
// its header, carries the error number of the last step and, when it owns the
// block, frees it on reset or destruction. No operation throws.
class ZDib {
  public:
    ZDib() = default;
    ~ZDib();
    ZDib(ZDib&& other) noexcept;
    ZDib& operator=(ZDib&& other) noexcept;
    ZDib(const ZDib&) = delete;
    ZDib& operator=(const ZDib&) = delete;

    // Takes a view of handle after validating it; with owns set the record
    // frees the block later. A failed validation drops the handle unfreed.
    void Attach(HGLOBAL handle, bool owns, bool skipHeaderRead, DepthRule rule);

    // A new owned DIB of the geometry, filled as the fill colour asks.
    void Create(std::int32_t width, std::int32_t height, std::uint32_t depth, COLORREF fill);

    // A new owned block for the cached width, height and depth, with a fresh
    // header; a palette-only block has no rows.
    void Allocate(bool paletteOnly);

    void WriteHeader();
    void ReadHeader();
    void ComputeRowBytes();

    // The colour table as red, green, blue, reserved entries; copies at most
    // out.size() entries and returns how many.
    std::size_t GetPalette(std::span<PALETTEENTRY> out) const;

    // Writes entries into the colour table; with clearFlags the reserved bytes
    // become 0. Returns how many were written.
    std::size_t SetPalette(std::span<const PALETTEENTRY> entries, bool clearFlags);

    // Row pointers in memory order (entry 0 is the bottom row), valid until
    // CommitRowTable or DiscardRowTable; empty on failure. The block stays
    // locked while the table exists.
    std::span<std::uint8_t* const> BuildRowTable();
    void CommitRowTable();
    void DiscardRowTable();

    void Reset();

    // The IMAGE DATA dump (option 0: header, palette, pixels; 1: header and
    // pixels; 2: header and palette). A file that cannot be created or
    // written is err::BadFile, and an existing one is then left as it was.
    void Dump(const std::string& path, int option);

    // Hands the block to the caller, who then owns it; the record keeps its
    // cached header but no longer frees the block.
    HGLOBAL Release();

    // Offset of the first pixel row in the block.
    std::size_t PixelOffset() const { return 40 + 4 * static_cast<std::size_t>(colorsUsed); }
    std::size_t PixelBytes() const {
        return static_cast<std::size_t>(rowBytes) * static_cast<std::uint32_t>(height);
    }

    HGLOBAL handle = 0;
    std::uint32_t rowBytes = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t depth = 0;
    std::uint32_t colorsUsed = 0;
    ErrorNumber error = 0;
    bool owns = false;
    DepthRule depthRule = DepthRule::Any;

  private:
    void freeBlock();

    std::vector<std::uint8_t*> rowTable_;
};

// Checks a handle as an image under the depth rule; 0 when acceptable. The
// first failing rule gives the number.
ErrorNumber ValidateDib(HGLOBAL handle, DepthRule rule);

// Engine entry points on handles; each returns an error number, 0 on success.
ErrorNumber VerifyDib(HGLOBAL handle);

// Undoes every lock and frees the block.
ErrorNumber FreeDib(HGLOBAL handle);

// A copy of the DIB in a new block that the caller owns; a colour table on a
// 24-bit source is dropped.
ErrorNumber DuplicateDib(HGLOBAL source, HGLOBAL& copy);

// A new DIB that the caller owns.
ErrorNumber CreateDib(std::uint32_t depth, std::int32_t width, std::int32_t height, COLORREF fill,
                      HGLOBAL& created);

}  // namespace pm32
