#include "platform/gdi/dib_section.h"

namespace pm32::platform::gdi {
namespace {

bool geometryFits(const DibPixels& p, const ColorTable& colors) {
    if (p.width <= 0 || p.height <= 0) return false;
    bool indexed = p.depth == 1 || p.depth == 4 || p.depth == 8;
    if (!indexed && p.depth != 24) return false;
    if (indexed != colors.Indexed()) return false;
    std::uint64_t packed = (static_cast<std::uint64_t>(p.width) * p.depth + 7) / 8;
    if (p.rowBytes < packed) return false;
    std::uint64_t needed = 0;
    if (__builtin_mul_overflow(p.rowBytes, static_cast<std::uint64_t>(p.height), &needed))
        return false;
    return needed <= p.rows.size();
}

}  // namespace

DibSection::DibSection(DibPixels pixels, ColorTable colors)
    : pixels_(pixels), colors_(std::move(colors)) {
    if (!geometryFits(pixels_, colors_)) return;
    image_ = QImage(pixels_.width, pixels_.height, QImage::Format_RGB32);
    if (!image_.isNull()) readRows();
}

QRgb DibSection::storedPixel(const std::uint8_t* row, int x) const {
    unsigned index = 0;
    switch (pixels_.depth) {
        case 24:
            return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        case 8:
            index = row[x];
            break;
        case 4:
            index = (x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
            break;
        default:
            index = (row[x / 8] >> (7 - x % 8)) & 1;
            break;
    }
    const std::vector<QRgb>& entries = colors_.Entries();
    // An index past a short colour table reads as black, as GDI shows it.
    return index < entries.size() ? entries[index] : qRgb(0, 0, 0);
}

void DibSection::storePixel(std::uint8_t* row, int x, QRgb pixel) {
    if (pixels_.depth == 24) {
        row[3 * x] = static_cast<std::uint8_t>(qBlue(pixel));
        row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(pixel));
        row[3 * x + 2] = static_cast<std::uint8_t>(qRed(pixel));
        return;
    }
    auto index = static_cast<std::uint8_t>(colors_.NearestIndex(pixel));
    switch (pixels_.depth) {
        case 8:
            row[x] = index;
            break;
        case 4: {
            std::uint8_t& byte = row[x / 2];
            byte = x % 2 == 0 ? static_cast<std::uint8_t>((byte & 0x0F) | (index << 4))
                              : static_cast<std::uint8_t>((byte & 0xF0) | index);
            break;
        }
        default: {
            auto bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
            row[x / 8] =
                static_cast<std::uint8_t>(index != 0 ? row[x / 8] | bit : row[x / 8] & ~bit);
            break;
        }
    }
}

void DibSection::readRows() {
    for (int y = 0; y < pixels_.height; ++y) {
        const std::uint8_t* row =
            pixels_.rows.data() +
            pixels_.rowBytes * static_cast<std::uint64_t>(pixels_.height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = 0; x < pixels_.width; ++x) out[x] = storedPixel(row, x);
    }
}

void DibSection::WriteBack() {
    if (!Valid()) return;
    for (int y = 0; y < pixels_.height; ++y) {
        std::uint8_t* row = pixels_.rows.data() +
                            pixels_.rowBytes * static_cast<std::uint64_t>(pixels_.height - 1 - y);
        const auto* drawn = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
        for (int x = 0; x < pixels_.width; ++x) {
            QRgb pixel = drawn[x] | 0xFF000000u;
            if (pixel != storedPixel(row, x)) storePixel(row, x, pixel);
        }
    }
}

}  // namespace pm32::platform::gdi
