#include "control/rubber_band.h"

#include <algorithm>
#include <cstdlib>

#include "control/region_record.h"

namespace pm32::control {

RubberBandTracker::RubberBandTracker(const Settings& settings, platform::WindowHost* window)
    : settings_(settings), window_(window) {
    if (window_ == nullptr) return;
    window_->SetCapture();
    captured_ = true;
}

void RubberBandTracker::OnMouseMove(QPoint position) {
    if (!captured_ || settings_.type < 0 || settings_.type >= kRegionPolygon) return;
    if (++moves_ == 0) {
        anchor_ = position;
        rect_ = QRect(anchor_, QSize(0, 0));
    }
    frame(rect_);
    current_ = position;
    rect_ = QRect(std::min(anchor_.x(), current_.x()), std::min(anchor_.y(), current_.y()),
                  std::abs(current_.x() - anchor_.x()), std::abs(current_.y() - anchor_.y()));
    frame(rect_);
}

void RubberBandTracker::OnLeftButtonUp() {
    if (!captured_) return;
    captured_ = false;
    if (window_ != nullptr) window_->ReleaseCapture();
}

void RubberBandTracker::OnWindowDestroyed() {
    window_ = nullptr;
    captured_ = false;
}

void RubberBandTracker::frame(const QRect& rect) {
    // An empty rectangle has no frame to draw.
    if (window_ != nullptr && !rect.isEmpty()) window_->InvertFrame(rect, settings_.penWidth);
}

}  // namespace pm32::control
