#include "engine/zdib.h"

#include <algorithm>
#include <cstring>

#include "engine/diagnostic_locations.h"
#include "engine/diagnostics.h"
#include "engine/dib_layout.h"

namespace pm32 {
namespace {

using platform::Locked;

constexpr std::uint32_t kNewDibFlags =
    platform::GMEM_MOVEABLE | platform::GMEM_ZEROINIT | platform::GMEM_DDESHARE;

}  // namespace

ZDib::~ZDib() { freeBlock(); }

ZDib::ZDib(ZDib&& other) noexcept { *this = std::move(other); }

ZDib& ZDib::operator=(ZDib&& other) noexcept {
    if (this == &other) return *this;
    Reset();
    handle = std::exchange(other.handle, 0);
    rowBytes = other.rowBytes;
    width = other.width;
    height = other.height;
    depth = other.depth;
    colorsUsed = other.colorsUsed;
    error = other.error;
    owns = std::exchange(other.owns, false);
    depthRule = other.depthRule;
    rowTable_ = std::move(other.rowTable_);
    other.rowTable_.clear();
    return *this;
}

void ZDib::freeBlock() {
    DiscardRowTable();
    if (owns && handle != 0) FreeDib(handle);
}

void ZDib::Reset() {
    freeBlock();
    handle = 0;
    owns = false;
    rowBytes = 0;
    width = 0;
    height = 0;
    colorsUsed = 0;
    error = 0;
}

HGLOBAL ZDib::Release() {
    DiscardRowTable();
    owns = false;
    return handle;
}

void ZDib::Attach(HGLOBAL newHandle, bool newOwns, bool skipHeaderRead, DepthRule rule) {
    Reset();
    handle = newHandle;
    owns = newOwns;
    depthRule = rule;
    error = ValidateDib(handle, rule);
    if (error != 0) {
        handle = 0;
        owns = false;
        return;
    }
    if (skipHeaderRead) return;
    ReadHeader();
    if (error != 0) {
        ErrorNumber kept = error;
        owns = false;
        Reset();
        error = kept;
    }
}

void ZDib::ComputeRowBytes() {
    rowBytes = static_cast<std::uint32_t>(rowBytesFor(static_cast<std::uint32_t>(width), depth));
}

void ZDib::ReadHeader() {
    if (handle == 0) {
        error = reportFailure(err::InvalidPicture, location::HeaderWithoutBlock);
        return;
    }
    Locked block(handle);
    if (!block) {
        error = reportFailure(err::InvalidPicture, location::BlockNotLocked);
        return;
    }
    const std::uint8_t* h = block.data();
    if (block.size() < dib::kHeaderSize || readLe16(h + dib::kPlanes) != 1 ||
        readLe32(h + dib::kSize) != dib::kHeaderSize || readLe32(h + dib::kCompression) != 0 ||
        !isSupportedDepth(readLe16(h + dib::kBitCount))) {
        error = reportFailure(err::InvalidPicture, location::HeaderInvalid);
        return;
    }
    auto w = static_cast<std::int32_t>(readLe32(h + dib::kWidth));
    auto ht = static_cast<std::int32_t>(readLe32(h + dib::kHeight));
    std::uint32_t d = readLe16(h + dib::kBitCount);
    std::uint32_t used = readLe32(h + dib::kClrUsed);
    // A header that promises more than its block holds is as invalid as a bad field.
    auto rb = rowBytesFor(static_cast<std::uint32_t>(std::max(w, 0)), d);
    auto needed = dibBlockSize(used, rb, static_cast<std::uint32_t>(std::max(ht, 0)));
    if (w < 0 || ht < 0 || rb > 0xFFFFFFFFu || !needed || *needed > block.size()) {
        error = reportFailure(err::InvalidPicture, location::HeaderInvalid);
        return;
    }
    width = w;
    height = ht;
    depth = d;
    colorsUsed = used;
    rowBytes = static_cast<std::uint32_t>(rb);
}

void ZDib::WriteHeader() {
    Locked block(handle);
    if (!block || block.size() < dib::kHeaderSize) {
        error = reportFailure(err::InvalidPicture, location::HeaderWithoutBlock);
        return;
    }
    std::uint8_t* h = block.data();
    std::memset(h, 0, dib::kHeaderSize);
    writeLe32(h + dib::kSize, dib::kHeaderSize);
    writeLe32(h + dib::kWidth, static_cast<std::uint32_t>(width));
    writeLe32(h + dib::kHeight, static_cast<std::uint32_t>(height));
    writeLe16(h + dib::kPlanes, 1);
    writeLe16(h + dib::kBitCount, static_cast<std::uint16_t>(depth));
    writeLe32(h + dib::kClrUsed, colorsUsed);
    writeLe32(h + dib::kClrImportant, colorsUsed);
}

void ZDib::Allocate(bool paletteOnly) {
    colorsUsed = fullTableSize(depth);
    if (paletteOnly && depth == 24) {
        error = reportFailure(err::InvalidPicture, location::PaletteOnlyTrueColor);
        return;
    }
    if (handle != 0) {
        error = reportFailure(err::InvalidPicture, location::AllocateOverHandle);
        return;
    }
    std::uint64_t rb = 0;
    std::uint32_t rows = 0;
    if (paletteOnly) {
        width = 0;
        height = 0;
    } else {
        rb = rowBytesFor(static_cast<std::uint32_t>(width), depth);
        rows = static_cast<std::uint32_t>(height);
    }
    auto size = dibBlockSize(colorsUsed, rb, rows);
    HGLOBAL block = 0;
    if (size && rb <= 0xFFFFFFFFu && *size <= platform::BlockSizeLimit())
        block = platform::GlobalAlloc(kNewDibFlags, static_cast<std::size_t>(*size));
    if (block == 0) {
        error = reportFailure(err::OutOfMemory, location::AllocateNoMemory, DiagnosticKind::Memory);
        return;
    }
    rowBytes = static_cast<std::uint32_t>(rb);
    handle = block;
    owns = true;
    WriteHeader();
}

void ZDib::Create(std::int32_t newWidth, std::int32_t newHeight, std::uint32_t newDepth,
                  COLORREF fill) {
    if (!isSupportedDepth(newDepth)) {
        error = reportFailure(err::BadDepth, location::CreateBadDepth);
        return;
    }
    if (newWidth <= 0 || newHeight <= 0 || exceedsImageLimit(newWidth, newHeight)) {
        error = reportFailure(err::BadArea, location::CreateBadSize);
        return;
    }
    width = newWidth;
    height = newHeight;
    depth = newDepth;
    Allocate(false);
    if (error != 0) {
        if (error == err::OutOfMemory)
            reportFailure(err::OutOfMemory, location::CreateNoMemory, DiagnosticKind::Memory);
        return;
    }
    if (fill == 0) return;

    Locked block(handle);
    std::uint8_t* pixels = block.data() + PixelOffset();
    if (depth == 24) {
        std::uint8_t* first = pixels;
        for (std::int32_t x = 0; x < width; ++x) {
            first[3 * x] = static_cast<std::uint8_t>(fill >> 16);
            first[3 * x + 1] = static_cast<std::uint8_t>(fill >> 8);
            first[3 * x + 2] = static_cast<std::uint8_t>(fill);
        }
        for (std::int32_t y = 1; y < height; ++y)
            std::memcpy(pixels + static_cast<std::size_t>(y) * rowBytes, first, rowBytes);
        return;
    }
    std::memset(pixels, 0xFF, PixelBytes());
    PALETTEENTRY table[256] = {};
    GetPalette(table);
    PALETTEENTRY& last = table[colorsUsed - 1];
    if (depth == 1) {
        last = {255, 255, 255, 0};
    } else {
        last = {static_cast<std::uint8_t>(fill), static_cast<std::uint8_t>(fill >> 8),
                static_cast<std::uint8_t>(fill >> 16), 0};
    }
    SetPalette(std::span(table, colorsUsed), true);
}

std::size_t ZDib::GetPalette(std::span<PALETTEENTRY> out) const {
    Locked block(handle);
    if (!block) return 0;
    std::size_t room = block.size() > dib::kHeaderSize ? (block.size() - dib::kHeaderSize) / 4 : 0;
    std::size_t count = std::min({out.size(), static_cast<std::size_t>(colorsUsed), room});
    const std::uint8_t* table = block.data() + dib::kHeaderSize;
    for (std::size_t i = 0; i < count; ++i)
        out[i] = {table[4 * i + 2], table[4 * i + 1], table[4 * i], table[4 * i + 3]};
    return count;
}

std::size_t ZDib::SetPalette(std::span<const PALETTEENTRY> entries, bool clearFlags) {
    Locked block(handle);
    if (!block) return 0;
    std::size_t room = block.size() > dib::kHeaderSize ? (block.size() - dib::kHeaderSize) / 4 : 0;
    std::size_t count = std::min({entries.size(), static_cast<std::size_t>(colorsUsed), room});
    std::uint8_t* table = block.data() + dib::kHeaderSize;
    for (std::size_t i = 0; i < count; ++i) {
        table[4 * i] = entries[i].peBlue;
        table[4 * i + 1] = entries[i].peGreen;
        table[4 * i + 2] = entries[i].peRed;
        table[4 * i + 3] = clearFlags ? 0 : entries[i].peFlags;
    }
    return count;
}

std::span<std::uint8_t* const> ZDib::BuildRowTable() {
    if (!rowTable_.empty()) return rowTable_;
    if (handle == 0) {
        reportFailure(err::InvalidPicture, location::RowTableInvalid);
        return {};
    }
    if (height <= 0) return {};
    auto* base = static_cast<std::uint8_t*>(platform::GlobalLock(handle));
    if (base == nullptr) return {};
    if (PixelOffset() + PixelBytes() > platform::GlobalSize(handle)) {
        platform::GlobalUnlock(handle);
        reportFailure(err::InvalidPicture, location::RowTableInvalid);
        return {};
    }
    // Blocks never move while locked, so every row is used in place.
    rowTable_.resize(static_cast<std::size_t>(height));
    for (std::size_t row = 0; row < rowTable_.size(); ++row)
        rowTable_[row] = base + PixelOffset() + row * rowBytes;
    return rowTable_;
}

void ZDib::CommitRowTable() { DiscardRowTable(); }

void ZDib::DiscardRowTable() {
    if (rowTable_.empty()) return;
    rowTable_.clear();
    rowTable_.shrink_to_fit();
    platform::GlobalUnlock(handle);
}

ErrorNumber ValidateDib(HGLOBAL handle, DepthRule rule) {
    Locked block(handle);
    if (!block) return err::DibCannotLock;
    const std::uint8_t* h = block.data();
    if (block.size() < dib::kHeaderSize || readLe32(h + dib::kSize) != dib::kHeaderSize)
        return err::DibHeaderSize;
    if (readLe16(h + dib::kPlanes) != 1) return err::DibPlanes;
    if (readLe32(h + dib::kCompression) != 0) return err::DibCompressed;
    std::uint32_t d = readLe16(h + dib::kBitCount);
    if (rule == DepthRule::Any && !isSupportedDepth(d)) return err::DibDepth;
    if (rule == DepthRule::EightOr24 && d != 8 && d != 24) return err::DibDepth8Or24;
    std::uint32_t used = readLe32(h + dib::kClrUsed);
    if (d != 24 && used != 0 && used != fullTableSize(d)) return err::DibColorTable;
    // Beyond the header rules: the rows the header describes must lie inside the block.
    auto w = static_cast<std::int32_t>(readLe32(h + dib::kWidth));
    auto ht = static_cast<std::int32_t>(readLe32(h + dib::kHeight));
    if (w < 0 || ht < 0) return err::InvalidPicture;
    auto needed = dibBlockSize(used, rowBytesFor(static_cast<std::uint32_t>(w), d),
                               static_cast<std::uint32_t>(ht));
    if (!needed || *needed > block.size()) return err::InvalidPicture;
    return 0;
}

ErrorNumber VerifyDib(HGLOBAL handle) {
    ZDib image;
    image.Attach(handle, false, true, DepthRule::Any);
    return image.error;
}

ErrorNumber FreeDib(HGLOBAL handle) {
    if (handle == 0) return err::InvalidPicture;
    std::uint32_t flags = platform::GlobalFlags(handle);
    if (flags != platform::GMEM_INVALID_HANDLE) {
        for (std::uint32_t locks = flags & platform::GMEM_LOCKCOUNT; locks > 0; --locks)
            platform::GlobalUnlock(handle);
    }
    if (platform::GlobalFree(handle) != 0)
        return reportFailure(err::OperationFailure, location::FreeFailed);
    return 0;
}

ErrorNumber DuplicateDib(HGLOBAL source, HGLOBAL& copy) {
    copy = 0;
    Locked block(source);
    if (!block) return reportFailure(err::InvalidPicture, location::DuplicateNotLocked);
    const std::uint8_t* h = block.data();
    if (block.size() < dib::kHeaderSize || readLe32(h + dib::kSize) != dib::kHeaderSize)
        return reportFailure(err::InvalidPicture, location::DuplicateBadHeader);
    if (readLe32(h + dib::kCompression) != 0)
        return reportFailure(err::InvalidPicture, location::DuplicateCompressed);

    std::uint32_t d = readLe16(h + dib::kBitCount);
    std::uint32_t used = readLe32(h + dib::kClrUsed);
    auto w = static_cast<std::int32_t>(readLe32(h + dib::kWidth));
    auto ht = static_cast<std::int32_t>(readLe32(h + dib::kHeight));
    bool paletted = d == 1 || d == 4 || d == 8;
    std::uint64_t headerPart = dib::kHeaderSize + (paletted ? 4ull * used : 0);
    std::uint64_t rowBytes = 0;
    std::uint32_t rows = 0;
    if (isSupportedDepth(d)) {
        if (w < 0 || ht < 0)
            return reportFailure(err::InvalidPicture, location::DuplicateBadHeader);
        rowBytes = rowBytesFor(static_cast<std::uint32_t>(w), d);
        rows = static_cast<std::uint32_t>(ht);
    }
    auto pixelBytes = checkedMultiply(rowBytes, rows);
    std::uint64_t sourcePixels = dib::kHeaderSize + 4ull * used;
    auto sourceEnd = pixelBytes ? checkedAdd(sourcePixels, *pixelBytes) : std::nullopt;
    if (!sourceEnd || *sourceEnd > block.size() || headerPart > block.size())
        return reportFailure(err::InvalidPicture, location::DuplicateBadHeader);

    HGLOBAL target = 0;
    std::uint64_t size = headerPart + *pixelBytes;
    if (size <= platform::BlockSizeLimit())
        target = platform::GlobalAlloc(platform::GMEM_MOVEABLE | platform::GMEM_DDESHARE,
                                       static_cast<std::size_t>(size));
    if (target == 0)
        return reportFailure(err::OutOfMemory, location::DuplicateNoMemory, DiagnosticKind::Memory);
    Locked out(target);
    std::memcpy(out.data(), h, static_cast<std::size_t>(headerPart));
    if (*pixelBytes != 0)
        std::memcpy(out.data() + headerPart, h + sourcePixels,
                    static_cast<std::size_t>(*pixelBytes));
    if (d == 24) {
        writeLe32(out.data() + dib::kClrUsed, 0);
        writeLe32(out.data() + dib::kClrImportant, 0);
    }
    copy = target;
    return 0;
}

ErrorNumber CreateDib(std::uint32_t depth, std::int32_t width, std::int32_t height, COLORREF fill,
                      HGLOBAL& created) {
    ZDib image;
    image.Create(width, height, depth, fill);
    created = image.error == 0 ? image.Release() : 0;
    return image.error;
}

}  // namespace pm32
