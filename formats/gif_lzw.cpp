#include "formats/gif_lzw.h"

#include <algorithm>
#include <new>

#include "engine/diagnostics.h"

namespace pm32 {
namespace {

// Diagnostic locations of the encoder.
constexpr int kFailedWriteLocation = 9195;
constexpr int kBadPixelLocation = 9196;

}  // namespace

bool GifLzwDecoder::allocateTables() {
    if (!tables_) tables_.reset(new (std::nothrow) Tables);
    return tables_ != nullptr;
}

void GifLzwDecoder::start(int clear) {
    // Single pixels are strings of one; the table grows from clear + 2.
    for (int code = 0; code < clear; ++code)
        tables_->entries[code] = {0, 1, static_cast<std::uint8_t>(code)};
    std::fill(std::begin(window_), std::end(window_), std::uint8_t{0});
    windowBits_ = 0;
    blockLeft_ = 0;
    dataEnd_ = 0;
}

bool GifLzwEncoder::allocateTable() {
    if (!hash_) hash_.reset(new (std::nothrow) Slot[kHashSize]);
    return hash_ != nullptr;
}

void GifLzwEncoder::clearTable() { std::fill(hash_.get(), hash_.get() + kHashSize, Slot{0, 0, 0}); }

void GifCodePacker::Reset() {
    byteCount_ = 0;
    partial_ = 0;
    partialBits_ = 0;
    writeFailed_ = false;
}

void GifCodePacker::noteFailedWrite() {
    // One report per run: a full disk fails every byte after the first.
    if (!writeFailed_) ReportDiagnostic(kFailedWriteLocation, DiagnosticKind::Severe);
    writeFailed_ = true;
}

void GifLzwEncoder::noteBadPixel() { ReportDiagnostic(kBadPixelLocation, DiagnosticKind::Hand); }

}  // namespace pm32
