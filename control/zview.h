#pragma once

#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "control/nearest_stretch.h"
#include "control/screen_pixels.h"
#include "platform/window/window_host.h"

namespace pm32::control {

class ZPm32;

// The control's display companion: shows the image in the control's window at
// ScaleScreen screen pixels for every ScaleImage image pixels, from an origin
// that is always a multiple of ScaleImage, with scroll bars, AutoScale and
// AutoSize. Each paint converts and stretches only the image pixels it shows,
// so its time and memory follow the window, not the image.
class ZView {
  public:
    explicit ZView(ZPm32& owner);
    ZView(const ZView&) = delete;
    ZView& operator=(const ZView&) = delete;

    // Takes the scale, scroll-bar and sizing properties and the image into
    // the view and lays it out; called after each change of them.
    void Refresh();
    // The image's pixels or colour table changed: the screen pixels are taken
    // afresh at the next refresh.
    void ImageChanged() { screen_.reset(); }

    // Paints the control into bounds (its whole client rectangle); false when
    // the image could not be shown (reported as err::CannotDisplay).
    bool Paint(QPainter& painter, const QRect& bounds);
    // A scroll bar's request.
    void Scroll(platform::ScrollBar bar, platform::ScrollCode code, int thumbPosition);
    // Moves the view so that image pixel (imageX, imageY) shows at client
    // pixel (clientX, clientY) as near as the maximum origins allow; true when
    // the view moved.
    bool ScrollTo(int imageX, int imageY, int clientX, int clientY);

    void OnShowWindow(bool shown);
    void OnSize(QSize client);
    void OnDestroy();

    std::int32_t ScaleImage() const { return scaleImage_; }
    std::int32_t ScaleScreen() const { return scaleScreen_; }
    std::int32_t ClientWidth() const { return clientWidth_; }
    std::int32_t ClientHeight() const { return clientHeight_; }
    std::int32_t DisplayWidth() const { return displayWidth_; }
    std::int32_t DisplayHeight() const { return displayHeight_; }
    std::int32_t MaxXOrigin() const { return maxXOrigin_; }
    std::int32_t MaxYOrigin() const { return maxYOrigin_; }
    std::int32_t XOrigin() const { return xOrigin_; }
    std::int32_t YOrigin() const { return yOrigin_; }
    bool HasScreenBitmap() const { return screen_.has_value(); }
    // Memory the view holds to show the image, the image's own block aside:
    // the screen pixels' colour table and the paint buffers, which only grow
    // to the largest area painted so far.
    std::size_t DisplayBytes() const {
        return (screen_ ? sizeof(ScreenPixels) : 0) + buffers_.HeldBytes();
    }

  private:
    void takeProperties();
    void computeDisplaySize();
    void computeMaxOrigins();
    void clampOrigins();
    void layOutScrollBars(platform::WindowHost& host);
    void setScrollBar(platform::WindowHost& host, platform::ScrollBar bar, bool needed);
    void autoSize(platform::WindowHost& host);
    void autoScale();
    void moved(platform::WindowHost& host, platform::ScrollBar bar, std::int64_t units,
               bool setPosition);
    // Drops the screen pixels and the paint buffers.
    void forgetScreen();
    QColor backColor() const;

    ZPm32& owner_;
    std::optional<ScreenPixels> screen_;
    StretchBuffers buffers_;
    std::int32_t scaleImage_ = 1;
    std::int32_t scaleScreen_ = 1;
    std::int32_t clientHeight_ = 0;
    std::int32_t clientWidth_ = 0;
    std::int32_t displayWidth_ = 0;
    std::int32_t displayHeight_ = 0;
    std::int32_t scrollBars_ = 0;
    std::int32_t smallChange_ = 1;
    std::int32_t largeChange_ = 10;
    std::int32_t maxXOrigin_ = 0;
    std::int32_t maxYOrigin_ = 0;
    std::int32_t xOrigin_ = 0;
    std::int32_t yOrigin_ = 0;
    bool visible_ = false;
    // Scroll bars coming and going resize the client area while the view lays
    // itself out; those resizes are already accounted for.
    bool refreshing_ = false;
};

}  // namespace pm32::control
