#include "viewer/print_layout.h"

#include <algorithm>
#include <cmath>

namespace pm32::viewer {
namespace {

// PrintLeft .. PrintHeight are 16-bit.
constexpr int kLargestPrintValue = 32767;

int boundedLength(double length) {
    return static_cast<int>(std::clamp(std::lround(length), 1L, long{kLargestPrintValue}));
}

int clampedStart(int start, int length, int room) {
    const int free = room - length;
    return std::clamp(start, std::min(0, free), std::max(0, free));
}

}  // namespace

QSize FitInside(QSize image, QSize area) {
    if (image.isEmpty() || area.isEmpty()) return {1, 1};
    const double scale = std::min(static_cast<double>(area.width()) / image.width(),
                                  static_cast<double>(area.height()) / image.height());
    return {std::min(boundedLength(image.width() * scale), area.width()),
            std::min(boundedLength(image.height() * scale), area.height())};
}

QSize ScaledSize(QSize image, int scalePercent, int dotsPerInch) {
    const double factor = scalePercent / 100.0 * dotsPerInch / kScreenPixelsPerInch;
    return {boundedLength(image.width() * factor), boundedLength(image.height() * factor)};
}

int ScaleOfWidth(QSize image, int width, int dotsPerInch) {
    if (image.width() <= 0 || dotsPerInch <= 0) return 100;
    const double percent =
        100.0 * width * kScreenPixelsPerInch / (static_cast<double>(image.width()) * dotsPerInch);
    return static_cast<int>(std::lround(percent));
}

QPoint ClampedOffset(QPoint offset, QSize size, QSize printable) {
    return {clampedStart(offset.x(), size.width(), printable.width()),
            clampedStart(offset.y(), size.height(), printable.height())};
}

QRect PlaceOnPage(QRect printable, QSize image, int dotsPerInch, const PrintPlacement& placement) {
    const QSize size =
        placement.fitToPage
            ? FitInside(image, printable.size())
            : ScaledSize(image, std::clamp(placement.scalePercent, kLowestScale, kHighestScale),
                         dotsPerInch);
    QPoint offset = ClampedOffset(placement.dragged, size, printable.size());
    if (placement.centerHorizontally) offset.setX((printable.width() - size.width()) / 2);
    if (placement.centerVertically) offset.setY((printable.height() - size.height()) / 2);
    return {printable.topLeft() + offset, size};
}

}  // namespace pm32::viewer
