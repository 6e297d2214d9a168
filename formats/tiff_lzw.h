#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "engine/errors.h"
#include "formats/lzw_dictionary.h"

namespace pm32 {

// TIFF's LZW: codes are packed most significant bit first and widen one code
// earlier than GIF's, when the code counter reaches 512, 1024 and 2048.

// Largest worst-case estimate the encoder accepts for one strip.
inline constexpr std::size_t kTiffLzwMostEstimate = 16384;

// Decodes one strip into output and returns the bytes produced, or 0 when the
// stream is invalid (no leading clear code, a code past the table, more than
// 24576 codes, input ending before the end code, a table growing past 4095
// without a clear). Decoding stops early, successfully, when output is full.
std::size_t TiffLzwDecode(std::span<const std::uint8_t> compressed, std::span<std::uint8_t> output);

// The encoder's worst-case output in bytes for rawBytes of input.
std::size_t TiffLzwWorstCase(std::size_t rawBytes);

// Output room and the encoder's dictionary for the strips of one store,
// reused from strip to strip.
class TiffLzwOutput {
  public:
    std::span<const std::uint8_t> bytes() const { return {data_.get(), size_}; }

  private:
    friend ErrorNumber TiffLzwEncode(std::span<const std::uint8_t> raw, std::size_t bufferBytes,
                                     TiffLzwOutput& out);

    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
    std::unique_ptr<LzwDictionary<8>> dictionary_;
};

// Compresses one strip into out. The worst case is estimated for bufferBytes,
// the size of the caller's strip buffer: above kTiffLzwMostEstimate the strip
// is refused with err::OperationFailure; err::OutOfMemory when the output room cannot be had.
ErrorNumber TiffLzwEncode(std::span<const std::uint8_t> raw, std::size_t bufferBytes,
                          TiffLzwOutput& out);

}  // namespace pm32
