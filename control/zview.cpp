#include "control/zview.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "control/design_paint.h"
#include "control/dispids.h"
#include "control/zpm32.h"
#include "platform/automation/ole_color.h"
#include "platform/window/system_metrics.h"

namespace pm32::control {
namespace {

using platform::ScrollBar;
using platform::ScrollCode;
using platform::WindowHost;

constexpr std::int64_t kShortMax = 32767;

std::int32_t saturated(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int64_t roundedUp(std::int64_t value, std::int64_t multiple) {
    return (std::max<std::int64_t>(value, 0) + multiple - 1) / multiple * multiple;
}

// An AutoScale ratio kept within the 16-bit scale properties.
void fitScaleProperties(std::int64_t& image, std::int64_t& screen) {
    if (image <= kShortMax && screen <= kShortMax) return;
    std::int64_t divisor = std::gcd(image, screen);
    image /= divisor;
    screen /= divisor;
    std::int64_t largest = std::max(image, screen);
    if (largest <= kShortMax) return;
    image = std::max<std::int64_t>(1, image * kShortMax / largest);
    screen = std::max<std::int64_t>(1, screen * kShortMax / largest);
}

// Sets a flag for a scope and restores it after.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = before_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
    bool before_;
};

}  // namespace

ZView::ZView(ZPm32& owner) : owner_(owner) {}

void ZView::takeProperties() {
    scaleImage_ = owner_.I2(dispid::ScaleImage);
    scaleScreen_ = owner_.I2(dispid::ScaleScreen);
    smallChange_ = owner_.I2(dispid::ScrollBarsSmallChange);
    largeChange_ = owner_.I2(dispid::ScrollBarsLargeChange);
    scrollBars_ = owner_.I2(dispid::ScrollBars);
}

void ZView::Refresh() {
    // The scales are taken even without a window, so that ScreenToImageX and
    // ScreenToImageY follow the properties in a control that is not shown.
    takeProperties();
    WindowHost* host = owner_.Host();
    if (host == nullptr || !visible_ || !platform::IsWindow(host->Handle())) {
        forgetScreen();
        return;
    }
    FlagScope refreshing(refreshing_);
    QSize client = host->ClientSize();
    clientWidth_ = client.width();
    clientHeight_ = client.height();
    const ZDibHolder* image = owner_.Image();
    if (image == nullptr) {
        forgetScreen();
    } else if (!screen_) {
        if (const ZPal* palette = owner_.Palette()) host->RealizePalette(palette->handle(), true);
        screen_ = ScreenPixels::Of(image->handle);
    }
    computeDisplaySize();
    bool scrolling = scrollBars_ != 0;
    if (owner_.Bool(dispid::AutoSize) && !scrolling)
        autoSize(*host);
    else if (!owner_.Bool(dispid::AutoScale) || scrolling)
        layOutScrollBars(*host);
    else
        autoScale();
    host->Invalidate();
}

void ZView::computeDisplaySize() {
    const ZDibHolder* image = owner_.Image();
    std::int64_t width = image ? image->width : 0;
    std::int64_t height = image ? image->height : 0;
    displayWidth_ = saturated(width * scaleScreen_ / scaleImage_);
    displayHeight_ = saturated(height * scaleScreen_ / scaleImage_);
}

void ZView::computeMaxOrigins() {
    const ZDibHolder* image = owner_.Image();
    auto maximum = [&](std::int64_t client, std::int64_t extent) -> std::int32_t {
        std::int64_t visible = roundedUp(client, scaleScreen_) * scaleImage_ / scaleScreen_;
        std::int64_t origin = extent - visible;
        if (origin <= 0) return 0;
        return saturated(origin - origin % scaleImage_);
    };
    maxXOrigin_ = maximum(clientWidth_, image ? image->width : 0);
    maxYOrigin_ = maximum(clientHeight_, image ? image->height : 0);
    clampOrigins();
}

void ZView::clampOrigins() {
    auto clamped = [&](std::int32_t origin, std::int32_t maximum) {
        return origin > maximum ? maximum : origin - origin % scaleImage_;
    };
    xOrigin_ = clamped(xOrigin_, maxXOrigin_);
    yOrigin_ = clamped(yOrigin_, maxYOrigin_);
}

void ZView::layOutScrollBars(WindowHost& host) {
    const std::int64_t barHeight = platform::HorizontalScrollBarHeight();
    const std::int64_t barWidth = platform::VerticalScrollBarWidth();
    bool horizontalPresent = host.ScrollBarPresent(ScrollBar::Horizontal);
    bool verticalPresent = host.ScrollBarPresent(ScrollBar::Vertical);
    std::int64_t fullHeight = clientHeight_ + (horizontalPresent ? barHeight : 0);
    std::int64_t fullWidth = clientWidth_ + (verticalPresent ? barWidth : 0);
    bool verticalNeeded = (scrollBars_ == 2 || scrollBars_ == 3) &&
                          !(fullHeight - barHeight >= displayHeight_ ||
                            (fullHeight >= displayHeight_ && fullWidth >= displayWidth_));
    bool horizontalNeeded = (scrollBars_ == 1 || scrollBars_ == 3) &&
                            !(fullWidth - barWidth >= displayWidth_ ||
                              (fullWidth >= displayWidth_ && fullHeight >= displayHeight_));

    if (verticalNeeded != verticalPresent) {
        yOrigin_ = 0;
        clientWidth_ =
            saturated(std::max<std::int64_t>(0, verticalNeeded ? fullWidth - barWidth : fullWidth));
    }
    computeMaxOrigins();
    setScrollBar(host, ScrollBar::Vertical, verticalNeeded);

    if (horizontalNeeded != horizontalPresent) {
        xOrigin_ = 0;
        clientHeight_ = saturated(
            std::max<std::int64_t>(0, horizontalNeeded ? fullHeight - barHeight : fullHeight));
    }
    computeMaxOrigins();
    setScrollBar(host, ScrollBar::Horizontal, horizontalNeeded);

    if (verticalNeeded) setScrollBar(host, ScrollBar::Vertical, true);
}

void ZView::setScrollBar(WindowHost& host, ScrollBar bar, bool needed) {
    if (!needed) {
        host.SetScrollRange(bar, {}, true);
        return;
    }
    bool horizontal = bar == ScrollBar::Horizontal;
    host.SetScrollRange(bar, {0, (horizontal ? maxXOrigin_ : maxYOrigin_) / scaleImage_}, false);
    clampOrigins();
    host.SetScrollPos(bar, (horizontal ? xOrigin_ : yOrigin_) / scaleImage_, true);
}

void ZView::autoSize(WindowHost& host) {
    QSize border = host.WindowSize() - host.ClientSize();
    host.SetWindowSize(QSize(saturated(std::int64_t{displayWidth_} + border.width()),
                             saturated(std::int64_t{displayHeight_} + border.height())));
    xOrigin_ = 0;
    yOrigin_ = 0;
}

void ZView::autoScale() {
    const ZDibHolder* image = owner_.Image();
    // Without an image or a client area there is no ratio to fit.
    if (image != nullptr && clientWidth_ > 0 && clientHeight_ > 0) {
        double byHeight = static_cast<double>(image->height) / clientHeight_;
        double byWidth = static_cast<double>(image->width) / clientWidth_;
        std::int64_t scaleImage = byHeight >= byWidth ? image->height : image->width;
        std::int64_t scaleScreen = byHeight >= byWidth ? clientHeight_ : clientWidth_;
        fitScaleProperties(scaleImage, scaleScreen);
        scaleImage_ = static_cast<std::int32_t>(scaleImage);
        scaleScreen_ = static_cast<std::int32_t>(scaleScreen);
        owner_.Store(dispid::ScaleImage, Variant::I2(static_cast<std::int16_t>(scaleImage)));
        owner_.Store(dispid::ScaleScreen, Variant::I2(static_cast<std::int16_t>(scaleScreen)));
    }
    computeDisplaySize();
    computeMaxOrigins();
    xOrigin_ = 0;
    yOrigin_ = 0;
}

void ZView::forgetScreen() {
    screen_.reset();
    buffers_ = StretchBuffers();
}

QColor ZView::backColor() const {
    std::uint32_t color =
        automation::TranslateOleColor(static_cast<std::uint32_t>(owner_.I4(dispid::BackColor)));
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

bool ZView::Paint(QPainter& painter, const QRect& bounds) {
    if (!owner_.RunTime()) {
        painter.fillRect(bounds, backColor());
        if (const HGLOBAL cached = owner_.DesignImage().Image(); cached != 0)
            PaintDesignImage(painter, bounds, cached, owner_.Bool(dispid::AutoSize),
                             owner_.Bool(dispid::AutoScale));
        return true;
    }
    if (!screen_) {
        painter.fillRect(bounds, backColor());
        owner_.Fire(eventid::Paint, "Paint");
        return true;
    }
    if (WindowHost* host = owner_.Host(); host != nullptr && owner_.Palette() != nullptr)
        host->RealizePalette(owner_.Palette()->handle(), true);

    std::int64_t width = roundedUp(bounds.width(), scaleScreen_);
    std::int64_t height = roundedUp(bounds.height(), scaleScreen_);
    std::int64_t sourceWidth;
    std::int64_t sourceHeight;
    bool ok = true;
    if (width >= displayWidth_) {
        QRect strip(QPoint(bounds.left() + displayWidth_, bounds.top()), bounds.bottomRight());
        if (strip.isValid()) painter.fillRect(strip, backColor());
        width = displayWidth_;
        sourceWidth = screen_->width();
    } else {
        sourceWidth = width / scaleScreen_ * scaleImage_;
        ok = xOrigin_ + sourceWidth <= screen_->width();
    }
    if (height >= displayHeight_) {
        QRect strip(QPoint(bounds.left(), bounds.top() + displayHeight_), bounds.bottomRight());
        if (strip.isValid()) painter.fillRect(strip, backColor());
        height = displayHeight_;
        sourceHeight = screen_->height();
    } else {
        sourceHeight = height / scaleScreen_ * scaleImage_;
        ok = ok && yOrigin_ + sourceHeight <= screen_->height();
    }
    if (ok && width > 0 && sourceWidth != 0 && sourceHeight != 0) {
        const QRegion visible = painter.hasClipping() ? painter.clipRegion() : QRegion(bounds);
        const QRect destination(bounds.left(), bounds.top(), static_cast<int>(width),
                                static_cast<int>(height));
        const QRect source(xOrigin_, yOrigin_, static_cast<int>(sourceWidth),
                           static_cast<int>(sourceHeight));
        ScreenPixels::Reader reader(*screen_);
        auto sample = [&reader](int row, std::span<const int> columns, QRgb* out) {
            reader.Row(row, columns, out);
        };
        ok = reader &&
             StretchNearest(painter, destination, QSize(screen_->width(), screen_->height()),
                            source, visible, sample, buffers_);
    }
    if (!ok) {
        owner_.ReportError(err::CannotDisplay);
        return false;
    }
    owner_.Fire(eventid::Paint, "Paint");
    return true;
}

void ZView::Scroll(ScrollBar bar, ScrollCode code, int thumbPosition) {
    WindowHost* host = owner_.Host();
    if (host == nullptr) return;
    bool horizontal = bar == ScrollBar::Horizontal;
    std::int32_t& origin = horizontal ? xOrigin_ : yOrigin_;
    const std::int64_t maximum = horizontal ? maxXOrigin_ : maxYOrigin_;
    const std::int64_t step = scaleImage_;
    switch (code) {
        case ScrollCode::LineUp:
        case ScrollCode::PageUp: {
            std::int64_t change = code == ScrollCode::LineUp ? smallChange_ : largeChange_;
            std::int64_t next = origin - step * change;
            if (next >= 0) {
                origin = static_cast<std::int32_t>(next);
                moved(*host, bar, -change, true);
            } else if (origin != 0) {
                std::int64_t units = origin / step;
                origin = 0;
                moved(*host, bar, -units, true);
            }
            return;
        }
        case ScrollCode::LineDown:
        case ScrollCode::PageDown: {
            std::int64_t change = code == ScrollCode::LineDown ? smallChange_ : largeChange_;
            std::int64_t next = origin + step * change;
            if (next <= maximum) {
                origin = static_cast<std::int32_t>(next);
                moved(*host, bar, change, true);
            } else if (origin != maximum) {
                std::int64_t units = (maximum - origin) / step;
                origin = static_cast<std::int32_t>(maximum);
                moved(*host, bar, units, true);
            }
            return;
        }
        case ScrollCode::ThumbTrack: {
            QRect strip = host->ScrollBarScreenRect(bar);
            host->ClipCursor(&strip);
            std::int64_t next = std::int64_t{thumbPosition} * step;
            if (thumbPosition < 0 || next > maximum) return;
            std::int64_t units = thumbPosition - origin / step;
            origin = static_cast<std::int32_t>(next);
            if (units != 0) moved(*host, bar, units, false);
            return;
        }
        case ScrollCode::EndScroll:
            host->SetScrollPos(bar, origin / scaleImage_, true);
            host->ClipCursor(nullptr);
            return;
        default:
            return;
    }
}

void ZView::moved(WindowHost& host, ScrollBar bar, std::int64_t units, bool setPosition) {
    owner_.Fire(eventid::Pan, "Pan");
    bool horizontal = bar == ScrollBar::Horizontal;
    // Moving farther than the client area reaches uncovers all of it.
    QSize client = host.ClientSize();
    std::int64_t reach = horizontal ? client.width() : client.height();
    auto pixels = static_cast<int>(std::clamp<std::int64_t>(-units * scaleScreen_, -reach, reach));
    host.ScrollWindow(horizontal ? pixels : 0, horizontal ? 0 : pixels);
    if (setPosition) host.SetScrollPos(bar, (horizontal ? xOrigin_ : yOrigin_) / scaleImage_, true);
    host.UpdateWindow();
}

bool ZView::ScrollTo(int imageX, int imageY, int clientX, int clientY) {
    auto target = [&](std::int64_t image, std::int64_t client, std::int64_t clientExtent,
                      std::int64_t maximum) {
        std::int64_t origin =
            image - std::min(client, clientExtent - 1) / scaleScreen_ * scaleImage_;
        origin = std::clamp<std::int64_t>(origin, 0, std::max<std::int64_t>(maximum, 0));
        return static_cast<std::int32_t>(origin - origin % scaleImage_);
    };
    std::int32_t x = target(imageX, clientX, clientWidth_, maxXOrigin_);
    std::int32_t y = target(imageY, clientY, clientHeight_, maxYOrigin_);
    if (x == xOrigin_ && y == yOrigin_) return false;
    std::int64_t dx = std::int64_t{xOrigin_ - x} / scaleImage_ * scaleScreen_;
    std::int64_t dy = std::int64_t{yOrigin_ - y} / scaleImage_ * scaleScreen_;
    xOrigin_ = x;
    yOrigin_ = y;
    owner_.Fire(eventid::Pan, "Pan");
    WindowHost* host = owner_.Host();
    if (host == nullptr) return true;
    QSize client = host->ClientSize();
    host->ScrollWindow(
        static_cast<int>(std::clamp<std::int64_t>(dx, -client.width(), client.width())),
        static_cast<int>(std::clamp<std::int64_t>(dy, -client.height(), client.height())));
    if (host->ScrollBarPresent(ScrollBar::Horizontal))
        host->SetScrollPos(ScrollBar::Horizontal, xOrigin_ / scaleImage_, true);
    if (host->ScrollBarPresent(ScrollBar::Vertical))
        host->SetScrollPos(ScrollBar::Vertical, yOrigin_ / scaleImage_, true);
    host->UpdateWindow();
    return true;
}

void ZView::OnShowWindow(bool shown) {
    visible_ = shown;
    Refresh();
}

void ZView::OnSize(QSize client) {
    if (refreshing_ || owner_.Bool(dispid::AutoSize)) return;
    if (client.width() == clientWidth_ && client.height() == clientHeight_) return;
    Refresh();
}

void ZView::OnDestroy() {
    visible_ = false;
    forgetScreen();
}

}  // namespace pm32::control
