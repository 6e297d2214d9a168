#include <cstring>
#include <memory>
#include <new>

#include "engine/diagnostics.h"
#include "engine/dib_layout.h"
#include "formats/diagnostic_locations.h"
#include "formats/engine_file.h"
#include "formats/gif.h"
#include "formats/gif_image.h"
#include "formats/gif_lzw.h"

namespace pm32 {
namespace {

constexpr std::size_t kStagingBytes = 8192;
constexpr std::int32_t kLargestSide = 0xFFFF;  // the GIF fields are 16-bit

// The encoder's pixel source: image rows from the top one down, one byte per pixel.
class RowReader {
  public:
    RowReader(const std::uint8_t* pixels, const ZDib& image)
        : pixels_(pixels),
          rowBytes_(image.rowBytes),
          width_(image.width),
          rowsLeft_(image.height),
          depth_(image.depth),
          // Slack lets a 1- or 4-bit row unpack in whole source bytes.
          buffer_(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(image.width) + 7]) {}

    explicit operator bool() const { return buffer_ != nullptr; }

    const std::uint8_t* Pixels(int& count) {
        if (rowsLeft_ == 0) return nullptr;
        const std::uint8_t* row = pixels_ + static_cast<std::size_t>(--rowsLeft_) * rowBytes_;
        count = width_;
        if (depth_ == 8) return row;
        unpackRow(row);
        return buffer_.get();
    }

  private:
    void unpackRow(const std::uint8_t* row) {
        std::uint8_t* out = buffer_.get();
        const auto width = static_cast<std::size_t>(width_);
        if (depth_ == 4) {
            for (std::size_t x = 0; x < width; x += 2) {
                out[x] = row[x / 2] >> 4;
                out[x + 1] = row[x / 2] & 0x0F;
            }
            return;
        }
        for (std::size_t x = 0; x < width; x += 8) {
            for (std::size_t bit = 0; bit < 8; ++bit) out[x + bit] = (row[x / 8] >> (7 - bit)) & 1;
        }
    }

    const std::uint8_t* pixels_;
    std::size_t rowBytes_;
    std::int32_t width_;
    std::int32_t rowsLeft_;
    std::uint32_t depth_;
    std::unique_ptr<std::uint8_t[]> buffer_;
};

class FileSink {
  public:
    explicit FileSink(EngineFile& file) : file_(file) {}
    int operator()(std::uint8_t byte) { return file_.WriteByte(byte) ? 0 : lzw::kWriteFailed; }
    int Write(const std::uint8_t* bytes, std::size_t count) {
        return file_.WriteBlock(bytes, count) ? 0 : lzw::kWriteFailed;
    }

  private:
    EngineFile& file_;
};

void appendLe16(std::uint8_t*& out, std::uint32_t value) {
    writeLe16(out, static_cast<std::uint16_t>(value));
    out += 2;
}

// Signature, screen descriptor, global colour table and image descriptor.
std::size_t writeHeaders(const ZDib& image, std::uint8_t* out) {
    std::uint8_t* start = out;
    const std::uint32_t depth = image.depth;
    std::memcpy(out, "GIF87a", 6);
    out += 6;
    appendLe16(out, static_cast<std::uint32_t>(image.width));
    appendLe16(out, static_cast<std::uint32_t>(image.height));
    *out++ = static_cast<std::uint8_t>(gif::kColorTableFlag | (depth - 1) << 4 | (depth - 1));
    *out++ = 0;  // background
    *out++ = 0;  // aspect
    // A table the image does not hold in full is completed with black.
    PALETTEENTRY colors[256] = {};
    image.GetPalette(colors);
    for (std::uint32_t i = 0; i < fullTableSize(depth); ++i) {
        *out++ = colors[i].peRed;
        *out++ = colors[i].peGreen;
        *out++ = colors[i].peBlue;
    }
    *out++ = ',';
    appendLe16(out, 0);
    appendLe16(out, 0);
    appendLe16(out, static_cast<std::uint32_t>(image.width));
    appendLe16(out, static_cast<std::uint32_t>(image.height));
    *out++ = static_cast<std::uint8_t>(depth - 1);
    return static_cast<std::size_t>(out - start);
}

ErrorNumber store(const ZDib& image, const std::string& path) {
    // 24-bit images need colour reduction first, which is not this writer's business.
    if (image.depth != 1 && image.depth != 4 && image.depth != 8) return err::BadDepth;
    if (image.handle == 0 || image.width <= 0 || image.height <= 0) return err::NoBitmap;
    if (image.width > kLargestSide || image.height > kLargestSide) return err::FormatCannotHold;
    platform::Locked block(image.handle);
    if (!block || image.PixelOffset() + image.PixelBytes() > block.size())
        return err::InvalidPicture;
    RowReader pixels(block.data() + image.PixelOffset(), image);
    if (!pixels)
        return reportFailure(err::OutOfMemory, location::GifNoMemory, DiagnosticKind::Memory);

    EngineFile file;
    if (!file.OpenReplace(path)) return err::FileMissing;
    if (!file.SetBuffer(kStagingBytes))
        return reportFailure(err::OutOfMemory, location::GifNoMemory, DiagnosticKind::Memory);
    std::uint8_t headers[6 + 7 + 3 * 256 + 10];
    bool written = file.WriteBlock(headers, writeHeaders(image, headers));

    FileSink sink(file);
    GifLzwEncoder encoder;
    int result = encoder.Run(static_cast<int>(image.depth), pixels, sink);
    if (result != lzw::kDone)
        return reportFailure(err::OperationFailure, location::GifEncoderFailure);
    written = file.WriteByte(';') && written && !encoder.WriteFailed();
    if (!written) return err::WriteFailed;
    // Bytes still staged reach the disk only at the commit, which can fail too.
    if (!file.Commit()) return err::WriteFailed;
    return 0;
}

}  // namespace

void StoreGIF(ZDib& image, const std::string& path) { image.error = store(image, path); }

}  // namespace pm32
