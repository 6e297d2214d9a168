#include <QPainter>

#include "control/dispids.h"
#include "control/entries.h"
#include "control/nearest_stretch.h"
#include "control/screen_pixels.h"
#include "control/zpm32.h"
#include "platform/gdi/device_dc.h"

namespace pm32::control::entries {
namespace {

// The print rectangle as the painter draws it: extents made positive, with a
// negative extent mirroring the image along that axis, as a stretch does.
QRect placedPrintRect(ZPm32& c, QPainter& painter) {
    int left = c.I2(dispid::PrintLeft);
    int top = c.I2(dispid::PrintTop);
    int width = c.I2(dispid::PrintWidth);
    int height = c.I2(dispid::PrintHeight);
    if (width < 0) {
        painter.translate(2 * left + width, 0);
        painter.scale(-1, 1);
        left += width;
        width = -width;
    }
    if (height < 0) {
        painter.translate(0, 2 * top + height);
        painter.scale(1, -1);
        top += height;
        height = -height;
    }
    return QRect(left, top, width, height);
}

}  // namespace

// Draws the whole image onto the print rectangle of the context's device,
// colour on colour: each device pixel shows the nearest image pixel, in the
// colours of the image's own table. A context that is not a live device
// context draws nothing, as a failed stretch reports nothing.
void SetPrinterHDC(ZPm32& c, std::span<Variant>, const Variant& value) {
    const auto dc = static_cast<platform::gdi::HDC>(value.toI4());
    const ZDibHolder* image = c.Image();
    if (image == nullptr || dc == 0) return;
    std::optional<ScreenPixels> pixels = ScreenPixels::Of(image->handle);
    if (!pixels) Raise(err::LockFailed);
    ScreenPixels::Reader reader(*pixels);
    if (!reader) Raise(err::LockFailed);
    QPainter* painter = platform::gdi::PainterOfDC(dc);
    if (painter == nullptr) return;
    painter->save();
    const QRect destination = placedPrintRect(c, *painter);
    if (!destination.isEmpty()) {
        const QSize size(pixels->width(), pixels->height());
        auto sample = [&reader](int row, std::span<const int> columns, QRgb* out) {
            reader.Row(row, columns, out);
        };
        StretchBuffers buffers;
        StretchNearest(*painter, destination, size, QRect(QPoint(0, 0), size), QRegion(destination),
                       sample, buffers);
    }
    painter->restore();
}

}  // namespace pm32::control::entries
