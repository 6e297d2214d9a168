#include "control/bitmap_conversion.h"

#include <algorithm>
#include <array>
#include <vector>

#include "control/screen_bitmap.h"
#include "control/zpm32.h"
#include "engine/dib_layout.h"
#include "engine/pixel_access.h"

namespace pm32::control {
namespace {

// The sixteen colours of a standard VGA display, for 4-bit bitmaps that
// bring no colour table.
constexpr std::array<PALETTEENTRY, 16> kStandardSixteen = {{
    {0, 0, 0, 0},
    {128, 0, 0, 0},
    {0, 128, 0, 0},
    {128, 128, 0, 0},
    {0, 0, 128, 0},
    {128, 0, 128, 0},
    {0, 128, 128, 0},
    {192, 192, 192, 0},
    {128, 128, 128, 0},
    {255, 0, 0, 0},
    {0, 255, 0, 0},
    {255, 255, 0, 0},
    {0, 0, 255, 0},
    {255, 0, 255, 0},
    {0, 255, 255, 0},
    {255, 255, 255, 0},
}};

bool nearerWhite(QRgb color) { return qRed(color) + qGreen(color) + qBlue(color) >= 383; }

QImage monochromeOf(HGLOBAL dib) {
    QImage colours = BuildScreenBitmap(dib);
    if (colours.isNull()) return {};
    QImage mono(colours.size(), QImage::Format_Mono);
    if (mono.isNull()) return {};
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < colours.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(colours.constScanLine(y));
        uchar* out = mono.scanLine(y);
        for (int x = 0; x < colours.width(); ++x) SetIndexAt(out, x, 1, nearerWhite(in[x]) ? 1 : 0);
    }
    return mono;
}

std::vector<PALETTEENTRY> tableFor(const QImage& pixels, std::uint32_t depth,
                                   std::span<const PALETTEENTRY> palette) {
    const std::size_t room = std::size_t{1} << depth;
    if (!palette.empty())
        return {palette.begin(),
                palette.begin() + static_cast<std::ptrdiff_t>(std::min(room, palette.size()))};
    std::vector<PALETTEENTRY> table;
    for (QRgb color : pixels.colorTable()) {
        if (table.size() == room) break;
        table.push_back({static_cast<std::uint8_t>(qRed(color)),
                         static_cast<std::uint8_t>(qGreen(color)),
                         static_cast<std::uint8_t>(qBlue(color)), 0});
    }
    if (table.empty() && depth == 4) table.assign(kStandardSixteen.begin(), kStandardSixteen.end());
    return table;
}

}  // namespace

DeviceBitmap BitmapOfDib(HGLOBAL dib) {
    ZDib image;
    image.Attach(dib, false, false, DepthRule::Any);
    if (image.error != 0) return {};
    if (image.depth == 1) return {monochromeOf(dib), 1};
    return {BuildScreenBitmap(dib), 32};
}

std::uint32_t BitsPerPixelOf(const QImage& pixels) {
    switch (pixels.format()) {
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB:
            return 1;
        case QImage::Format_Indexed8:
            return 8;
        default:
            return 32;
    }
}

HGLOBAL DibOfBitmap(const QImage& pixels, std::uint32_t bitsPerPixel,
                    std::span<const PALETTEENTRY> palette) {
    if (pixels.isNull() || bitsPerPixel == 0) Raise(err::NoBitmap);
    const std::uint32_t depth = bitsPerPixel > 8 ? 24 : bitsPerPixel;
    if (!isSupportedDepth(depth)) Raise(err::NoBitmap);
    // The pixels in a form whose rows the copy below can read directly.
    QImage readable = depth == 24  ? pixels.convertToFormat(QImage::Format_RGB32)
                      : depth == 1 ? pixels.convertToFormat(QImage::Format_Mono)
                                   : pixels.convertToFormat(QImage::Format_Indexed8);
    if (readable.isNull()) Raise(err::OperationFailure);

    ZDib image;
    image.Create(readable.width(), readable.height(), depth, 0);
    if (image.error != 0) Raise(image.error);
    if (depth != 24) image.SetPalette(tableFor(readable, depth, palette), true);
    auto rows = image.BuildRowTable();
    if (rows.empty()) Raise(err::OperationFailure);
    for (int y = 0; y < readable.height(); ++y) {
        std::uint8_t* row = rows[static_cast<std::size_t>(readable.height() - 1 - y)];
        const uchar* line = readable.constScanLine(y);
        for (int x = 0; x < readable.width(); ++x) {
            if (depth == 24) {
                QRgb color = reinterpret_cast<const QRgb*>(line)[x];
                row[3 * x] = static_cast<std::uint8_t>(qBlue(color));
                row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(color));
                row[3 * x + 2] = static_cast<std::uint8_t>(qRed(color));
            } else {
                unsigned index = depth == 1 ? IndexAt(line, x, 1) : line[x];
                SetIndexAt(row, x, depth, index & ((1u << depth) - 1));
            }
        }
    }
    image.CommitRowTable();
    return image.Release();
}

}  // namespace pm32::control
