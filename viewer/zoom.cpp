#include "viewer/zoom.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace pm32::viewer {
namespace {

constexpr int kLargestScale = 32767;

// The Zoom tool's steps, from 1:16 to 16:1.
constexpr std::array<ZoomRatio, 17> kSteps = {{{1, 16},
                                               {1, 12},
                                               {1, 8},
                                               {1, 6},
                                               {1, 4},
                                               {1, 3},
                                               {1, 2},
                                               {2, 3},
                                               {1, 1},
                                               {3, 2},
                                               {2, 1},
                                               {3, 1},
                                               {4, 1},
                                               {6, 1},
                                               {8, 1},
                                               {12, 1},
                                               {16, 1}}};

// Compares a / b with c / d without rounding.
int compare(ZoomRatio left, ZoomRatio right) {
    const long long a = static_cast<long long>(left.screen) * right.image;
    const long long b = static_cast<long long>(right.screen) * left.image;
    return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace

ZoomRatio Reduced(long long screen, long long image) {
    screen = std::max(1LL, screen);
    image = std::max(1LL, image);
    const long long divisor = std::gcd(screen, image);
    screen /= divisor;
    image /= divisor;
    // Both terms shrink by one factor, rounded, so the ratio stays close.
    const long long largest = std::max(screen, image);
    if (largest > kLargestScale) {
        const long long factor = (largest + kLargestScale - 1) / kLargestScale;
        screen = std::max(1LL, (screen + factor / 2) / factor);
        image = std::max(1LL, (image + factor / 2) / factor);
        return Reduced(std::min<long long>(screen, kLargestScale),
                       std::min<long long>(image, kLargestScale));
    }
    return {static_cast<int>(screen), static_cast<int>(image)};
}

QString RatioText(ZoomRatio ratio) { return QString("%1:%2").arg(ratio.screen).arg(ratio.image); }

ZoomRatio FitRatio(QSize image, QSize area) {
    if (image.isEmpty() || area.isEmpty()) return {};
    // h / H >= w / W decides which side limits, as the control's own fit does.
    if (static_cast<long long>(image.height()) * area.width() >=
        static_cast<long long>(image.width()) * area.height())
        return Reduced(area.height(), image.height());
    return Reduced(area.width(), image.width());
}

ZoomRatio AreaRatio(QSize image, QSize area) {
    const ZoomRatio exact = FitRatio(image, area);
    if (exact.screen <= exact.image) {
        // 1:n, n rounded up, so the area still fits.
        return {1, (exact.image + exact.screen - 1) / exact.screen};
    }
    ZoomRatio best{1, 1};
    for (int units = 1; units <= 4; ++units) {
        const ZoomRatio candidate =
            Reduced(static_cast<long long>(exact.screen) * units / exact.image, units);
        if (compare(candidate, exact) <= 0 && compare(candidate, best) > 0) best = candidate;
    }
    return best;
}

ZoomRatio InitialRatio(QSize image, QSize area, bool smallZoom, bool largeZoom) {
    const bool fits = image.width() <= area.width() && image.height() <= area.height();
    if (fits ? smallZoom : largeZoom) return FitRatio(image, area);
    return {};
}

ZoomRatio StepIn(ZoomRatio ratio) {
    for (ZoomRatio step : kSteps)
        if (compare(step, ratio) > 0) return step;
    return ratio;
}

ZoomRatio StepOut(ZoomRatio ratio) {
    for (auto step = kSteps.rbegin(); step != kSteps.rend(); ++step)
        if (compare(*step, ratio) < 0) return *step;
    return ratio;
}

}  // namespace pm32::viewer
