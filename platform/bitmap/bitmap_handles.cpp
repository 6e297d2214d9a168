#include "platform/bitmap/bitmap_handles.h"

namespace pm32::platform {
namespace {

HandleRegistry<BitmapObject>& registry() {
    static HandleRegistry<BitmapObject> bitmaps;
    return bitmaps;
}

bool formatHolds(QImage::Format format, std::uint32_t bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
            return format == QImage::Format_Mono || format == QImage::Format_MonoLSB;
        case 4:
        case 8:
            return format == QImage::Format_Indexed8;
        case 32:
            return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32;
        default:
            return false;
    }
}

}  // namespace

HBITMAP CreateBitmapObject(QImage pixels, std::uint32_t bitsPerPixel) {
    if (pixels.isNull() || !formatHolds(pixels.format(), bitsPerPixel)) return 0;
    return registry().add({std::move(pixels), bitsPerPixel, 1});
}

const BitmapObject* FindBitmap(HBITMAP bitmap) { return registry().find(bitmap); }

bool DeleteBitmap(HBITMAP bitmap) { return registry().remove(bitmap); }

std::size_t LiveBitmapCount() { return registry().size(); }

}  // namespace pm32::platform
