#include "process/scan_lines.h"

#include "engine/errors.h"
#include "engine/pixel_access.h"

namespace pm32 {
namespace {

// The image's memory row for a scan line, after the checks both ways share.
ErrorNumber locateRow(ZDib& image, HGLOBAL handle, std::int32_t line, std::size_t available,
                      std::uint8_t*& row) {
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    if (line < 0 || line >= image.height) return err::OutOfRange;
    if (available < static_cast<std::size_t>(image.width)) return err::OutOfRange;
    auto rows = image.BuildRowTable();
    if (rows.empty()) return err::InvalidPicture;
    row = rows[static_cast<std::size_t>(image.height - 1 - line)];
    return 0;
}

}  // namespace

ErrorNumber ReadScanLine(HGLOBAL handle, std::int32_t line, std::span<std::int32_t> pixels) {
    ZDib image;
    std::uint8_t* row = nullptr;
    if (ErrorNumber n = locateRow(image, handle, line, pixels.size(), row); n != 0) return n;
    for (std::int32_t x = 0; x < image.width; ++x) {
        const auto at = static_cast<std::size_t>(x);
        if (image.depth == 24) {
            const std::uint8_t* p = row + 3 * at;
            pixels[at] = p[2] | p[1] << 8 | p[0] << 16;
        } else {
            pixels[at] = static_cast<std::int32_t>(IndexAt(row, x, image.depth));
        }
    }
    image.DiscardRowTable();
    return 0;
}

ErrorNumber WriteScanLine(HGLOBAL handle, std::int32_t line, std::span<const std::int32_t> pixels) {
    ZDib image;
    std::uint8_t* row = nullptr;
    if (ErrorNumber n = locateRow(image, handle, line, pixels.size(), row); n != 0) return n;
    for (std::int32_t x = 0; x < image.width; ++x) {
        const auto at = static_cast<std::size_t>(x);
        const auto value = static_cast<std::uint32_t>(pixels[at]);
        if (image.depth == 24) {
            std::uint8_t* p = row + 3 * at;
            p[0] = static_cast<std::uint8_t>(value >> 16);
            p[1] = static_cast<std::uint8_t>(value >> 8);
            p[2] = static_cast<std::uint8_t>(value);
        } else {
            SetIndexAt(row, x, image.depth, value & 0xFFu);
        }
    }
    image.CommitRowTable();
    return 0;
}

}  // namespace pm32
