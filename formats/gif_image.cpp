#include "formats/gif_image.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "engine/diagnostics.h"
#include "engine/dib_layout.h"
#include "formats/diagnostic_locations.h"
#include "formats/gif_lzw.h"

namespace pm32::gif {
namespace {

// Serves the data block; the block's last byte (normally the trailer) is
// never delivered.
class BlockSource {
  public:
    explicit BlockSource(std::span<const std::uint8_t> data)
        : at_(data.data()), last_(data.empty() ? data.data() : data.data() + data.size() - 1) {}

    int operator()() { return at_ < last_ ? *at_++ : lzw::kOutOfData; }

    std::span<const std::uint8_t> Take(std::size_t most) {
        const std::size_t count = std::min(most, static_cast<std::size_t>(last_ - at_));
        const std::span<const std::uint8_t> bytes(at_, count);
        at_ += count;
        return bytes;
    }

  private:
    const std::uint8_t* at_;
    const std::uint8_t* last_;
};

// The decoder's pixel sink: lends it the rest of the current row and stores
// each completed row into the image, packed to its depth.
class RowWriter {
  public:
    // Gathers each row in buffer, which holds one pixel per byte.
    RowWriter(std::uint8_t* buffer, std::uint8_t* pixels, const ZDib& image, bool interlaced,
              ProgressPump* pump)
        : buffer_(buffer),
          pixels_(pixels),
          rowBytes_(image.rowBytes),
          width_(image.width),
          height_(image.height),
          depth_(image.depth),
          interlaced_(interlaced),
          pump_(pump) {}

    // The rest of the current row, for the decoder to write into.
    std::uint8_t* Space(int& room) {
        room = width_ - filled_;
        return buffer_ + filled_;
    }

    int Commit(int count) {
        filled_ += count;
        return filled_ < width_ ? 0 : completeRow();
    }

  private:
    int completeRow();
    void storeRow(std::uint8_t* target) const;
    void advance();

    std::uint8_t* buffer_;
    std::uint8_t* pixels_;
    std::size_t rowBytes_;
    std::int32_t width_;
    std::int32_t height_;
    std::uint32_t depth_;
    bool interlaced_;
    ProgressPump* pump_;
    std::int32_t filled_ = 0;
    std::int32_t row_ = 0;  // GIF row, counted from the top
    int pass_ = 0;
};

int RowWriter::completeRow() {
    filled_ = 0;
    if (row_ >= height_) return lzw::kTooManyRows;
    if (pump_ != nullptr && !pump_->Tick()) return lzw::kStopped;
    storeRow(pixels_ + static_cast<std::size_t>(height_ - 1 - row_) * rowBytes_);
    advance();
    return 0;
}

// Indices beyond the depth keep only the bits the depth holds, so a stray
// index never spills into its neighbour.
void RowWriter::storeRow(std::uint8_t* target) const {
    const std::uint8_t* in = buffer_;
    const auto width = static_cast<std::size_t>(width_);
    if (depth_ == 8) {
        std::memcpy(target, in, width);
        return;
    }
    if (depth_ == 4) {
        for (std::size_t x = 0; x + 1 < width; x += 2)
            target[x / 2] = static_cast<std::uint8_t>((in[x] & 0x0F) << 4 | (in[x + 1] & 0x0F));
        if (width % 2 != 0)
            target[width / 2] = static_cast<std::uint8_t>((in[width - 1] & 0x0F) << 4);
        return;
    }
    for (std::size_t x = 0; x < width; x += 8) {
        std::uint8_t packed = 0;
        std::size_t end = std::min(width, x + 8);
        for (std::size_t i = x; i < end; ++i)
            packed = static_cast<std::uint8_t>(packed | (in[i] & 1) << (7 - (i - x)));
        target[x / 8] = packed;
    }
}

// Interlaced images arrive in four passes: every eighth row from 0, every
// eighth from 4, every fourth from 2, every second from 1.
void RowWriter::advance() {
    static constexpr std::int32_t kStart[4] = {0, 4, 2, 1};
    static constexpr std::int32_t kStep[4] = {8, 8, 4, 2};
    if (!interlaced_) {
        ++row_;
        return;
    }
    row_ += kStep[pass_];
    while (row_ >= height_ && pass_ < 3) row_ = kStart[++pass_];
    if (row_ >= height_) row_ = height_;
}

}  // namespace

bool hasSignature(std::span<const std::uint8_t> header) {
    return header.size() >= 3 && std::memcmp(header.data(), "GIF", 3) == 0;
}

bool hasKnownVersion(std::span<const std::uint8_t> header) {
    return header.size() >= 6 && (std::memcmp(header.data() + 3, "87a", 3) == 0 ||
                                  std::memcmp(header.data() + 3, "89a", 3) == 0);
}

std::uint32_t screenDepth(std::uint8_t screenFlags) {
    int resolutionBits = ((screenFlags >> 4) & 7) + 1;
    int tableBits = (screenFlags & 7) + 1;
    int bits = std::max(resolutionBits, tableBits);
    if (bits >= 5) return 8;
    if (bits >= 3) return 4;
    return bits == 1 ? 1 : 2;
}

std::uint32_t depthForImage(std::uint32_t depth, std::uint8_t imageFlags) {
    if ((imageFlags & kColorTableFlag) == 0) return depth;
    int bits = (imageFlags & 7) + 1;
    std::uint32_t needed = bits >= 5 ? 8 : bits >= 2 ? 4 : 1;
    return std::max(depth, needed);
}

void readColorTable(std::span<const std::uint8_t> rgb, ColorBuffer& colors) {
    std::size_t entries = std::min(rgb.size() / 3, colors.size());
    for (std::size_t i = 0; i < entries; ++i)
        colors[i] = {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2], 0};
}

ImageDescriptor parseDescriptor(std::span<const std::uint8_t, kDescriptorBytes> bytes) {
    return {readLe16(bytes.data() + 4), readLe16(bytes.data() + 6), bytes[8]};
}

int decodeImageData(std::span<const std::uint8_t> data, ZDib& image, bool interlaced,
                    ProgressPump* pump) {
    platform::Locked block(image.handle);
    if (!block || image.PixelOffset() + image.PixelBytes() > block.size()) return lzw::kNoMemory;
    std::unique_ptr<std::uint8_t[]> row(new (std::nothrow)
                                            std::uint8_t[static_cast<std::size_t>(image.width)]);
    if (!row) return lzw::kNoMemory;
    RowWriter rows(row.get(), block.data() + image.PixelOffset(), image, interlaced, pump);
    BlockSource source(data);
    GifLzwDecoder decoder;
    return decoder.Run(source, rows);
}

ErrorNumber settleDecoding(int result, ZDib& image) {
    switch (result) {
        case lzw::kDone:
            return 0;
        case lzw::kOutOfData:
        case lzw::kTooManyRows:
        case lzw::kTableFull:
        case lzw::kUndefinedCode:
            ReportDiagnostic(location::GifPartialImage, DiagnosticKind::Hand);
            return 0;
        case lzw::kStopped:
            image.Reset();
            return 0;
        case lzw::kNoMemory:
            image.Reset();
            return reportFailure(err::OutOfMemory, location::GifNoMemory, DiagnosticKind::Memory);
        default:
            image.Reset();
            return reportFailure(err::OperationFailure, location::GifDecoderFailure);
    }
}

}  // namespace pm32::gif
