#include "control/screen_bitmap.h"

#include <numeric>
#include <optional>
#include <vector>

#include "control/screen_pixels.h"

namespace pm32::control {

QImage BuildScreenBitmap(platform::HGLOBAL dib) {
    std::optional<ScreenPixels> pixels = ScreenPixels::Of(dib);
    if (!pixels) return {};
    ScreenPixels::Reader reader(*pixels);
    if (!reader) return {};
    QImage bitmap(pixels->width(), pixels->height(), QImage::Format_RGB32);
    if (bitmap.isNull()) return {};
    std::vector<int> columns(static_cast<std::size_t>(pixels->width()));
    std::iota(columns.begin(), columns.end(), 0);
    for (std::int32_t y = 0; y < pixels->height(); ++y)
        reader.Row(y, columns, reinterpret_cast<QRgb*>(bitmap.scanLine(y)));
    return bitmap;
}

}  // namespace pm32::control
