#include "formats/gif_lzw.h"

#include <algorithm>
#include <new>

#include "engine/diagnostics.h"
#include "formats/diagnostic_locations.h"

namespace pm32 {

bool GifLzwDecoder::allocateTables() {
    if (!tables_) tables_.reset(new (std::nothrow) Tables);
    return tables_ != nullptr;
}

void GifLzwDecoder::start(int clear) {
    // Single pixels are strings of one; the table grows from clear + 2.
    for (int code = 0; code < clear; ++code) {
        std::fill(std::begin(tables_->pieces[code]), std::end(tables_->pieces[code]),
                  std::uint8_t{0});
        tables_->pieces[code][0] = static_cast<std::uint8_t>(code);
        tables_->prefixes[code] = 0;
        tables_->lengths[code] = 1;
    }
    blockLeft_ = 0;
    dataEnd_ = 0;
}

bool GifLzwEncoder::allocateDictionary() {
    if (!dictionary_) dictionary_.reset(new (std::nothrow) Dictionary);
    return dictionary_ != nullptr;
}

void GifCodePacker::Reset() {
    byteCount_ = 0;
    partial_ = 0;
    partialBits_ = 0;
    writeFailed_ = false;
}

void GifCodePacker::noteFailedWrite() {
    // One report per run: a full disk fails every byte after the first.
    if (!writeFailed_) ReportDiagnostic(location::GifWriteFailed, DiagnosticKind::Severe);
    writeFailed_ = true;
}

void GifLzwEncoder::noteBadPixel() {
    ReportDiagnostic(location::GifBadPixel, DiagnosticKind::Hand);
}

}  // namespace pm32
