#include "viewer/resize_proportions.h"

#include <algorithm>
#include <cmath>

namespace pm32::viewer {
namespace {

constexpr long kLargest = 32767;
// A one-pixel side may grow to the largest.
constexpr long kLargestScale = kLargest * 100;

int boundedScale(double percent) {
    return static_cast<int>(std::clamp(std::lround(percent), 1L, kLargestScale));
}

int bounded(double length) {
    return static_cast<int>(std::clamp(std::lround(length), 1L, kLargest));
}

}  // namespace

ResizeProportions::ResizeProportions(QSize original)
    : original_(std::max(1, original.width()), std::max(1, original.height())), size_(original_) {}

void ResizeProportions::setProportional(bool on) {
    proportional_ = on;
    // Turning it on brings the height back to the width's proportion.
    if (on) setWidth(size_.width());
}

void ResizeProportions::setWidth(int width) {
    size_.setWidth(bounded(width));
    if (!proportional_) return;
    const double ratio = static_cast<double>(size_.width()) / original_.width();
    size_.setHeight(bounded(original_.height() * ratio));
    scale_ = boundedScale(ratio * 100);
}

void ResizeProportions::setHeight(int height) {
    size_.setHeight(bounded(height));
    if (!proportional_) return;
    const double ratio = static_cast<double>(size_.height()) / original_.height();
    size_.setWidth(bounded(original_.width() * ratio));
    scale_ = boundedScale(ratio * 100);
}

void ResizeProportions::setScale(int percent) {
    scale_ = boundedScale(percent);
    size_ = {bounded(original_.width() * scale_ / 100.0),
             bounded(original_.height() * scale_ / 100.0)};
}

}  // namespace pm32::viewer
