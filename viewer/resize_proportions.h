#pragma once

#include <QSize>

namespace pm32::viewer {

// The resize dialog's three boxes. With proportional resizing a new width
// gives the height of the same aspect ratio (and the reverse); the scale, a
// percentage of the original size, always sets both. Sizes stay within 1 to
// 32767 pixels, the control's limits.
class ResizeProportions {
  public:
    explicit ResizeProportions(QSize original);

    QSize size() const { return size_; }
    int scalePercent() const { return scale_; }

    void setProportional(bool on);
    void setWidth(int width);
    void setHeight(int height);
    void setScale(int percent);

  private:
    QSize original_;
    QSize size_;
    int scale_ = 100;
    bool proportional_ = true;
};

}  // namespace pm32::viewer
