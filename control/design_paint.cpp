#include "control/design_paint.h"

#include <algorithm>
#include <cstdlib>

#include "control/screen_bitmap.h"

namespace pm32::control {
namespace {

int truncated(double value) { return static_cast<int>(value); }

}  // namespace

DesignPlacement PlaceDesignImage(QSize bounds, QSize image, bool autoSize, bool autoScale) {
    const double W = bounds.width();
    const double H = bounds.height();
    const double w = image.width();
    const double h = image.height();
    const QRect whole(QPoint(0, 0), image);
    const bool tallerGap = std::abs(H - h) >= std::abs(W - w);
    const QSize fitHeight(truncated(w * H / h), bounds.height());
    const QSize fitWidth(bounds.width(), truncated(h * W / w));
    if (autoSize) return {QRect(QPoint(0, 0), tallerGap ? fitHeight : fitWidth), whole};
    if (autoScale) return {QRect(QPoint(0, 0), tallerGap ? fitWidth : fitHeight), whole};
    const int width = std::min(bounds.width(), image.width());
    const int height = std::min(bounds.height(), image.height());
    return {QRect(0, 0, width, height), QRect(0, 0, width, height)};
}

void PaintDesignImage(QPainter& painter, const QRect& bounds, HGLOBAL dib, bool autoSize,
                      bool autoScale) {
    const QImage pixels = BuildScreenBitmap(dib);
    if (pixels.isNull() || pixels.width() == 0 || pixels.height() == 0) return;
    const DesignPlacement placement =
        PlaceDesignImage(bounds.size(), pixels.size(), autoSize, autoScale);
    painter.drawImage(placement.destination.translated(bounds.topLeft()), pixels, placement.source);
}

}  // namespace pm32::control
