#include <fcntl.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/diagnostics.h"
#include "engine/dib_layout.h"
#include "formats/bmp.h"
#include "formats/diagnostic_locations.h"
#include "platform/file_descriptor.h"
#include "platform/replacement_file.h"

namespace pm32 {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kPieceBytes = 32768;

// The block's extent as its own header describes it (header, colour table
// and rows) and the colour count its header holds.
ErrorNumber describedSize(const platform::Locked& block, std::uint64_t& size,
                          std::uint32_t& colors) {
    if (!block || block.size() < dib::kHeaderSize ||
        readLe32(block.data() + dib::kSize) != dib::kHeaderSize)
        return err::InvalidPicture;
    const std::uint8_t* h = block.data();
    auto width = static_cast<std::int32_t>(readLe32(h + dib::kWidth));
    auto height = static_cast<std::int32_t>(readLe32(h + dib::kHeight));
    std::uint32_t depth = readLe16(h + dib::kBitCount);
    if (width <= 0 || height <= 0) return err::NoBitmap;
    colors = readLe32(h + dib::kClrUsed);
    auto extent = dibBlockSize(colors, rowBytesFor(static_cast<std::uint32_t>(width), depth),
                               static_cast<std::uint32_t>(height));
    if (!extent || *extent > block.size()) return err::InvalidPicture;
    size = *extent;
    return 0;
}

ErrorNumber store(const ZDib& image, const std::string& path) {
    if (image.handle == 0) return err::NoBitmap;
    platform::Locked block(image.handle);
    std::uint64_t size = 0;
    std::uint32_t colors = 0;
    if (ErrorNumber e = describedSize(block, size, colors)) return e;
    // The file header's 32-bit size field must be able to describe the file.
    auto fileSize = checkedAdd(size, kFileHeaderSize);
    if (!fileSize || *fileSize > 0xFFFFFFFFu)
        return reportFailure(err::WriteFailed, location::BmpCreateFailed);

    std::uint8_t fileHeader[kFileHeaderSize] = {'B', 'M'};
    writeLe32(fileHeader + 2, static_cast<std::uint32_t>(*fileSize));
    writeLe32(fileHeader + 10,
              static_cast<std::uint32_t>(kFileHeaderSize + dib::kHeaderSize + 4ull * colors));

    // The file header goes out with the start of the block, so every later
    // piece starts on a piece boundary of the file.
    std::array<std::uint8_t, kPieceBytes> first;
    std::memcpy(first.data(), fileHeader, kFileHeaderSize);
    auto lead =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, kPieceBytes - kFileHeaderSize));
    std::memcpy(first.data() + kFileHeaderSize, block.data(), lead);

    platform::ReplacementFile target(path);
    if (!target) return reportFailure(err::WriteFailed, location::BmpCreateFailed);
    platform::FileDescriptor file(target.Path(), O_WRONLY | O_CREAT | O_TRUNC);
    if (!file) return reportFailure(err::WriteFailed, location::BmpCreateFailed);
    bool written = file.WriteAll(first.data(), kFileHeaderSize + lead);
    for (std::uint64_t done = lead; written && done < size;) {
        auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(kPieceBytes, size - done));
        written = file.WriteAll(block.data() + done, piece);
        done += piece;
    }
    if (!file.Close() || !written || !target.Commit())
        return reportFailure(err::WriteFailed, location::BmpWriteFailed);
    return 0;
}

}  // namespace

void StoreBMP(ZDib& image, const std::string& path) { image.error = store(image, path); }

}  // namespace pm32
